// The host's DIB decoder: what it accepts, and that malformed bitmaps are
// refused with a reason instead of read past their end.
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "host/services/resources.h"

namespace {

using panelhost::BitmapError;

struct DibSpec {
    int32_t width = 3;
    int32_t height = 2;
    uint16_t planes = 1;
    uint16_t bits = 8;
    uint32_t compression = 0;
    uint32_t colours_used = 4;
    uint32_t header_size = 40;
};

void put(std::vector<uint8_t>& b, size_t at, const void* v, size_t n) { std::memcpy(b.data() + at, v, n); }

// A DIB whose pixel at (x, y) of the stored rows holds x + 10 * stored_row.
std::vector<uint8_t> make_dib(const DibSpec& s) {
    const size_t palette = s.colours_used == 0 ? 256 : s.colours_used;
    const size_t rows = static_cast<size_t>(s.height < 0 ? -s.height : s.height);
    const size_t width = s.width > 0 ? static_cast<size_t>(s.width) : 1;  // room for the rows of a bad width too
    const size_t stride = (width + 3) & ~size_t{3};
    std::vector<uint8_t> b(s.header_size + palette * 4 + stride * rows, 0);
    put(b, 0, &s.header_size, 4);
    put(b, 4, &s.width, 4);
    put(b, 8, &s.height, 4);
    put(b, 12, &s.planes, 2);
    put(b, 14, &s.bits, 2);
    put(b, 16, &s.compression, 4);
    put(b, 32, &s.colours_used, 4);
    for (size_t i = 0; i < palette; ++i) {
        b[s.header_size + i * 4] = static_cast<uint8_t>(i);          // blue
        b[s.header_size + i * 4 + 1] = static_cast<uint8_t>(2 * i);  // green
        b[s.header_size + i * 4 + 2] = static_cast<uint8_t>(3 * i);  // red
    }
    for (size_t r = 0; r < rows; ++r)
        for (size_t x = 0; x < width; ++x)
            b[s.header_size + palette * 4 + r * stride + x] = static_cast<uint8_t>(x + 10 * r);
    return b;
}

TEST(DibDecoder, BottomUpRowsComeOutTopRowFirstAndTopDownRowsStayInOrder) {
    const std::vector<uint8_t> bottom_up = make_dib({});
    const auto a = panelhost::decode_dib(bottom_up.data(), bottom_up.size());
    ASSERT_EQ(a.error, BitmapError::none);
    EXPECT_EQ(a.bitmap.width, 3);
    EXPECT_EQ(a.bitmap.height, 2);
    EXPECT_EQ(a.bitmap.palette_size, 4);
    EXPECT_EQ(a.bitmap.index_at(0, 0), 10);  // the last stored row is the top one
    EXPECT_EQ(a.bitmap.index_at(2, 1), 2);

    DibSpec top_down;
    top_down.height = -2;
    const std::vector<uint8_t> t = make_dib(top_down);
    const auto b = panelhost::decode_dib(t.data(), t.size());
    ASSERT_EQ(b.error, BitmapError::none);
    EXPECT_EQ(b.bitmap.height, 2);
    EXPECT_EQ(b.bitmap.index_at(0, 0), 0);
    EXPECT_EQ(b.bitmap.index_at(2, 1), 12);
}

TEST(DibDecoder, PaletteEntriesAreReadAsBlueGreenRedAndZeroColoursUsedMeansAll256) {
    DibSpec s;
    s.colours_used = 0;
    const std::vector<uint8_t> d = make_dib(s);
    const auto r = panelhost::decode_dib(d.data(), d.size());
    ASSERT_EQ(r.error, BitmapError::none);
    EXPECT_EQ(r.bitmap.palette_size, 256);
    EXPECT_EQ(r.bitmap.palette[5], (panelhost::PaletteColour{15, 10, 5}));
    EXPECT_EQ(r.bitmap.palette[255], (panelhost::PaletteColour{static_cast<uint8_t>(765), static_cast<uint8_t>(510), 255}));
}

TEST(DibDecoder, ALargerInfoHeaderIsSkippedToThePalette) {
    DibSpec s;
    s.header_size = 124;
    const std::vector<uint8_t> d = make_dib(s);
    const auto r = panelhost::decode_dib(d.data(), d.size());
    ASSERT_EQ(r.error, BitmapError::none);
    EXPECT_EQ(r.bitmap.palette[1], (panelhost::PaletteColour{3, 2, 1}));
    EXPECT_EQ(r.bitmap.index_at(1, 0), 11);
}

TEST(DibDecoder, MalformedHeadersAreRefusedWithTheirReason) {
    struct Case {
        const char* what;
        DibSpec spec;
        BitmapError error;
    };
    auto with = [](auto change) {
        DibSpec s;
        change(s);
        return s;
    };
    const Case cases[] = {
        {"4 bits per pixel", with([](DibSpec& s) { s.bits = 4; }), BitmapError::unsupported},
        {"24 bits per pixel", with([](DibSpec& s) { s.bits = 24; }), BitmapError::unsupported},
        {"run-length compressed", with([](DibSpec& s) { s.compression = 1; }), BitmapError::unsupported},
        {"two planes", with([](DibSpec& s) { s.planes = 2; }), BitmapError::bad_header},
        {"zero width", with([](DibSpec& s) { s.width = 0; }), BitmapError::bad_header},
        {"negative width", with([](DibSpec& s) { s.width = -3; }), BitmapError::bad_header},
        {"zero height", with([](DibSpec& s) { s.height = 0; }), BitmapError::bad_header},
        {"more than 256 colours", with([](DibSpec& s) { s.colours_used = 257; }), BitmapError::bad_header},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> d = make_dib(c.spec);
        EXPECT_EQ(panelhost::decode_dib(d.data(), d.size()).error, c.error) << c.what;
    }
}

TEST(DibDecoder, HugeOrExtremeSidesAreRefusedBeforeAnythingIsAllocated) {
    for (int32_t height : {INT32_MIN, -(1 << 20), 1 << 20, INT32_MAX}) {
        std::vector<uint8_t> d = make_dib({});
        std::memcpy(d.data() + 8, &height, 4);
        EXPECT_EQ(panelhost::decode_dib(d.data(), d.size()).error, BitmapError::bad_header) << height;
    }
    std::vector<uint8_t> d = make_dib({});
    const int32_t width = INT32_MAX;
    std::memcpy(d.data() + 4, &width, 4);
    EXPECT_EQ(panelhost::decode_dib(d.data(), d.size()).error, BitmapError::bad_header);
}

TEST(DibDecoder, EveryTruncationOfAValidBitmapIsRefused) {
    const std::vector<uint8_t> d = make_dib({});
    for (size_t size = 0; size < d.size(); ++size) {
        const std::vector<uint8_t> cut(d.begin(), d.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_NE(panelhost::decode_dib(cut.data(), cut.size()).error, BitmapError::none) << size << " bytes";
    }
    EXPECT_EQ(panelhost::decode_dib(nullptr, 100).error, BitmapError::truncated);
    std::vector<uint8_t> header_claims_more = make_dib({});
    const uint32_t huge = 0xFFFFFFF0u;
    std::memcpy(header_claims_more.data(), &huge, 4);
    EXPECT_EQ(panelhost::decode_dib(header_claims_more.data(), header_claims_more.size()).error,
              BitmapError::truncated);
}

}  // namespace
