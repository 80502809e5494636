// The animated PNG: well-formed chunks, one frame per change, each later
// frame only the rectangle that changed, and every frame decoding back to
// the picture it was made from.
#include <cstring>
#include <map>

#include <gtest/gtest.h>

#include "host/render/render.h"
#include "host/render/apng.h"

namespace {

using namespace panelhost;

uint32_t be32(const std::vector<uint8_t>& d, size_t at) {
    return (uint32_t{d[at]} << 24) | (uint32_t{d[at + 1]} << 16) | (uint32_t{d[at + 2]} << 8) | d[at + 3];
}

// A picture of w x h with a square of a colour at x, y.
Surface picture(int w, int h, int x, int y, double r, double g, double b) {
    Surface s = make_surface(w, h, true);
    Context cr(cairo_create(s.get()));
    cairo_set_source_rgb(cr.get(), 0.1, 0.2, 0.3);
    cairo_paint(cr.get());
    cairo_set_source_rgb(cr.get(), r, g, b);
    cairo_rectangle(cr.get(), x, y, 5, 4);
    cairo_fill(cr.get());
    cairo_surface_flush(s.get());
    return s;
}

// A plain PNG of one frame: the animation's header with the frame's size,
// and the frame's image data.
Surface decode(const std::vector<uint8_t>& ihdr, uint32_t w, uint32_t h, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    auto put = [&](const std::string& type, std::vector<uint8_t> body) {
        for (int s = 24; s >= 0; s -= 8) png.push_back(uint8_t(body.size() >> s));
        png.insert(png.end(), type.begin(), type.end());
        png.insert(png.end(), body.begin(), body.end());
        const uint32_t crc = png_crc(type, body);
        for (int s = 24; s >= 0; s -= 8) png.push_back(uint8_t(crc >> s));
    };
    std::vector<uint8_t> header = ihdr;
    for (int i = 0; i < 4; ++i) header[i] = uint8_t(w >> (24 - 8 * i)), header[4 + i] = uint8_t(h >> (24 - 8 * i));
    put("IHDR", header);
    put("IDAT", data);
    put("IEND", {});
    struct Reader {
        const std::vector<uint8_t>* bytes;
        size_t at = 0;
    } reader{&png};
    return Surface(cairo_image_surface_create_from_png_stream(
        [](void* closure, unsigned char* out, unsigned int length) {
            auto* r = static_cast<Reader*>(closure);
            if (r->at + length > r->bytes->size()) return CAIRO_STATUS_READ_ERROR;
            std::memcpy(out, r->bytes->data() + r->at, length);
            r->at += length;
            return CAIRO_STATUS_SUCCESS;
        },
        &reader));
}

bool same_pixels(cairo_surface_t* a, cairo_surface_t* b, int bx, int by) {
    for (int y = 0; y < cairo_image_surface_get_height(a); ++y)
        for (int x = 0; x < cairo_image_surface_get_width(a); ++x)
            if ((pixel_at(a, x, y) & 0xFFFFFF) != (pixel_at(b, bx + x, by + y) & 0xFFFFFF)) return false;
    return true;
}

TEST(AnimatedPng, EachChangedFrameIsItsChangedRectangleAndDecodesBackToThePicture) {
    std::vector<Surface> pictures;
    pictures.push_back(picture(40, 30, 2, 3, 1, 0, 0));
    pictures.push_back(picture(40, 30, 2, 3, 1, 0, 0));    // no change: the first frame lasts longer
    pictures.push_back(picture(40, 30, 20, 10, 1, 0, 0));  // the square moves
    pictures.push_back(picture(40, 30, 20, 10, 0, 1, 0));  // and turns green
    ApngWriter writer;
    for (const Surface& p : pictures) ASSERT_EQ(writer.add_frame(p.get(), 100), "");
    EXPECT_EQ(writer.frame_count(), 3u);

    const std::vector<PngChunk> chunks = png_chunks(writer.bytes());
    ASSERT_FALSE(chunks.empty());
    std::vector<std::string> types;
    for (const PngChunk& c : chunks) types.push_back(c.type);
    EXPECT_EQ(types,
              (std::vector<std::string>{"IHDR", "acTL", "fcTL", "IDAT", "fcTL", "fdAT", "fcTL", "fdAT", "IEND"}));
    EXPECT_EQ(be32(chunks[1].data, 0), 3u) << "frames";
    EXPECT_EQ(be32(chunks[1].data, 4), 0u) << "loops for ever";

    struct Expected {
        uint32_t x, y, w, h, delay;
        size_t picture;
    } expected[] = {{0, 0, 40, 30, 200, 0}, {2, 3, 23, 11, 100, 2}, {20, 10, 5, 4, 100, 3}};
    uint32_t sequence = 0;
    size_t frame = 0;
    for (size_t i = 0; i < chunks.size(); ++i) {
        if (chunks[i].type != "fcTL") continue;
        const std::vector<uint8_t>& fc = chunks[i].data;
        const Expected& e = expected[frame];
        SCOPED_TRACE(frame);
        EXPECT_EQ(be32(fc, 0), sequence++);
        EXPECT_EQ(be32(fc, 4), e.w);
        EXPECT_EQ(be32(fc, 8), e.h);
        EXPECT_EQ(be32(fc, 12), e.x);
        EXPECT_EQ(be32(fc, 16), e.y);
        EXPECT_EQ((fc[20] << 8 | fc[21]), int(e.delay));
        EXPECT_EQ((fc[22] << 8 | fc[23]), 1000);
        std::vector<uint8_t> data = chunks[i + 1].data;
        if (chunks[i + 1].type == "fdAT") {
            EXPECT_EQ(be32(data, 0), sequence++);
            data.erase(data.begin(), data.begin() + 4);
        }
        const Surface decoded = decode(chunks[0].data, e.w, e.h, data);
        ASSERT_EQ(cairo_surface_status(decoded.get()), CAIRO_STATUS_SUCCESS);
        EXPECT_TRUE(same_pixels(decoded.get(), pictures[e.picture].get(), int(e.x), int(e.y)));
        ++frame;
    }
    EXPECT_EQ(frame, 3u);
}

TEST(AnimatedPng, EveryChunkCarriesTheCrcOfItsTypeAndData) {
    ApngWriter writer;
    const Surface a = picture(16, 16, 1, 1, 1, 1, 1), b = picture(16, 16, 9, 9, 1, 1, 1);
    ASSERT_EQ(writer.add_frame(a.get(), 50), "");
    ASSERT_EQ(writer.add_frame(b.get(), 50), "");
    const std::vector<uint8_t> bytes = writer.bytes();
    size_t at = 8, chunks = 0;
    while (at + 12 <= bytes.size()) {
        const uint32_t length = be32(bytes, at);
        const std::string type(bytes.begin() + long(at) + 4, bytes.begin() + long(at) + 8);
        const std::vector<uint8_t> data(bytes.begin() + long(at) + 8, bytes.begin() + long(at + 8 + length));
        EXPECT_EQ(be32(bytes, at + 8 + length), png_crc(type, data)) << type;
        at += 12 + length;
        ++chunks;
    }
    EXPECT_EQ(at, bytes.size());
    EXPECT_EQ(chunks, 7u);
    // The CRC of the empty IEND chunk, as every PNG file ends.
    EXPECT_EQ(png_crc("IEND", {}), 0xAE426082u);
}

TEST(AnimatedPng, AFrameOfAnotherSizeOrFormatIsRefused) {
    ApngWriter writer;
    const Surface first = picture(16, 16, 1, 1, 1, 1, 1);
    ASSERT_EQ(writer.add_frame(first.get(), 50), "");
    const Surface larger = picture(17, 16, 1, 1, 1, 1, 1);
    EXPECT_NE(writer.add_frame(larger.get(), 50), "");
    const Surface with_alpha = make_surface(16, 16, false);
    EXPECT_NE(writer.add_frame(with_alpha.get(), 50), "");
    EXPECT_EQ(writer.frame_count(), 1u);
}

TEST(AnimatedPng, BytesThatAreNoPngHaveNoChunks) {
    EXPECT_TRUE(png_chunks({}).empty());
    EXPECT_TRUE(png_chunks({'G', 'I', 'F', '8', '9', 'a', 0, 0}).empty());
    const Surface s = picture(4, 4, 0, 0, 1, 1, 1);
    std::vector<uint8_t> png = png_bytes(s.get());
    ASSERT_FALSE(png_chunks(png).empty());
    png.resize(png.size() - 3);  // a chunk cut short
    EXPECT_TRUE(png_chunks(png).empty());
}

}  // namespace
