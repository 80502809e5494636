// The module's bitmaps, each drawn at its fixed size and reduced to its own
// 256-colour palette.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include <cairo.h>

#include "tools/art/indexed_image.h"
#include "tools/art/quantise.h"

namespace art {

struct ArtPiece {
    const char* key;  // the bitmap's name in the resource list: "BMP_PFD_ATTITUDE_BALL"
    int width;
    int height;
    Edge edge;
    void (*draw)(cairo_t* cr, int width, int height);  // onto a fully transparent surface
};

std::span<const ArtPiece> art_pieces();
const ArtPiece* find_art(std::string_view key);

IndexedImage render(const ArtPiece& piece);
std::vector<uint8_t> render_bmp_file(const ArtPiece& piece);

}  // namespace art
