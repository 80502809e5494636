#include "tools/art/indexed_image.h"

#include <cstddef>

namespace art {
namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFFu);
    put16(out, v >> 16);
}

}  // namespace

std::vector<uint8_t> encode_bmp_file(const IndexedImage& image) {
    const uint32_t stride = (static_cast<uint32_t>(image.width) + 3u) & ~3u;
    const uint32_t image_bytes = stride * static_cast<uint32_t>(image.height);
    const uint32_t bits_offset = 14 + 40 + 256 * 4;

    std::vector<uint8_t> out;
    out.reserve(bits_offset + image_bytes);
    out.push_back('B');
    out.push_back('M');
    put32(out, bits_offset + image_bytes);
    put32(out, 0);
    put32(out, bits_offset);

    put32(out, 40);
    put32(out, static_cast<uint32_t>(image.width));
    put32(out, static_cast<uint32_t>(image.height));  // positive: bottom row first
    put16(out, 1);                                      // planes
    put16(out, 8);                                      // bits per pixel
    put32(out, 0);                                      // BI_RGB
    put32(out, image_bytes);
    put32(out, 2835);  // 72 dpi
    put32(out, 2835);
    put32(out, 256);  // colours used
    put32(out, 0);    // all colours important

    for (const Rgb& c : image.palette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    for (int y = image.height - 1; y >= 0; --y) {
        const uint8_t* row = image.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(image.width);
        out.insert(out.end(), row, row + image.width);
        out.insert(out.end(), stride - static_cast<uint32_t>(image.width), 0);
    }
    return out;
}

}  // namespace art
