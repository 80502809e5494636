// What a point or a click on a gauge meets in its mouse table, and the
// table's areas as a designer sees them; all from the one walk of the table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/services/mouse_table.h"
#include "module/host_abi.h"

namespace panelhost {

struct MouseHit {
    int32_t cursor = orvane::CURSOR_NONE;  // of the first click row containing the point
    std::string tooltip;                   // of the innermost labelled area containing it; empty if none
    const orvane::MouseRect* row = nullptr;  // the click row that acts, or null
    size_t row_index = 0;
    orvane::PixPoint relative{};  // the point relative to that row's box
};

// What a point at gauge pixels meets. click_flags is a button (mouse_left or
// mouse_right), with mouse_repeat for a repeat of a held button; 0 asks only
// for cursor and tooltip.
MouseHit hit_test(const orvane::MouseRect* table, orvane::PixPoint point, uint32_t click_flags);

struct AreaBox {
    orvane::PixBox box;  // gauge pixels
    bool bounded;        // false for the whole gauge, which has no right or bottom edge
};

// The area labelled with this tooltip, first in row order.
std::optional<AreaBox> find_area(const orvane::MouseRect* table, std::string_view tooltip);

// A click row and the centre of its box in gauge pixels.
struct ClickRow {
    const orvane::MouseRect* row;
    size_t index;  // in the table, counted from 0
    orvane::PixBox box;
    orvane::PixPoint centre;
};

// Every click row of the table, in row order.
std::vector<ClickRow> click_rows(const orvane::MouseRect* table);

// An area of the table with what it holds, in row order.
struct MouseArea {
    size_t index;  // of its open row
    AreaBox area;
    size_t depth;         // 0 for an area at the top of the table
    std::string tooltip;  // empty when it has none
    std::vector<ClickRow> clicks;  // its own click rows, not those of areas inside it
};

std::vector<MouseArea> mouse_areas(const orvane::MouseRect* table);

}  // namespace panelhost
