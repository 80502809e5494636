#include "host/render/area_map.h"

#include <algorithm>
#include <cmath>

#include "host/panel/mouse.h"
#include "host/render/fonts.h"

namespace panelhost {
namespace {

using namespace orvane;

// Bright colours that stand apart from one another and from the gauges' own.
constexpr uint32_t palette[] = {0xFF453A, 0x32D74B, 0x0A84FF, 0xFFD60A, 0xFF2DAF, 0x40E0D0, 0xFF9F0A, 0xBF5AF2};

constexpr double tag_font = 10, tag_height = 12;
constexpr double heading_font = 13, key_font = 12, key_line = 16;
constexpr int least_width = 360;
constexpr uint32_t ground = 0x17191C;

void set_rgb(cairo_t* cr, uint32_t rgb, double alpha = 1) {
    cairo_set_source_rgba(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha);
}

struct Rect {
    double x, y, w, h;
    bool overlaps(const Rect& o) const { return x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h; }
};

// Boxes far off the picture are held where Cairo's fixed-point numbers still work.
double held(double v) { return std::clamp(v, -1e5, 1e5); }

// A box of gauge pixels on the map, its edges on whole picture pixels.
Rect on_map(const MappedGauge& g, double x, double y, double w, double h) {
    const double left = std::round(held(area_map_margin + g.x + x * g.scale_x));
    const double top = std::round(held(area_map_margin + g.y + y * g.scale_y));
    const double right = std::round(held(area_map_margin + g.x + (x + w) * g.scale_x));
    const double bottom = std::round(held(area_map_margin + g.y + (y + h) * g.scale_y));
    return {left, top, right - left, bottom - top};
}

Rect on_map(const MappedGauge& g, const PixBox& b) { return on_map(g, b.x, b.y, b.size_x, b.size_y); }

void font(cairo_t* cr, double size, bool bold) {
    cairo_select_font_face(cr, fallback_family, CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
}

double text_width(cairo_t* cr, const std::string& text) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    return e.x_advance;
}

// A number on a tag of its area's colour, its top-left corner at x, y.
Rect tag_at(cairo_t* cr, size_t number, double x, double y) {
    font(cr, tag_font, true);
    return {x, y, std::ceil(text_width(cr, std::to_string(number))) + 5, tag_height};
}

void draw_tag(cairo_t* cr, size_t number, const Rect& r) {
    set_rgb(cr, area_colour(number));
    cairo_rectangle(cr, r.x, r.y, r.w, r.h);
    cairo_fill(cr);
    font(cr, tag_font, true);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_move_to(cr, r.x + 2.5, r.y + 9.5);
    cairo_show_text(cr, std::to_string(number).c_str());
}

void outline(cairo_t* cr, const Rect& r, uint32_t colour, bool outside) {
    if (r.w <= 0 || r.h <= 0) return;
    set_rgb(cr, colour);
    const double half = area_outline_width / 2.0;
    cairo_set_line_width(cr, area_outline_width);
    if (outside) {
        cairo_rectangle(cr, r.x - half, r.y - half, r.w + area_outline_width, r.h + area_outline_width);
    } else if (r.w <= 2 * area_outline_width || r.h <= 2 * area_outline_width) {
        cairo_rectangle(cr, r.x, r.y, r.w, r.h);
        cairo_fill(cr);
        return;
    } else {
        cairo_rectangle(cr, r.x + half, r.y + half, r.w - area_outline_width, r.h - area_outline_width);
    }
    cairo_stroke(cr);
}

// A click row that is not its area's whole box, dashed inside it.
void click_outline(cairo_t* cr, const Rect& r, uint32_t colour) {
    if (r.w <= 2 || r.h <= 2) return;
    set_rgb(cr, colour, 0.85);
    cairo_set_line_width(cr, 1);
    const double dash[] = {3, 2};
    cairo_set_dash(cr, dash, 2, 0);
    cairo_rectangle(cr, r.x + 0.5, r.y + 0.5, r.w - 1, r.h - 1);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
}

struct KeyEntry {
    size_t number;
    std::string tooltip;
};

struct KeyGroup {
    std::string title;
    std::vector<KeyEntry> entries;
    double column_width = 0;
    int columns = 1, rows = 0;
};

std::string key_text(const KeyEntry& e) { return e.tooltip.empty() ? "(no tooltip)" : e.tooltip; }

// Lays the key's groups out in columns across `width`; returns its height.
double lay_out_key(cairo_t* cr, std::vector<KeyGroup>& groups, double width) {
    double height = 0;
    for (KeyGroup& g : groups) {
        double widest = 0;
        for (const KeyEntry& e : g.entries) {
            const double tag = tag_at(cr, e.number, 0, 0).w;
            font(cr, key_font, false);
            widest = std::max(widest, tag + 6 + text_width(cr, key_text(e)));
        }
        g.column_width = std::ceil(widest) + 18;
        g.columns = std::max(1, static_cast<int>((width - 2 * area_map_margin) / g.column_width));
        g.rows = (static_cast<int>(g.entries.size()) + g.columns - 1) / g.columns;
        height += heading_font + 8 + g.rows * key_line + 10;
    }
    return height;
}

void draw_key(cairo_t* cr, const std::vector<KeyGroup>& groups, double top) {
    double y = top;
    for (const KeyGroup& g : groups) {
        font(cr, heading_font, true);
        cairo_set_source_rgb(cr, 0.93, 0.94, 0.95);
        cairo_move_to(cr, area_map_margin, y + heading_font);
        cairo_show_text(cr, g.title.c_str());
        y += heading_font + 8;
        for (size_t i = 0; i < g.entries.size(); ++i) {
            const KeyEntry& e = g.entries[i];
            const int column = static_cast<int>(i) / g.rows, row = static_cast<int>(i) % g.rows;
            const double x = area_map_margin + column * g.column_width, line_y = y + row * key_line;
            const Rect tag = tag_at(cr, e.number, x, line_y);
            draw_tag(cr, e.number, tag);
            font(cr, key_font, false);
            if (e.tooltip.empty()) {
                cairo_set_source_rgb(cr, 0.55, 0.58, 0.62);
            } else {
                cairo_set_source_rgb(cr, 0.93, 0.94, 0.95);
            }
            cairo_move_to(cr, x + tag.w + 6, line_y + 10);
            cairo_show_text(cr, key_text(e).c_str());
        }
        y += g.rows * key_line + 10;
    }
}

}  // namespace

uint32_t area_colour(size_t number) { return palette[(number + std::size(palette) - 1) % std::size(palette)]; }

Surface area_map(cairo_surface_t* picture, const std::vector<MappedGauge>& gauges) {
    const int picture_w = cairo_image_surface_get_width(picture), picture_h = cairo_image_surface_get_height(picture);
    const int width = std::max(picture_w + 2 * area_map_margin, least_width);

    std::vector<std::vector<MouseArea>> areas;
    std::vector<KeyGroup> key;
    for (const MappedGauge& g : gauges) {
        areas.push_back(mouse_areas(g.header->mouse_rect));
        // Titles come from a panel.cfg, tooltips from the module: Windows text, either of them.
        KeyGroup group{.title = windows_text_utf8(g.title)};
        for (size_t i = 0; i < areas.back().size(); ++i) {
            group.entries.push_back({i + 1, windows_text_utf8(areas.back()[i].tooltip)});
        }
        key.push_back(std::move(group));
    }
    const Surface scratch = make_surface(1, 1);
    const double key_height = lay_out_key(Context(cairo_create(scratch.get())).get(), key, width);
    const double key_top = picture_h + 2 * area_map_margin + 6;
    const int height = static_cast<int>(std::ceil(key_top + key_height)) + area_map_margin;

    Surface map = make_surface(width, height, true);
    const Context context(cairo_create(map.get()));
    cairo_t* cr = context.get();
    set_rgb(cr, ground);
    cairo_paint(cr);
    cairo_set_source_surface(cr, picture, area_map_margin, area_map_margin);
    cairo_paint(cr);

    std::vector<Rect> tags;
    for (size_t n = 0; n < gauges.size(); ++n) {
        const MappedGauge& g = gauges[n];
        for (size_t i = 0; i < areas[n].size(); ++i) {
            const MouseArea& a = areas[n][i];
            const uint32_t colour = area_colour(i + 1);
            const Rect box = a.area.bounded ? on_map(g, a.area.box) : on_map(g, 0, 0, g.size.x, g.size.y);
            for (const ClickRow& c : a.clicks) {
                const Rect row = on_map(g, c.box);
                if (row.x != box.x || row.y != box.y || row.w != box.w || row.h != box.h) click_outline(cr, row, colour);
            }
            outline(cr, box, colour, !a.area.bounded);
            // Each number where no earlier one is: the whole gauge's over its
            // frame's top-left corner, the others in their box's, rightwards.
            Rect tag = a.area.bounded ? tag_at(cr, i + 1, box.x, box.y)
                                      : tag_at(cr, i + 1, box.x - area_outline_width, box.y - area_outline_width - tag_height);
            for (int tries = 0; tries < 64; ++tries) {
                const auto taken = std::find_if(tags.begin(), tags.end(), [&](const Rect& t) { return t.overlaps(tag); });
                if (taken == tags.end()) break;
                tag.x = taken->x + taken->w + 1;
            }
            draw_tag(cr, i + 1, tag);
            tags.push_back(tag);
        }
    }
    draw_key(cr, key, key_top);
    cairo_surface_flush(map.get());
    return map;
}

}  // namespace panelhost
