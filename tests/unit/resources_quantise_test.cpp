// The art generator's palette reduction: pure black only where nothing is
// drawn, exact colours when they fit, close ones when they do not.
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "tools/art/quantise.h"

namespace {

using art::Edge;
using art::Rgb;

uint32_t argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return (a << 24) | (r << 16) | (g << 8) | b; }

art::IndexedImage quantise_pixels(const std::vector<uint32_t>& pixels, int width, Edge edge) {
    const int height = static_cast<int>(pixels.size()) / width;
    return art::quantise(reinterpret_cast<const uint8_t*>(pixels.data()), width * 4, width, height, edge);
}

Rgb colour(const art::IndexedImage& image, size_t i) { return image.palette[image.pixels[i]]; }

TEST(Quantiser, EachPixelBecomesTransparentOrItsColourByCoverage) {
    struct Case {
        const char* what;
        uint32_t pixel;  // premultiplied
        Edge edge;
        bool transparent;
        Rgb colour;
    };
    const Case cases[] = {
        {"nothing drawn", argb(0, 0, 0, 0), Edge::hard, true, {0, 0, 0}},
        {"opaque white", argb(255, 255, 255, 255), Edge::hard, false, {255, 255, 255}},
        {"drawn black stays opaque", argb(255, 0, 0, 0), Edge::hard, false, {1, 1, 1}},
        {"drawn black on a screen too", argb(255, 0, 0, 0), Edge::over_black, false, {1, 1, 1}},
        {"hard edge under half covered", argb(127, 127, 0, 0), Edge::hard, true, {0, 0, 0}},
        {"hard edge half covered takes the full colour", argb(128, 128, 0, 0), Edge::hard, false, {255, 0, 0}},
        {"screen edge under a quarter", argb(63, 63, 63, 63), Edge::over_black, true, {0, 0, 0}},
        {"screen edge blends towards black", argb(64, 64, 32, 0), Edge::over_black, false, {64, 32, 0}},
        {"dark blend never becomes pure black", argb(200, 0, 0, 0), Edge::over_black, false, {1, 1, 1}},
    };
    for (const Case& c : cases) {
        const auto image = quantise_pixels({c.pixel}, 1, c.edge);
        EXPECT_EQ(image.pixels[0] == 0, c.transparent) << c.what;
        EXPECT_EQ(colour(image, 0), c.colour) << c.what;
    }
}

TEST(Quantiser, UpTo255ColoursAreKeptExactlyWithBlackAtEntryZero) {
    std::vector<uint32_t> pixels;
    for (uint32_t i = 0; i < 255; ++i) pixels.push_back(argb(255, i, 255 - i, (i * 7) & 0xFF));
    pixels.push_back(0);
    const auto image = quantise_pixels(pixels, 16, Edge::hard);
    EXPECT_EQ(image.palette[0], (Rgb{0, 0, 0}));
    for (size_t i = 0; i < 255; ++i) {
        const Rgb expected = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>((i * 7) & 0xFF)};
        ASSERT_EQ(colour(image, i), expected) << i;
        ASSERT_NE(image.pixels[i], 0) << i;
    }
    EXPECT_EQ(image.pixels[255], 0);
}

TEST(Quantiser, ManyColoursAreReducedToCloseOnesAndNoneBecomesTransparent) {
    const unsigned seed = std::random_device{}();
    std::printf("quantiser seed %u\n", seed);
    std::mt19937 random(seed);
    std::vector<uint32_t> pixels;
    for (int i = 0; i < 64 * 64; ++i) {
        // A smooth ramp with noise: the kind of picture the attitude ball is.
        const uint32_t r = static_cast<uint32_t>(i % 64) * 4, g = static_cast<uint32_t>(i / 64) * 4;
        pixels.push_back(argb(255, r, g, random() & 0x3F));
    }
    const auto image = quantise_pixels(pixels, 64, Edge::over_black);
    int worst = 0;
    for (size_t i = 0; i < pixels.size(); ++i) {
        ASSERT_NE(image.pixels[i], 0) << "seed " << seed << ", pixel " << i;
        const Rgb got = colour(image, i);
        const int dr = got.r - static_cast<int>((pixels[i] >> 16) & 0xFF);
        const int dg = got.g - static_cast<int>((pixels[i] >> 8) & 0xFF);
        const int db = got.b - static_cast<int>(pixels[i] & 0xFF);
        worst = std::max(worst, dr * dr + dg * dg + db * db);
    }
    EXPECT_LT(worst, 40 * 40) << "seed " << seed;
    for (int i = 1; i < 256; ++i) EXPECT_NE(image.palette[static_cast<size_t>(i)], (Rgb{0, 0, 0})) << i;
}

TEST(Quantiser, TheSamePictureAlwaysGivesTheSameImage) {
    std::vector<uint32_t> pixels;
    for (uint32_t i = 0; i < 4096; ++i) pixels.push_back(argb(255, i & 0xFF, (i * 37) & 0xFF, (i * 101) & 0xFF));
    const auto a = quantise_pixels(pixels, 64, Edge::hard);
    const auto b = quantise_pixels(pixels, 64, Edge::hard);
    EXPECT_EQ(a.pixels, b.pixels);
    EXPECT_EQ(a.palette, b.palette);
}

}  // namespace
