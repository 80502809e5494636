#include "host/render/apng.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "host/render/render.h"

namespace panelhost {
namespace {

constexpr uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint32_t read_be32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

void put_be32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void put_be16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

void put_chunk(std::vector<uint8_t>& out, const std::string& type, const std::vector<uint8_t>& data) {
    put_be32(out, static_cast<uint32_t>(data.size()));
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    put_be32(out, png_crc(type, data));
}

const std::array<uint32_t, 256>& crc_table() {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

}  // namespace

uint32_t png_crc(const std::string& type, const std::vector<uint8_t>& data) {
    const auto& table = crc_table();
    uint32_t c = 0xFFFFFFFFu;
    for (const char ch : type) c = table[(c ^ static_cast<uint8_t>(ch)) & 0xFF] ^ (c >> 8);
    for (const uint8_t b : data) c = table[(c ^ b) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::vector<PngChunk> png_chunks(const std::vector<uint8_t>& png) {
    std::vector<PngChunk> chunks;
    if (png.size() < sizeof signature || std::memcmp(png.data(), signature, sizeof signature) != 0) return {};
    size_t at = sizeof signature;
    while (at + 12 <= png.size()) {
        const uint32_t length = read_be32(png.data() + at);
        if (length > png.size() - at - 12) return {};
        const uint8_t* type = png.data() + at + 4;
        chunks.push_back({std::string(type, type + 4),
                          std::vector<uint8_t>(type + 4, type + 4 + length)});
        at += 12 + size_t{length};
    }
    return at == png.size() ? chunks : std::vector<PngChunk>{};
}

std::string ApngWriter::add_frame(cairo_surface_t* frame, int delay_ms) {
    cairo_surface_flush(frame);
    const int width = cairo_image_surface_get_width(frame);
    const int height = cairo_image_surface_get_height(frame);
    const int stride = cairo_image_surface_get_stride(frame);
    const cairo_format_t format = cairo_image_surface_get_format(frame);
    if (format != CAIRO_FORMAT_RGB24 && format != CAIRO_FORMAT_ARGB32) return "frames must be RGB24 or ARGB32";
    const unsigned char* pixels = cairo_image_surface_get_data(frame);
    const bool first = frames_.empty();
    if (!first && (width != width_ || height != height_ || format != format_)) {
        return "every frame must have the first frame's size and format";
    }

    // The rectangle that changed; RGB24's unused byte does not count.
    int left = 0, top = 0, right = width, bottom = height;
    if (!first) {
        const uint32_t mask = format == CAIRO_FORMAT_RGB24 ? 0x00FFFFFFu : 0xFFFFFFFFu;
        left = width, top = height, right = 0, bottom = 0;
        for (int y = 0; y < height; ++y) {
            const unsigned char* now = pixels + y * stride;
            const unsigned char* before = previous_.data() + y * stride;
            if (std::memcmp(now, before, 4 * size_t(width)) == 0) continue;
            for (int x = 0; x < width; ++x) {
                uint32_t a, b;
                std::memcpy(&a, now + 4 * x, 4);
                std::memcpy(&b, before + 4 * x, 4);
                if (((a ^ b) & mask) == 0) continue;
                left = std::min(left, x), right = std::max(right, x + 1);
                top = std::min(top, y), bottom = std::max(bottom, y + 1);
            }
        }
        if (right <= left) {
            frames_.back().delay_ms += delay_ms;
            return {};
        }
    }

    Surface part = make_surface(right - left, bottom - top, format == CAIRO_FORMAT_RGB24);
    Context cr(cairo_create(part.get()));
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr.get(), frame, -left, -top);
    cairo_paint(cr.get());
    cairo_surface_flush(part.get());
    const std::vector<PngChunk> chunks = png_chunks(png_bytes(part.get()));
    if (chunks.empty() || chunks.front().type != "IHDR") return "Cairo wrote no PNG for the frame";
    Frame f{.x = left, .y = top, .width = right - left, .height = bottom - top, .delay_ms = delay_ms, .image_data = {}};
    for (const PngChunk& c : chunks) {
        if (c.type == "IDAT") f.image_data.insert(f.image_data.end(), c.data.begin(), c.data.end());
    }
    // Bit depth, colour type and the rest after the size must match the first frame's.
    if (!first && !std::equal(chunks.front().data.begin() + 8, chunks.front().data.end(),
                              header_.front().data.begin() + 8, header_.front().data.end())) {
        return "a frame's PNG differs in colour type from the first frame's";
    }
    if (image_bytes_ + f.image_data.size() > max_animation_bytes) {
        full_ = true;
        return "the animation would pass " + std::to_string(max_animation_bytes) + " bytes at frame " +
               std::to_string(frames_.size() + 1) + "; it ends at the frame before (at most " +
               std::to_string(max_animation_bytes) + " bytes)";
    }
    image_bytes_ += f.image_data.size();
    if (first) {
        header_ = {chunks.front()};
        width_ = width, height_ = height, stride_ = stride, format_ = format;
    }
    previous_.assign(pixels, pixels + size_t(stride) * size_t(height));
    frames_.push_back(std::move(f));
    return {};
}

std::vector<uint8_t> ApngWriter::bytes() const {
    std::vector<uint8_t> out(signature, signature + sizeof signature);
    if (frames_.empty()) return {};
    put_chunk(out, "IHDR", header_.front().data);
    std::vector<uint8_t> control;
    put_be32(control, static_cast<uint32_t>(frames_.size()));
    put_be32(control, 0);  // loop for ever
    put_chunk(out, "acTL", control);
    uint32_t sequence = 0;
    for (size_t i = 0; i < frames_.size(); ++i) {
        const Frame& f = frames_[i];
        std::vector<uint8_t> fc;
        put_be32(fc, sequence++);
        put_be32(fc, static_cast<uint32_t>(f.width));
        put_be32(fc, static_cast<uint32_t>(f.height));
        put_be32(fc, static_cast<uint32_t>(f.x));
        put_be32(fc, static_cast<uint32_t>(f.y));
        put_be16(fc, static_cast<uint16_t>(std::clamp(f.delay_ms, 0, 65535)));
        put_be16(fc, 1000);
        fc.push_back(0);  // leave the frame in place for the next
        fc.push_back(0);  // replace what lies under it
        put_chunk(out, "fcTL", fc);
        if (i == 0) {
            put_chunk(out, "IDAT", f.image_data);
        } else {
            std::vector<uint8_t> fd;
            put_be32(fd, sequence++);
            fd.insert(fd.end(), f.image_data.begin(), f.image_data.end());
            put_chunk(out, "fdAT", fd);
        }
    }
    put_chunk(out, "IEND", {});
    return out;
}

}  // namespace panelhost
