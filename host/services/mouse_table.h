// A gauge's mouse table as the host reads it: one walk down its rows that
// keeps the areas they open, and the check of the table at load. Hit-testing,
// the area lookups and every view of a table are built on the walk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/services/module_image.h"
#include "module/host_abi.h"

namespace panelhost {

// A table longer than this has lost its end row.
inline constexpr size_t max_mouse_rows = 1024;
inline constexpr size_t max_tooltip_length = 255;

// A box in gauge pixels; 64-bit, so that no module box overflows.
struct GaugeBox {
    int64_t x = 0;
    int64_t y = 0;
    int64_t w = 0;
    int64_t h = 0;
    bool bounded = false;  // false for the whole gauge, which has no right or bottom edge

    bool contains(orvane::PixPoint p) const {
        if (p.x < x || p.y < y) return false;
        return !bounded || (p.x < x + w && p.y < y + h);
    }
    // A box given relative to this one.
    GaugeBox inner(const orvane::PixBox& relative) const {
        return {x + relative.x, y + relative.y, relative.size_x, relative.size_y, true};
    }
    // The box in the host's 32-bit records, each number held to the int32 range.
    orvane::PixBox pix_box() const;
    orvane::PixPoint centre() const;
};

// 0,0,0,0: the whole enclosing area.
bool is_whole_area(const orvane::PixBox& box);

// A row as the walk meets it.
struct MouseRowVisit {
    const orvane::MouseRect& row;
    size_t index;                        // counted from 0
    const std::vector<GaugeBox>& areas;  // the open areas around the row, outermost (the whole gauge) first
    GaugeBox box;  // open rows: the area they open; click rows: the click box; other rows: the enclosing area
    const char* tooltip;  // tooltip rows: the text (may be null); else null

    const GaugeBox& enclosing() const { return areas.back(); }
    size_t depth() const { return areas.size() - 1; }  // areas opened around the row
};

// How a walk of a table ended.
enum class TableWalk {
    ended,       // at its end row (or there is no table)
    no_end_row,  // max_rows rows, none of them the end
    outside,     // at a row out of the module's image, which was not read
};

// Calls visit for every row before the end row, in order. Given the module's
// image, a row is read only when it lies in it whole.
template <typename Visit>
TableWalk walk_mouse_table(const orvane::MouseRect* table, Visit&& visit, size_t max_rows = max_mouse_rows,
                           const ModuleImage* image = nullptr) {
    if (table == nullptr) return TableWalk::ended;
    std::vector<GaugeBox> areas{GaugeBox{}};
    for (size_t i = 0; i < max_rows; ++i) {
        if (image != nullptr && !image->holds_record(table + i)) return TableWalk::outside;
        const orvane::MouseRect& row = table[i];
        if (row.rect_type == orvane::MOUSE_END_OF_TABLE) return TableWalk::ended;
        const GaugeBox& enclosing = areas.back();
        GaugeBox box = enclosing;
        const char* tooltip = nullptr;
        if (row.rect_type == orvane::MOUSE_OPEN_AREA) {
            if (!is_whole_area(row.relative_box)) box = enclosing.inner(row.relative_box);
        } else if (row.rect_type == orvane::MOUSE_CLICK_AREA) {
            box = enclosing.inner(row.relative_box);
        } else if (row.rect_type == orvane::MOUSE_TOOLTIP) {
            tooltip = row.action.tooltip;
        }
        visit(MouseRowVisit{.row = row, .index = i, .areas = areas, .box = box, .tooltip = tooltip});
        if (row.rect_type == orvane::MOUSE_OPEN_AREA) {
            areas.push_back(box);
        } else if (row.rect_type == orvane::MOUSE_CLOSE_AREA && areas.size() > 1) {
            areas.pop_back();
        }
    }
    return TableWalk::no_end_row;
}

// A tooltip's text up to its limit; empty for none.
std::string_view tooltip_text(const char* tooltip);

struct MouseTableProblem {
    size_t row;  // counted from 0
    std::string message;
    bool unreadable = false;  // a row or a text out of the module's image: the check stopped there
};

// Every fault of the table: unknown kinds, unbalanced areas, a tooltip that
// does not follow an open row, click rows without exactly one of key event
// and handler, boxes without size, a missing end row; given the module's
// image, rows and tooltip texts out of it (the check stops at the first) and
// handlers not in its code. A null table is no table, and no fault.
std::vector<MouseTableProblem> validate_mouse_table(const orvane::MouseRect* table,
                                                     size_t max_rows = max_mouse_rows,
                                                     const ModuleImage* image = nullptr);

inline constexpr uint32_t mouse_left = orvane::MOUSE_LEFTSINGLE;
inline constexpr uint32_t mouse_right = orvane::MOUSE_RIGHTSINGLE;
inline constexpr uint32_t mouse_repeat = orvane::MOUSE_DOWN_REPEAT;

// Whether a click row acts on a click with these flags: it must accept the
// button, and for a repeat it must ask for repeats.
bool click_flags_match(uint32_t row_flags, uint32_t click_flags);

}  // namespace panelhost
