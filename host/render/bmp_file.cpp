#include "host/render/bmp_file.h"

#include <algorithm>
#include <cstring>

#define STBI_NO_STDIO
#include <stb/stb_image.h>

namespace panelhost {
namespace {

constexpr size_t file_header_bytes = 14;
constexpr uint32_t bi_rgb = 0, bi_rle8 = 1, bi_rle4 = 2, bi_bitfields = 3, bi_jpeg = 4, bi_png = 5;

uint32_t u32(const std::vector<uint8_t>& bytes, size_t at) {
    uint32_t v;
    std::memcpy(&v, bytes.data() + at, sizeof v);
    return v;
}

uint16_t u16(const std::vector<uint8_t>& bytes, size_t at) {
    uint16_t v;
    std::memcpy(&v, bytes.data() + at, sizeof v);
    return v;
}

BmpRead refused(std::string error) { return {std::move(error), {}}; }

std::string compression_name(uint32_t compression) {
    switch (compression) {
    case bi_rle8: return "RLE8 compression";
    case bi_rle4: return "RLE4 compression";
    case bi_jpeg: return "JPEG compression";
    case bi_png: return "PNG compression";
    default: return "compression " + std::to_string(compression);
    }
}

// What the headers say of the pixels.
struct Layout {
    int64_t width = 0, stored_height = 0, height = 0;  // stored height negative: rows top down
    uint16_t bits = 0;
    size_t rows_at = 0, headers = 0, stride = 0;
};

// The file and info headers: the layout, or why the file is refused.
std::string read_headers(const std::vector<uint8_t>& bytes, Layout& layout) {
    if (bytes.size() > max_bmp_file_bytes) {
        return "it holds " + std::to_string(bytes.size()) + " bytes (at most " + std::to_string(max_bmp_file_bytes) +
               ")";
    }
    if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') return "it is no BMP file (a BMP starts with BM)";
    if (bytes.size() < file_header_bytes + 4) {
        return "it is cut short in its file header (" + std::to_string(bytes.size()) + " bytes; 18 at least)";
    }
    const uint32_t info_bytes = u32(bytes, file_header_bytes);
    // The 12-byte header of the first OS/2 bitmaps is left out: the decoder
    // reads its palette short.
    if (info_bytes != 40 && info_bytes != 56 && info_bytes != 108 && info_bytes != 124) {
        return "its info header of " + std::to_string(info_bytes) +
               " bytes is of no kind known (40, 56, 108 or 124 bytes)";
    }
    if (bytes.size() < file_header_bytes + info_bytes) {
        return "it is cut short in its info header (" + std::to_string(bytes.size()) + " bytes; " +
               std::to_string(file_header_bytes + info_bytes) + " at least)";
    }
    const size_t info = file_header_bytes;
    layout.width = static_cast<int32_t>(u32(bytes, info + 4));
    layout.stored_height = static_cast<int32_t>(u32(bytes, info + 8));
    layout.height = layout.stored_height < 0 ? -layout.stored_height : layout.stored_height;
    layout.bits = u16(bytes, info + 14);
    layout.rows_at = u32(bytes, 10);
    const uint16_t planes = u16(bytes, info + 12);
    const uint32_t compression = u32(bytes, info + 16);
    const uint16_t bits = layout.bits;
    if (planes != 1) return "it has " + std::to_string(planes) + " planes (1)";
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        return "it has " + std::to_string(bits) + " bits a pixel (1, 4, 8, 16, 24 or 32)";
    }
    if (compression != bi_rgb && !(compression == bi_bitfields && (bits == 16 || bits == 32))) {
        return "it uses " + compression_name(compression) + " at " + std::to_string(bits) +
               " bits a pixel (uncompressed, or bit fields at 16 or 32 bits a pixel)";
    }
    // Bit fields follow a 40-byte header as three masks of their own.
    layout.headers = file_header_bytes + info_bytes + (compression == bi_bitfields && info_bytes == 40 ? 12 : 0);
    return {};
}

// The size within bounds, and rows the file holds whole.
std::string check_rows(const std::vector<uint8_t>& bytes, Layout& layout) {
    const int64_t width = layout.width, height = layout.height;
    if (width <= 0 || height == 0) {
        return "it is " + std::to_string(width) + " x " + std::to_string(layout.stored_height) +
               " pixels (at least 1 x 1)";
    }
    if (width > max_bmp_side || height > max_bmp_side || width * height > max_bmp_pixels) {
        return "it is " + std::to_string(width) + " x " + std::to_string(height) + " pixels (at most " +
               std::to_string(max_bmp_side) + " a side and " + std::to_string(max_bmp_pixels) + " pixels)";
    }
    if (layout.rows_at < layout.headers) {
        return "its rows start at byte " + std::to_string(layout.rows_at) + ", inside its headers (at byte " +
               std::to_string(layout.headers) + " or later)";
    }
    layout.stride = ((static_cast<size_t>(width) * layout.bits + 31) / 32) * 4;
    const size_t needed = layout.stride * static_cast<size_t>(height);
    if (layout.rows_at > bytes.size() || needed > bytes.size() - layout.rows_at) {
        return "it is cut short: its rows need " + std::to_string(needed) + " bytes from byte " +
               std::to_string(layout.rows_at) + ", and the file has " + std::to_string(bytes.size()) +
               " bytes (a file as long as its rows)";
    }
    return {};
}

// The decoder leaves palette entries past those the file holds unset:
// every pixel must name one it holds.
std::string check_palette(const std::vector<uint8_t>& bytes, const Layout& layout) {
    const uint16_t bits = layout.bits;
    if (bits > 8) return {};
    const size_t palette = std::min<size_t>((layout.rows_at - layout.headers) / 4, 256);
    if (palette >= (size_t{1} << bits)) return {};
    for (int64_t row = 0; row < layout.height; ++row) {
        const uint8_t* line = bytes.data() + layout.rows_at + static_cast<size_t>(row) * layout.stride;
        for (int64_t x = 0; x < layout.width; ++x) {
            const size_t bit = static_cast<size_t>(x) * bits;
            const unsigned index = (line[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
            if (index < palette) continue;
            const int64_t y = layout.stored_height > 0 ? layout.height - 1 - row : row;
            return "its pixel at " + std::to_string(x) + ", " + std::to_string(y) + " is colour " +
                   std::to_string(index) + " of a palette of " + std::to_string(palette) +
                   " (a colour the palette holds)";
        }
    }
    return {};
}

}  // namespace

BmpRead read_bmp(const std::vector<uint8_t>& bytes) {
    Layout layout;
    for (auto check : {read_headers, check_rows}) {
        if (std::string error = check(bytes, layout); !error.empty()) return refused(std::move(error));
    }
    if (std::string error = check_palette(bytes, layout); !error.empty()) return refused(std::move(error));

    int w = 0, h = 0, channels = 0;
    stbi_uc* rgb = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &channels, 3);
    if (rgb == nullptr) {
        return refused(std::string("it cannot be decoded: ") + stbi_failure_reason() +
                       " (a BMP as its header describes it)");
    }
    BmpRead read;
    read.image.width = w;
    read.image.height = h;
    read.image.pixels.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (size_t i = 0; i < read.image.pixels.size(); ++i) {
        read.image.pixels[i] = uint32_t{rgb[3 * i]} << 16 | uint32_t{rgb[3 * i + 1]} << 8 | rgb[3 * i + 2];
    }
    stbi_image_free(rgb);
    return read;
}

}  // namespace panelhost
