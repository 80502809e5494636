#include "host/panel/mouse.h"

#include <cstring>

namespace panelhost {
namespace {

using orvane::MouseRect;

bool is_whole_area(const orvane::PixBox& box) {
    return box.x == 0 && box.y == 0 && box.size_x == 0 && box.size_y == 0;
}

// An area or click box in gauge pixels; 64-bit so that no module box overflows.
struct Box {
    int64_t x = 0;
    int64_t y = 0;
    int64_t w = 0;
    int64_t h = 0;
    bool bounded = false;

    bool contains(orvane::PixPoint p) const {
        if (p.x < x || p.y < y) return false;
        return !bounded || (p.x < x + w && p.y < y + h);
    }
    Box inner(const orvane::PixBox& relative) const {
        return {x + relative.x, y + relative.y, relative.size_x, relative.size_y, true};
    }
};

struct Area {
    Box box;
    bool contains = false;
    size_t depth = 0;
};

// Walks the rows keeping the stack of open areas; calls visit(row, index,
// enclosing area) for every row up to the end row.
template <typename Visit>
void walk_rows(const MouseRect* table, orvane::PixPoint point, Visit visit) {
    if (table == nullptr) return;
    std::vector<Area> areas{{.box = {}, .contains = point.x >= 0 && point.y >= 0, .depth = 0}};
    for (size_t i = 0; i < max_mouse_rows; ++i) {
        const MouseRect& row = table[i];
        if (row.rect_type == orvane::MOUSE_END_OF_TABLE) return;
        const Area& enclosing = areas.back();
        visit(row, i, enclosing);
        if (row.rect_type == orvane::MOUSE_OPEN_AREA) {
            Area area{.box = is_whole_area(row.relative_box) ? enclosing.box : enclosing.box.inner(row.relative_box),
                      .depth = enclosing.depth + 1};
            area.contains = enclosing.contains && area.box.contains(point);
            areas.push_back(area);
        } else if (row.rect_type == orvane::MOUSE_CLOSE_AREA && areas.size() > 1) {
            areas.pop_back();
        }
    }
}

const char* tooltip_of(const MouseRect& row) { return row.action.tooltip; }

int32_t clamp_to_int32(int64_t value) {
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

}  // namespace

std::vector<MouseTableProblem> validate_mouse_table(const MouseRect* table, size_t max_rows) {
    std::vector<MouseTableProblem> problems;
    if (table == nullptr) return problems;
    size_t open = 0;
    int previous_kind = -1;
    for (size_t i = 0; i < max_rows; ++i) {
        const MouseRect& row = table[i];
        auto report = [&](const std::string& message) { problems.push_back({i, message}); };
        switch (row.rect_type) {
        case orvane::MOUSE_END_OF_TABLE:
            if (open != 0) report("the table ends with " + std::to_string(open) + " area(s) still open");
            return problems;
        case orvane::MOUSE_OPEN_AREA: {
            const auto& b = row.relative_box;
            if (!is_whole_area(b) && (b.size_x <= 0 || b.size_y <= 0)) report("open row: area box has no size");
            ++open;
            break;
        }
        case orvane::MOUSE_TOOLTIP: {
            if (previous_kind != orvane::MOUSE_OPEN_AREA) report("tooltip row does not follow an open row");
            const char* text = tooltip_of(row);
            if (text == nullptr) {
                report("tooltip row has no text");
            } else if (strnlen(text, max_tooltip_length + 1) > max_tooltip_length) {
                report("tooltip text is longer than " + std::to_string(max_tooltip_length) + " characters");
            }
            break;
        }
        case orvane::MOUSE_CLICK_AREA: {
            const bool has_event = row.event_id != 0;
            const bool has_handler = row.action.handler != nullptr;
            if (has_event && has_handler) report("click row has both a key event and a handler");
            if (!has_event && !has_handler) report("click row has neither a key event nor a handler");
            if (row.relative_box.size_x <= 0 || row.relative_box.size_y <= 0) report("click row: box has no size");
            if (!click_flags_match(row.mouse_flags, mouse_left) && !click_flags_match(row.mouse_flags, mouse_right)) {
                report("click row accepts neither a left nor a right click");
            }
            break;
        }
        case orvane::MOUSE_CLOSE_AREA:
            if (open == 0) {
                report("close row without an open area");
            } else {
                --open;
            }
            break;
        default: report("unknown row kind " + std::to_string(row.rect_type));
        }
        previous_kind = row.rect_type;
    }
    problems.push_back({max_rows, "no end row within " + std::to_string(max_rows) + " rows"});
    return problems;
}

bool click_flags_match(uint32_t row_flags, uint32_t click_flags) {
    const uint32_t buttons = click_flags & ~mouse_repeat;
    if (buttons == 0 || (row_flags & buttons) == 0) return false;
    return (click_flags & mouse_repeat) == 0 || (row_flags & mouse_repeat) != 0;
}

MouseHit hit_test(const MouseRect* table, orvane::PixPoint point, uint32_t click_flags) {
    MouseHit hit;
    bool cursor_found = false;
    size_t tooltip_depth = 0;
    walk_rows(table, point, [&](const MouseRect& row, size_t index, const Area& enclosing) {
        if (!enclosing.contains) return;
        if (row.rect_type == orvane::MOUSE_TOOLTIP) {
            const char* text = tooltip_of(row);
            // The tooltip labels the area just opened, which is the enclosing one here.
            if (text != nullptr && enclosing.depth > tooltip_depth) {
                hit.tooltip.assign(text, strnlen(text, max_tooltip_length));
                tooltip_depth = enclosing.depth;
            }
        } else if (row.rect_type == orvane::MOUSE_CLICK_AREA) {
            const Box box = enclosing.box.inner(row.relative_box);
            if (!box.contains(point)) return;
            if (!cursor_found) {
                hit.cursor = row.cursor;
                cursor_found = true;
            }
            if (hit.row == nullptr && click_flags_match(row.mouse_flags, click_flags)) {
                hit.row = &row;
                hit.row_index = index;
                hit.relative = {static_cast<int32_t>(point.x - box.x), static_cast<int32_t>(point.y - box.y)};
            }
        }
    });
    return hit;
}

std::optional<AreaBox> find_area(const MouseRect* table, std::string_view tooltip) {
    std::optional<AreaBox> found;
    // The point does not matter here: every area counts as containing it.
    walk_rows(table, {0, 0}, [&](const MouseRect& row, size_t, const Area& enclosing) {
        if (found || row.rect_type != orvane::MOUSE_TOOLTIP || tooltip_of(row) == nullptr) return;
        if (std::string_view(tooltip_of(row), strnlen(tooltip_of(row), max_tooltip_length)) != tooltip) return;
        const Box& b = enclosing.box;
        found = AreaBox{{clamp_to_int32(b.x), clamp_to_int32(b.y), clamp_to_int32(b.w), clamp_to_int32(b.h)},
                        b.bounded};
    });
    return found;
}

std::vector<ClickRow> click_rows(const MouseRect* table) {
    std::vector<ClickRow> rows;
    walk_rows(table, {0, 0}, [&](const MouseRect& row, size_t, const Area& enclosing) {
        if (row.rect_type != orvane::MOUSE_CLICK_AREA) return;
        const Box box = enclosing.box.inner(row.relative_box);
        rows.push_back({&row, {clamp_to_int32(box.x + box.w / 2), clamp_to_int32(box.y + box.h / 2)}});
    });
    return rows;
}

}  // namespace panelhost
