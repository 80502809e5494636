#include "host/panel/mouse.h"

#include <algorithm>

namespace panelhost {
namespace {

using orvane::MouseRect;

bool all_contain(const std::vector<GaugeBox>& areas, orvane::PixPoint point) {
    return std::all_of(areas.begin(), areas.end(), [&](const GaugeBox& area) { return area.contains(point); });
}

ClickRow click_row(const MouseRowVisit& visit) {
    return {&visit.row, visit.index, visit.box.pix_box(), visit.box.centre()};
}

}  // namespace

MouseHit hit_test(const MouseRect* table, orvane::PixPoint point, uint32_t click_flags) {
    MouseHit hit;
    bool cursor_found = false;
    size_t tooltip_depth = 0;
    walk_mouse_table(table, [&](const MouseRowVisit& visit) {
        if (!all_contain(visit.areas, point)) return;
        const MouseRect& row = visit.row;
        if (row.rect_type == orvane::MOUSE_TOOLTIP) {
            // The tooltip labels the area just opened, which is the enclosing one here.
            if (visit.tooltip != nullptr && visit.depth() > tooltip_depth) {
                hit.tooltip = tooltip_text(visit.tooltip);
                tooltip_depth = visit.depth();
            }
        } else if (row.rect_type == orvane::MOUSE_CLICK_AREA) {
            if (!visit.box.contains(point)) return;
            if (!cursor_found) {
                hit.cursor = row.cursor;
                cursor_found = true;
            }
            if (hit.row == nullptr && click_flags_match(row.mouse_flags, click_flags)) {
                hit.row = &row;
                hit.row_index = visit.index;
                hit.relative = {static_cast<int32_t>(point.x - visit.box.x), static_cast<int32_t>(point.y - visit.box.y)};
            }
        }
    });
    return hit;
}

std::optional<AreaBox> find_area(const MouseRect* table, std::string_view tooltip) {
    std::optional<AreaBox> found;
    walk_mouse_table(table, [&](const MouseRowVisit& visit) {
        if (found || visit.row.rect_type != orvane::MOUSE_TOOLTIP || visit.tooltip == nullptr) return;
        if (tooltip_text(visit.tooltip) != tooltip) return;
        found = AreaBox{visit.enclosing().pix_box(), visit.enclosing().bounded};
    });
    return found;
}

std::vector<ClickRow> click_rows(const MouseRect* table) {
    std::vector<ClickRow> rows;
    walk_mouse_table(table, [&](const MouseRowVisit& visit) {
        if (visit.row.rect_type == orvane::MOUSE_CLICK_AREA) rows.push_back(click_row(visit));
    });
    return rows;
}

std::vector<MouseArea> mouse_areas(const MouseRect* table) {
    std::vector<MouseArea> areas;
    std::vector<size_t> open;  // indices into areas of the areas open at each depth
    walk_mouse_table(table, [&](const MouseRowVisit& visit) {
        switch (visit.row.rect_type) {
        case orvane::MOUSE_OPEN_AREA:
            areas.push_back({.index = visit.index,
                             .area = {visit.box.pix_box(), visit.box.bounded},
                             .depth = visit.depth(),
                             .tooltip = {},
                             .clicks = {}});
            open.push_back(areas.size() - 1);
            break;
        case orvane::MOUSE_TOOLTIP:
            if (!open.empty()) areas[open.back()].tooltip = tooltip_text(visit.tooltip);
            break;
        case orvane::MOUSE_CLICK_AREA:
            if (!open.empty()) areas[open.back()].clicks.push_back(click_row(visit));
            break;
        case orvane::MOUSE_CLOSE_AREA:
            if (!open.empty()) open.pop_back();
            break;
        default: break;
        }
    });
    return areas;
}

}  // namespace panelhost
