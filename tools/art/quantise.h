// Reduces a drawn 32-bit picture to an 8-bit palette image that the host
// draws as intended: pure black only where the panel behind must show.
#pragma once

#include <cstdint>

#include "tools/art/indexed_image.h"

namespace art {

// What a partly covered pixel at the edge of the art becomes, since the host
// knows only fully transparent (pure black) or fully opaque.
enum class Edge {
    // Panel-mounted art: a pixel is opaque when at least half covered, and then
    // takes the art's full colour, so no dark fringe shows against the panel.
    hard,
    // Display art on a black screen: a pixel is opaque from a quarter covered,
    // blended towards black, which keeps the anti-aliasing on the screen.
    over_black,
};

// `argb` is a Cairo ARGB32 picture (premultiplied, one native-endian 32-bit
// word per pixel, rows `stride_bytes` apart). The palette holds pure black at
// index 0 and every opaque colour exactly when there are at most 255 of them,
// otherwise 255 median-cut colours. No opaque pixel ever gets pure black: a
// drawn black becomes (1, 1, 1).
IndexedImage quantise(const uint8_t* argb, int stride_bytes, int width, int height, Edge edge);

}  // namespace art
