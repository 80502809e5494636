// Panel backgrounds: the depths designers' tools write are read, and every
// file refused says why.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/render/bmp_file.h"
#include "tests/support/bmp_files.h"

namespace panelhost::testing {
namespace {

TEST(BmpFile, EveryUncompressedDepthIsReadInItsColours) {
    const struct Row {
        const char* what;
        BmpSpec spec;
    } rows[] = {
        {"8 bits with a full palette", {.width = 5, .height = 3, .bits = 8, .palette = 256}},
        {"8 bits with the two colours it uses", {.width = 5, .height = 3, .bits = 8, .palette = 2}},
        {"4 bits", {.width = 5, .height = 3, .bits = 4, .palette = 16}},
        {"1 bit", {.width = 9, .height = 2, .bits = 1, .palette = 2}},
        {"24 bits", {.width = 5, .height = 3, .bits = 24}},
        {"32 bits, its alpha ignored", {.width = 5, .height = 3, .bits = 32}},
        {"rows top down", {.width = 3, .height = -2, .bits = 24}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const BmpRead read = read_bmp(bmp_file(row.spec));
        ASSERT_EQ(read.error, "");
        EXPECT_EQ(read.image.width, row.spec.width);
        EXPECT_EQ(read.image.height, std::abs(row.spec.height));
        for (int y = 0; y < read.image.height; ++y) {
            for (int x = 0; x < read.image.width; ++x) ASSERT_EQ(read.image.at(x, y), 0x102030u) << x << ", " << y;
        }
    }
}

TEST(BmpFile, TheFirstRowOfABottomUpFileIsTheBottomOne) {
    std::vector<uint8_t> bytes = bmp_file({.width = 1, .height = 2, .bits = 24, .rgb = 0});
    bytes[54 + 2] = 0xFF;  // the first row stored: red, at the bottom
    const BmpRead read = read_bmp(bytes);
    ASSERT_EQ(read.error, "");
    EXPECT_EQ(read.image.at(0, 1), 0xFF0000u);
    EXPECT_EQ(read.image.at(0, 0), 0u);
}

TEST(BmpFile, ARefusedFileSaysWhyAndWhatWouldDo) {
    std::vector<uint8_t> cut = bmp_file({.width = 10, .height = 10});
    cut.resize(cut.size() - 1);
    std::vector<uint8_t> old_header = bmp_file({});
    put32(old_header, 14, 12);
    std::vector<uint8_t> not_bmp = bmp_file({});
    not_bmp[0] = 'P';
    const struct Row {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* says;
    } rows[] = {
        {"not a BMP", not_bmp, "it is no BMP file (a BMP starts with BM)"},
        {"only a file header", {'B', 'M', 0, 0}, "it is cut short in its file header (4 bytes; 18 at least)"},
        {"the oldest info header", old_header,
         "its info header of 12 bytes is of no kind known (40, 56, 108 or 124 bytes)"},
        {"two planes", bmp_file({.planes = 2}), "it has 2 planes (1)"},
        {"2 bits a pixel", bmp_file({.bits = 2}), "it has 2 bits a pixel (1, 4, 8, 16, 24 or 32)"},
        {"RLE8", bmp_file({.bits = 8, .compression = 1, .palette = 256}),
         "it uses RLE8 compression at 8 bits a pixel (uncompressed, or bit fields at 16 or 32 bits a pixel)"},
        {"RLE4", bmp_file({.bits = 4, .compression = 2, .palette = 16}), "it uses RLE4 compression at 4 bits"},
        {"JPEG", bmp_file({.compression = 4}), "it uses JPEG compression at 24 bits"},
        {"bit fields at 24 bits", bmp_file({.compression = 3}), "it uses compression 3 at 24 bits"},
        {"bit fields without their masks", bmp_file({.bits = 32, .compression = 3}),
         "its rows start at byte 54, inside its headers (at byte 66 or later)"},
        {"no width", bmp_file({.width = 0}), "it is 0 x 4 pixels (at least 1 x 1)"},
        {"no height", bmp_file({.height = 0}), "it is 4 x 0 pixels (at least 1 x 1)"},
        {"a side beyond the bound", bmp_file({.width = 16385, .height = 1}),
         "it is 16385 x 1 pixels (at most 16384 a side and 16777216 pixels)"},
        {"more pixels than the bound", bmp_file({.width = 4096, .height = 4097, .bits = 1, .palette = 2}),
         "it is 4096 x 4097 pixels (at most"},
        {"a file cut short", cut, "it is cut short: its rows need 320 bytes from byte 54, and the file has 373 bytes"},
        {"a colour the palette lacks", bmp_file({.bits = 8, .palette = 1}),
         "its pixel at 0, 3 is colour 1 of a palette of 1 (a colour the palette holds)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const BmpRead read = read_bmp(row.bytes);
        EXPECT_NE(read.error.find(row.says), std::string::npos) << read.error;
        EXPECT_TRUE(read.image.pixels.empty());
    }
}

}  // namespace
}  // namespace panelhost::testing
