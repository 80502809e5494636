// An animated PNG built from PNG frames: the first frame whole, each later
// frame as the rectangle that changed since the one before, and a frame
// that changes nothing lengthens the one before instead.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

namespace panelhost {

// The chunks of a PNG file, in order; empty when the bytes are no PNG.
struct PngChunk {
    std::string type;
    std::vector<uint8_t> data;
};
std::vector<PngChunk> png_chunks(const std::vector<uint8_t>& png);

// The CRC of a PNG chunk over its type and data.
uint32_t png_crc(const std::string& type, const std::vector<uint8_t>& data);

// An animation holds its frames in memory until it is written: it takes no
// frame that would make it larger than this.
inline constexpr size_t max_animation_bytes = size_t{256} << 20;

class ApngWriter {
public:
    // Every frame must have the first one's size and format (RGB24 or ARGB32).
    // Returns an error, empty when the frame was taken.
    std::string add_frame(cairo_surface_t* frame, int delay_ms);
    size_t frame_count() const { return frames_.size(); }
    // A frame was refused for the bound: the animation ends where it stands.
    bool full() const { return full_; }
    // Shows the last frame taken this much longer.
    void lengthen_last(int delay_ms) {
        if (!frames_.empty()) frames_.back().delay_ms += delay_ms;
    }
    // The whole animation, looping for ever.
    std::vector<uint8_t> bytes() const;

private:
    struct Frame {
        int x, y, width, height;
        int delay_ms;
        std::vector<uint8_t> image_data;  // the IDAT contents of its PNG
    };
    std::vector<Frame> frames_;
    std::vector<PngChunk> header_;  // the first frame's IHDR
    std::vector<uint8_t> previous_;  // the last frame's pixels
    size_t image_bytes_ = 0;         // of every frame taken
    bool full_ = false;
    int width_ = 0, height_ = 0, stride_ = 0;
    cairo_format_t format_ = CAIRO_FORMAT_INVALID;
};

}  // namespace panelhost
