// Panel backgrounds as designers make them: Windows BMP files of 1, 4, 8,
// 16, 24 or 32 bits a pixel, uncompressed (16 and 32 bits with bit fields
// too), their alpha ignored as the simulator ignores it. The
// header is checked here, so that a refused file says why (bit depth,
// compression, size, a file cut short) and nothing is decoded beyond the
// bounds; stb_image then decodes the pixels. The module's own bitmaps are
// read by the strict 8-bit decoder of host/services/resources.h instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace panelhost {

// A background larger than these is refused before it is decoded.
inline constexpr int max_bmp_side = 16384;
inline constexpr int64_t max_bmp_pixels = int64_t{16} << 20;
// The largest file such a bitmap makes, its rows at 32 bits and its headers.
inline constexpr size_t max_bmp_file_bytes = (size_t{16} << 20) * 4 + 4096;

// Pixels as 0x00RRGGBB, the top row first.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + x]; }
};

struct BmpRead {
    std::string error;  // "what is wrong (what is allowed)"; empty when read
    RgbImage image;
};

BmpRead read_bmp(const std::vector<uint8_t>& bytes);

}  // namespace panelhost
