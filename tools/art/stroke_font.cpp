#include "tools/art/stroke_font.h"

#include <cmath>


namespace art {
namespace {

struct Point {
    double x, y;
};

// A glyph is up to three strokes of up to twelve points; an empty stroke ends it.
struct Glyph {
    char c;
    Point strokes[3][12];
    int lengths[3];
};

constexpr double glyph_width = 4, glyph_height = 6, glyph_gap = 1;

const Glyph glyphs[] = {
    {'0', {{{1, 0}, {3, 0}, {4, 1}, {4, 5}, {3, 6}, {1, 6}, {0, 5}, {0, 1}, {1, 0}}}, {9, 0, 0}},
    {'1', {{{1, 1.2}, {2.4, 0}, {2.4, 6}}}, {3, 0, 0}},
    {'2', {{{0, 1}, {1, 0}, {3, 0}, {4, 1}, {4, 2.2}, {0, 6}, {4, 6}}}, {7, 0, 0}},
    {'3', {{{0, 0}, {4, 0}, {1.8, 2.6}, {3, 2.6}, {4, 3.6}, {4, 5}, {3, 6}, {1, 6}, {0, 5}}}, {9, 0, 0}},
    {'4', {{{3, 6}, {3, 0}, {0, 4}, {4, 4}}}, {4, 0, 0}},
    {'5', {{{4, 0}, {0.4, 0}, {0, 2.6}, {3, 2.6}, {4, 3.6}, {4, 5}, {3, 6}, {0, 6}}}, {8, 0, 0}},
    {'6', {{{3.4, 0}, {1, 0}, {0, 1}, {0, 5}, {1, 6}, {3, 6}, {4, 5}, {4, 3.6}, {3, 2.6}, {0, 2.6}}}, {10, 0, 0}},
    {'7', {{{0, 0}, {4, 0}, {1.4, 6}}}, {3, 0, 0}},
    {'8',
     {{{1, 0}, {3, 0}, {4, 1}, {4, 1.8}, {3, 2.8}, {1, 2.8}, {0, 1.8}, {0, 1}, {1, 0}},
      {{1, 2.8}, {3, 2.8}, {4, 3.8}, {4, 5}, {3, 6}, {1, 6}, {0, 5}, {0, 3.8}, {1, 2.8}}},
     {9, 9, 0}},
    {'9', {{{4, 3.4}, {1, 3.4}, {0, 2.4}, {0, 1}, {1, 0}, {3, 0}, {4, 1}, {4, 5}, {3, 6}, {0.6, 6}}}, {10, 0, 0}},
    {'A', {{{0, 6}, {0, 2}, {2, 0}, {4, 2}, {4, 6}}, {{0, 3.8}, {4, 3.8}}}, {5, 2, 0}},
    {'D', {{{0, 0}, {2.4, 0}, {4, 1.6}, {4, 4.4}, {2.4, 6}, {0, 6}, {0, 0}}}, {7, 0, 0}},
    {'E', {{{4, 0}, {0, 0}, {0, 6}, {4, 6}}, {{0, 3}, {3, 3}}}, {4, 2, 0}},
    {'F', {{{4, 0}, {0, 0}, {0, 6}}, {{0, 3}, {3, 3}}}, {3, 2, 0}},
    {'I', {{{2, 0}, {2, 6}}, {{1, 0}, {3, 0}}, {{1, 6}, {3, 6}}}, {2, 2, 2}},
    {'L', {{{0, 0}, {0, 6}, {4, 6}}}, {3, 0, 0}},
    {'M', {{{0, 6}, {0, 0}, {2, 3}, {4, 0}, {4, 6}}}, {5, 0, 0}},
    {'S', {{{4, 1}, {3, 0}, {1, 0}, {0, 1}, {0, 2}, {1, 3}, {3, 3}, {4, 4}, {4, 5}, {3, 6}, {1, 6}, {0, 5}}}, {12, 0, 0}},
    {'T', {{{0, 0}, {4, 0}}, {{2, 0}, {2, 6}}}, {2, 2, 0}},
    {'C', {{{4, 1}, {3, 0}, {1, 0}, {0, 1}, {0, 5}, {1, 6}, {3, 6}, {4, 5}}}, {8, 0, 0}},
    {'G', {{{4, 1}, {3, 0}, {1, 0}, {0, 1}, {0, 5}, {1, 6}, {3, 6}, {4, 5}, {4, 3.4}, {2.4, 3.4}}}, {10, 0, 0}},
    {'H', {{{0, 0}, {0, 6}}, {{4, 0}, {4, 6}}, {{0, 3}, {4, 3}}}, {2, 2, 2}},
    {'N', {{{0, 6}, {0, 0}, {4, 6}, {4, 0}}}, {4, 0, 0}},
    {'O', {{{1, 0}, {3, 0}, {4, 1}, {4, 5}, {3, 6}, {1, 6}, {0, 5}, {0, 1}, {1, 0}}}, {9, 0, 0}},
    {'P', {{{0, 6}, {0, 0}, {3, 0}, {4, 1}, {4, 2.2}, {3, 3.2}, {0, 3.2}}}, {7, 0, 0}},
    {'R', {{{0, 6}, {0, 0}, {3, 0}, {4, 1}, {4, 2.2}, {3, 3.2}, {0, 3.2}}, {{2, 3.2}, {4, 6}}}, {7, 2, 0}},
    {'U', {{{0, 0}, {0, 5}, {1, 6}, {3, 6}, {4, 5}, {4, 0}}}, {6, 0, 0}},
    {'V', {{{0, 0}, {2, 6}, {4, 0}}}, {3, 0, 0}},
    {'Y', {{{0, 0}, {2, 3}, {4, 0}}, {{2, 3}, {2, 6}}}, {3, 2, 0}},
    {'/', {{{0.4, 6}, {3.6, 0}}}, {2, 0, 0}},
    {'-', {{{0.6, 3}, {3.4, 3}}}, {2, 0, 0}},
    {'+', {{{0.6, 3}, {3.4, 3}}, {{2, 1.6}, {2, 4.4}}}, {2, 2, 0}},
};

const Glyph* find_glyph(char c) {
    for (const Glyph& g : glyphs)
        if (g.c == c) return &g;
    return nullptr;
}

}  // namespace

double text_width(std::string_view text, double height) {
    if (text.empty()) return 0;
    const double unit = height / glyph_height;
    return unit * (static_cast<double>(text.size()) * (glyph_width + glyph_gap) - glyph_gap);
}

void draw_text(cairo_t* cr, std::string_view text, double cx, double cy, double height, double line_width) {
    const double unit = height / glyph_height;
    // On the half-pixel grid, so that one-pixel strokes stay sharp.
    const double left = std::floor(cx - text_width(text, height) / 2) + 0.5;
    const double top = std::floor(cy - height / 2) + 0.5;
    cairo_save(cr);
    cairo_set_line_width(cr, line_width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (size_t i = 0; i < text.size(); ++i) {
        const Glyph* g = find_glyph(text[i]);
        if (!g) continue;
        const double x0 = left + static_cast<double>(i) * (glyph_width + glyph_gap) * unit;
        for (int s = 0; s < 3; ++s) {
            for (int p = 0; p < g->lengths[s]; ++p) {
                const Point pt = g->strokes[s][p];
                const double x = x0 + pt.x * unit, y = top + pt.y * unit;
                if (p == 0)
                    cairo_move_to(cr, x, y);
                else
                    cairo_line_to(cr, x, y);
            }
        }
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

}  // namespace art
