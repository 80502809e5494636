// BMP files made in a test, of the kinds designers' tools write and of the
// kinds the host refuses.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

namespace panelhost::testing {

struct BmpSpec {
    int32_t width = 4;
    int32_t height = 4;  // negative: rows top down
    uint16_t bits = 24;
    uint32_t compression = 0;
    uint32_t palette = 0;  // entries written, for 1 to 8 bits
    uint32_t rgb = 0x102030;  // every pixel; for 1 to 8 bits palette entry 1 holds it
    uint16_t planes = 1;
};

inline void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) { std::memcpy(b.data() + at, &v, 4); }
inline void put16(std::vector<uint8_t>& b, size_t at, uint16_t v) { std::memcpy(b.data() + at, &v, 2); }

// A file header, a 40-byte info header, the palette, then the rows.
inline std::vector<uint8_t> bmp_file(const BmpSpec& s) {
    const size_t rows = static_cast<size_t>(s.height < 0 ? -int64_t{s.height} : s.height);
    const size_t stride = ((static_cast<size_t>(s.width) * s.bits + 31) / 32) * 4;
    const size_t rows_at = 14 + 40 + 4 * size_t{s.palette};
    std::vector<uint8_t> b(rows_at + stride * rows, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, static_cast<uint32_t>(b.size()));
    put32(b, 10, static_cast<uint32_t>(rows_at));
    put32(b, 14, 40);
    put32(b, 18, static_cast<uint32_t>(s.width));
    put32(b, 22, static_cast<uint32_t>(s.height));
    put16(b, 26, s.planes);
    put16(b, 28, s.bits);
    put32(b, 30, s.compression);
    put32(b, 46, s.palette);
    const uint8_t r = s.rgb >> 16 & 0xFF, g = s.rgb >> 8 & 0xFF, bl = s.rgb & 0xFF;
    if (s.palette > 1) {
        b[54 + 4] = bl;
        b[54 + 5] = g;
        b[54 + 6] = r;
    }
    for (size_t y = 0; y < rows; ++y) {
        uint8_t* row = b.data() + rows_at + y * stride;
        for (size_t x = 0; x < static_cast<size_t>(s.width); ++x) {
            switch (s.bits) {
            case 32: row[4 * x + 3] = 0xFF; [[fallthrough]];
            case 24:
                row[(s.bits / 8) * x] = bl;
                row[(s.bits / 8) * x + 1] = g;
                row[(s.bits / 8) * x + 2] = r;
                break;
            case 8: row[x] = 1; break;
            case 4: row[x / 2] |= static_cast<uint8_t>(x % 2 == 0 ? 0x10 : 0x01); break;
            case 1: row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8)); break;
            default: break;
            }
        }
    }
    return b;
}

}  // namespace panelhost::testing
