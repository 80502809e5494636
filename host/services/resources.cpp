#include "host/services/resources.h"

#include <cstring>

namespace panelhost {
namespace {

constexpr uint32_t bi_rgb = 0;
// Far beyond any gauge bitmap; keeps width * height well inside size_t.
constexpr int32_t largest_side = 1 << 15;

uint32_t read_u32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

uint16_t read_u16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

BitmapLookup failed(BitmapError error) { return {error, {}}; }

BitmapLookup load(HMODULE module, LPCSTR name) {
    HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(2));
    if (!found) return failed(BitmapError::not_found);
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return failed(BitmapError::load_failed);
    const DWORD size = SizeofResource(module, found);
    BitmapLookup result = decode_dib(static_cast<const uint8_t*>(bytes), size);
    FreeResource(loaded);
    return result;
}

}  // namespace

const char* describe(BitmapError error) {
    switch (error) {
        case BitmapError::none: return "ok";
        case BitmapError::not_found: return "no such bitmap in the module";
        case BitmapError::load_failed: return "the bitmap could not be loaded";
        case BitmapError::truncated: return "the bitmap is cut short";
        case BitmapError::bad_header: return "the bitmap's header is malformed";
        case BitmapError::unsupported: return "the bitmap is not 8 bits per pixel, uncompressed";
    }
    return "?";
}

BitmapLookup decode_dib(const uint8_t* data, size_t size) {
    if (data == nullptr || size < 40) return failed(BitmapError::truncated);
    const uint32_t header_size = read_u32(data);
    if (header_size < 40 || header_size > size) return failed(header_size < 40 ? BitmapError::bad_header
                                                                                : BitmapError::truncated);
    int32_t width, height;
    std::memcpy(&width, data + 4, 4);
    std::memcpy(&height, data + 8, 4);
    const uint16_t planes = read_u16(data + 12), bits = read_u16(data + 14);
    const uint32_t compression = read_u32(data + 16), colours_used = read_u32(data + 32);
    if (planes != 1) return failed(BitmapError::bad_header);
    if (bits != 8 || compression != bi_rgb) return failed(BitmapError::unsupported);
    // INT32_MIN has no positive counterpart; a side of 0 has no pixels to draw.
    if (width <= 0 || width > largest_side || height == 0 || height < -largest_side || height > largest_side)
        return failed(BitmapError::bad_header);
    if (colours_used > 256) return failed(BitmapError::bad_header);

    const bool top_down = height < 0;
    const int rows = top_down ? -height : height;
    const size_t palette_entries = colours_used == 0 ? 256 : colours_used;
    const size_t palette_at = header_size;
    const size_t pixels_at = palette_at + palette_entries * 4;
    const size_t stride = (static_cast<size_t>(width) + 3) & ~size_t{3};
    const size_t needed = pixels_at + stride * static_cast<size_t>(rows);
    if (size < needed) return failed(BitmapError::truncated);

    BitmapLookup result;
    Bitmap& b = result.bitmap;
    b.width = width;
    b.height = rows;
    b.palette_size = static_cast<int>(palette_entries);
    for (size_t i = 0; i < palette_entries; ++i) {
        const uint8_t* q = data + palette_at + i * 4;
        b.palette[i] = {q[2], q[1], q[0]};
    }
    b.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(rows));
    for (int y = 0; y < rows; ++y) {
        const int source_row = top_down ? y : rows - 1 - y;
        std::memcpy(b.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width),
                    data + pixels_at + static_cast<size_t>(source_row) * stride, static_cast<size_t>(width));
    }
    return result;
}

BitmapLookup load_bitmap(HMODULE module, int id) {
    if (id <= 0 || id > 0xFFFF) return failed(BitmapError::not_found);
    return load(module, MAKEINTRESOURCEA(static_cast<uint16_t>(id)));
}

BitmapLookup load_bitmap(HMODULE module, const char* name) {
    if (name == nullptr) return failed(BitmapError::not_found);
    return load(module, name);
}

}  // namespace panelhost
