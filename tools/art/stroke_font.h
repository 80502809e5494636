// The display lettering: a small stroke font drawn as lines, so that the
// art comes out the same on every machine whatever fonts it has.
#pragma once

#include <cairo.h>

#include <string_view>

namespace art {

// Glyphs are 4 units wide and 6 tall with 1 unit between them; `height` is
// the height of a capital in pixels.
double text_width(std::string_view text, double height);

// Strokes `text` in the current source colour, centred on (cx, cy) to within
// half a pixel.
// Characters without a glyph leave a gap.
void draw_text(cairo_t* cr, std::string_view text, double cx, double cy, double height, double line_width);

}  // namespace art
