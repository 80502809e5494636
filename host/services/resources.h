// Bitmaps out of a loaded gauge module: the host finds them by identifier or
// name with the platform's resource calls and decodes the DIB, the way the
// simulator does before it draws an element.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "module/platform_services.h"

namespace panelhost {

struct PaletteColour {
    uint8_t r, g, b;
    friend bool operator==(const PaletteColour&, const PaletteColour&) = default;
};

struct Bitmap {
    int width = 0;
    int height = 0;
    int palette_size = 0;  // entries the file carries; the rest stay black
    std::array<PaletteColour, 256> palette{};
    std::vector<uint8_t> pixels;  // palette indices, top row first, width per row

    uint8_t index_at(int x, int y) const {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
    PaletteColour colour_at(int x, int y) const { return palette[index_at(x, y)]; }
};

enum class BitmapError {
    none,
    not_found,        // FindResourceA found no such bitmap
    load_failed,      // LoadResource or LockResource failed
    truncated,        // fewer bytes than the header, palette or rows need
    bad_header,       // not a 40-byte (or larger) info header, bad size or planes
    unsupported,      // not 8 bits per pixel, uncompressed
};

const char* describe(BitmapError error);

struct BitmapLookup {
    BitmapError error = BitmapError::none;
    Bitmap bitmap;
};

// A DIB resource: an info header, its palette and the rows (bottom-up when
// the height is positive, top-down when negative), each padded to 4 bytes.
BitmapLookup decode_dib(const uint8_t* data, size_t size);

BitmapLookup load_bitmap(HMODULE module, int id);
BitmapLookup load_bitmap(HMODULE module, const char* name);

}  // namespace panelhost
