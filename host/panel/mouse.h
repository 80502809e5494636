// The host's side of a gauge's mouse table: checking it at load, and finding
// what a point or a click meets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "module/host_abi.h"

namespace panelhost {

// A table longer than this has lost its end row.
inline constexpr size_t max_mouse_rows = 1024;
inline constexpr size_t max_tooltip_length = 255;

struct MouseTableProblem {
    size_t row;  // counted from 0
    std::string message;
};

// Every fault of the table: unknown kinds, unbalanced areas, a tooltip that
// does not follow an open row, click rows without exactly one of key event
// and handler, boxes without size, a missing end row. A null table is no
// table, and no fault.
std::vector<MouseTableProblem> validate_mouse_table(const orvane::MouseRect* table,
                                                     size_t max_rows = max_mouse_rows);

inline constexpr uint32_t mouse_left = orvane::MOUSE_LEFTSINGLE;
inline constexpr uint32_t mouse_right = orvane::MOUSE_RIGHTSINGLE;
inline constexpr uint32_t mouse_repeat = orvane::MOUSE_DOWN_REPEAT;

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

// Whether a click row acts on a click with these flags: it must accept the
// button, and for a repeat it must ask for repeats.
bool click_flags_match(uint32_t row_flags, uint32_t click_flags);

struct AreaBox {
    orvane::PixBox box;  // gauge pixels
    bool bounded;        // false for the whole gauge, which has no right or bottom edge
};

// The area labelled with this tooltip, first in row order.
std::optional<AreaBox> find_area(const orvane::MouseRect* table, std::string_view tooltip);

// A click row and the centre of its box in gauge pixels.
struct ClickRow {
    const orvane::MouseRect* row;
    orvane::PixPoint centre;
};

// Every click row of the table, in row order.
std::vector<ClickRow> click_rows(const orvane::MouseRect* table);

}  // namespace panelhost
