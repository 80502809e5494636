// An 8-bit palette image as the module's bitmaps hold it, and its encoding
// as a Windows DIB file.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace art {

struct Rgb {
    uint8_t r, g, b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb transparent_black = {0, 0, 0};

struct IndexedImage {
    int width = 0;
    int height = 0;
    std::array<Rgb, 256> palette{};  // entry 0 is always pure black, the host's transparent colour
    std::vector<uint8_t> pixels;     // top row first, width * height palette indices
};

// A BMP file: file header, 40-byte info header, 256-entry palette, rows
// bottom-up and padded to four bytes, uncompressed.
std::vector<uint8_t> encode_bmp_file(const IndexedImage& image);

}  // namespace art
