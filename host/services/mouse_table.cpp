#include "host/services/mouse_table.h"

#include <cstring>
#include <optional>

namespace panelhost {
namespace {

int32_t clamp_to_int32(int64_t value) {
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

}  // namespace

orvane::PixBox GaugeBox::pix_box() const {
    return {clamp_to_int32(x), clamp_to_int32(y), clamp_to_int32(w), clamp_to_int32(h)};
}

orvane::PixPoint GaugeBox::centre() const { return {clamp_to_int32(x + w / 2), clamp_to_int32(y + h / 2)}; }

bool is_whole_area(const orvane::PixBox& box) {
    return box.x == 0 && box.y == 0 && box.size_x == 0 && box.size_y == 0;
}

std::string_view tooltip_text(const char* tooltip) {
    if (tooltip == nullptr) return {};
    return {tooltip, strnlen(tooltip, max_tooltip_length)};
}

namespace {

// A tooltip row whose text is not wholly in the module's image: the check
// cannot read it, and stops.
std::optional<MouseTableProblem> unreadable_tooltip(const MouseRowVisit& visit, const ModuleImage& image) {
    if (visit.row.rect_type != orvane::MOUSE_TOOLTIP || visit.tooltip == nullptr) return std::nullopt;
    const size_t room = image.room_at(visit.tooltip);
    if (room != 0 && strnlen(visit.tooltip, room) != room) return std::nullopt;
    return MouseTableProblem{visit.index,
                             "tooltip text at " + address_text(visit.tooltip) +
                                 (room == 0 ? " lies outside the module's image"
                                            : " runs past the end of the module's image") +
                                 " (a text in the module, ended by a NUL)",
                             true};
}

// The faults of one row by the rules of its kind; previous_kind is the kind
// of the row before it (-1 for the first).
void check_row(const MouseRowVisit& visit, int previous_kind, const ModuleImage* image,
               std::vector<MouseTableProblem>& problems) {
    const orvane::MouseRect& row = visit.row;
    auto report = [&](const std::string& message) { problems.push_back({visit.index, message}); };
    if (image != nullptr && row.rect_type == orvane::MOUSE_CLICK_AREA && row.event_id == 0 &&
        row.action.handler != nullptr && !image->holds_code(reinterpret_cast<const void*>(row.action.handler))) {
        report("click row: its handler " + address_text(reinterpret_cast<const void*>(row.action.handler)) +
               " is not in the module's code (a function of the module, or a key event)");
    }
    switch (row.rect_type) {
    case orvane::MOUSE_OPEN_AREA: {
        const auto& b = row.relative_box;
        if (!is_whole_area(b) && (b.size_x <= 0 || b.size_y <= 0)) report("open row: area box has no size");
        break;
    }
    case orvane::MOUSE_TOOLTIP:
        if (previous_kind != orvane::MOUSE_OPEN_AREA) report("tooltip row does not follow an open row");
        if (visit.tooltip == nullptr) {
            report("tooltip row has no text");
        } else if (strnlen(visit.tooltip, max_tooltip_length + 1) > max_tooltip_length) {
            report("tooltip text is longer than " + std::to_string(max_tooltip_length) + " characters");
        }
        break;
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
        if (visit.depth() == 0) report("close row without an open area");
        break;
    default: report("unknown row kind " + std::to_string(row.rect_type));
    }
}

// The areas still open once this row has acted.
size_t open_after(const MouseRowVisit& visit) {
    const int32_t kind = visit.row.rect_type;
    return visit.depth() + (kind == orvane::MOUSE_OPEN_AREA ? 1 : 0) -
           (kind == orvane::MOUSE_CLOSE_AREA && visit.depth() > 0 ? 1 : 0);
}

}  // namespace

std::vector<MouseTableProblem> validate_mouse_table(const orvane::MouseRect* table, size_t max_rows,
                                                     const ModuleImage* image) {
    std::vector<MouseTableProblem> problems;
    int previous_kind = -1;
    size_t open_at_end = 0;
    size_t end_row = 0;  // the row after the last one met
    bool unreadable = false;
    const TableWalk walk = walk_mouse_table(
        table,
        [&](const MouseRowVisit& visit) {
            if (unreadable) return;
            end_row = visit.index + 1;
            if (image != nullptr) {
                if (auto problem = unreadable_tooltip(visit, *image)) {
                    problems.push_back(std::move(*problem));
                    unreadable = true;
                    return;
                }
            }
            check_row(visit, previous_kind, image, problems);
            previous_kind = visit.row.rect_type;
            open_at_end = open_after(visit);
        },
        max_rows, image);
    if (unreadable) return problems;
    if (walk == TableWalk::outside) {
        problems.push_back({end_row,
                            "row at " + address_text(table + end_row) + " " + image->record_fault(table + end_row) +
                                " (a table in the module, ended by a row of kind 0)",
                            true});
    } else if (walk == TableWalk::no_end_row) {
        problems.push_back({max_rows, "no end row within " + std::to_string(max_rows) + " rows"});
    } else if (open_at_end != 0) {
        problems.push_back({end_row, "the table ends with " + std::to_string(open_at_end) + " area(s) still open"});
    }
    return problems;
}

bool click_flags_match(uint32_t row_flags, uint32_t click_flags) {
    const uint32_t buttons = click_flags & ~mouse_repeat;
    if (buttons == 0 || (row_flags & buttons) == 0) return false;
    return (click_flags & mouse_repeat) == 0 || (row_flags & mouse_repeat) != 0;
}

}  // namespace panelhost
