#include "host/render/contact_sheet.h"

#include <algorithm>
#include <sstream>

#include "host/render/fonts.h"

namespace panelhost {
namespace {

// Words laid into lines no wider than `width` in the current font, at most
// `most` lines, the last cut short with an ellipsis.
std::vector<std::string> wrapped(cairo_t* cr, const std::string& text, double width, size_t most) {
    auto fits = [&](const std::string& t) {
        cairo_text_extents_t e;
        cairo_text_extents(cr, t.c_str(), &e);
        return e.x_advance <= width;
    };
    std::vector<std::string> lines;
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        if (!lines.empty() && fits(lines.back() + " " + word)) {
            lines.back() += " " + word;
        } else if (lines.size() < most) {
            lines.push_back(word);
        } else {
            std::string& last = lines.back();
            while (!last.empty() && !fits(last + "\xE2\x80\xA6")) last.pop_back();
            last += "\xE2\x80\xA6";
            break;
        }
    }
    return lines;
}

}  // namespace

Surface contact_sheet(const std::vector<SheetEntry>& entries, const std::string& title, const std::string& subtitle) {
    constexpr int columns = 2, margin = 24, gap = 20, caption_height = 62, title_height = 78;
    int cell_w = 1, cell_h = 1;
    for (const SheetEntry& e : entries) {
        cell_w = std::max(cell_w, cairo_image_surface_get_width(e.frame) / 2);
        cell_h = std::max(cell_h, cairo_image_surface_get_height(e.frame) / 2);
    }
    const int rows = (static_cast<int>(entries.size()) + columns - 1) / columns;
    const int width = 2 * margin + columns * cell_w + (columns - 1) * gap;
    const int height = title_height + margin + rows * (cell_h + caption_height) + std::max(0, rows - 1) * gap + margin;
    Surface sheet = make_surface(width, height, true);
    Context cr(cairo_create(sheet.get()));
    cairo_t* c = cr.get();
    cairo_set_source_rgb(c, 0.09, 0.10, 0.11);
    cairo_paint(c);

    cairo_select_font_face(c, fallback_family, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(c, 26);
    cairo_set_source_rgb(c, 0.95, 0.95, 0.95);
    cairo_move_to(c, margin, margin + 26);
    cairo_show_text(c, title.c_str());
    cairo_select_font_face(c, fallback_family, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(c, 15);
    cairo_set_source_rgb(c, 0.65, 0.68, 0.72);
    cairo_move_to(c, margin, margin + 52);
    cairo_show_text(c, subtitle.c_str());

    for (size_t i = 0; i < entries.size(); ++i) {
        const int col = static_cast<int>(i) % columns, row = static_cast<int>(i) / columns;
        const double x = margin + col * (cell_w + gap);
        const double y = title_height + margin + row * (cell_h + caption_height + gap);
        cairo_save(c);
        cairo_translate(c, x, y);
        cairo_scale(c, 0.5, 0.5);
        cairo_set_source_surface(c, entries[i].frame, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(c), CAIRO_FILTER_GOOD);
        cairo_paint(c);
        cairo_restore(c);

        cairo_select_font_face(c, fallback_family, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
        cairo_set_font_size(c, 15);
        cairo_set_source_rgb(c, 0.95, 0.95, 0.95);
        const std::vector<std::string> lines =
            wrapped(c, std::to_string(i + 1) + ". " + entries[i].caption, cell_w, 2);
        double line_y = y + cell_h + 20;
        for (const std::string& line : lines) {
            cairo_move_to(c, x, line_y);
            cairo_show_text(c, line.c_str());
            line_y += 19;
        }
        if (!entries[i].note.empty()) {
            cairo_select_font_face(c, fallback_family, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
            cairo_set_font_size(c, 12.5);
            cairo_set_source_rgb(c, 0.62, 0.66, 0.70);
            cairo_move_to(c, x, line_y - 2);
            cairo_show_text(c, entries[i].note.c_str());
        }
    }
    cairo_surface_flush(sheet.get());
    return sheet;
}

}  // namespace panelhost
