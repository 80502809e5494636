// The faces texts are drawn in: the one table, what Cairo really got, the
// fallback for missing families and characters, and the text's place in its box.
#include <gtest/gtest.h>

#include "host/render/render.h"
#include "host/render/fonts.h"

namespace {

using namespace panelhost;

struct Ink {
    int pixels = 0, left = 1 << 20, right = -1, top = 1 << 20, bottom = -1;
    double centre_x() const { return (left + right + 1) / 2.0; }
    double centre_y() const { return (top + bottom + 1) / 2.0; }
};

// Draws the text in a box of a 100 x 40 picture and finds its ink.
Ink ink_of(FontBook& fonts, const ResolvedFace& face, std::string_view text, TextLayout layout) {
    const Surface s = make_surface(100, 40);
    Context cr(cairo_create(s.get()));
    draw_text_in_box(cr.get(), fonts, face, text, layout);
    cairo_surface_flush(s.get());
    Ink ink;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 100; ++x) {
            if ((pixel_at(s.get(), x, y) >> 24) < 64) continue;
            ++ink.pixels;
            ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
        }
    }
    return ink;
}

constexpr TextLayout box{.x = 20, .y = 10, .width = 60, .height = 20, .char_count = 4, .draw_flags = 0x25};

TEST(RenderFonts, TheTableMapsEachWindowsFaceToItsFamilyAndCairoDrawsWithThatFamily) {
    const struct Row {
        const char* face;
        int weight;
        const char* family;
    } rows[] = {
        {"QUARTZ", 400, "DSEG7 Classic"},
        {"quartz", 400, "DSEG7 Classic"},
        {"Glass Gauge", 400, "DejaVu Sans"},
        {"Glass Gauge", 700, "DejaVu Sans"},
        {"Arial", 400, fallback_family},
    };
    FontBook fonts;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.face);
        const ResolvedFace& f = fonts.face(row.face, row.weight);
        EXPECT_EQ(f.family, row.family) << "read back from the face Cairo made";
        EXPECT_FALSE(f.file.empty());
        EXPECT_EQ(f.bold, row.weight >= 600);
        EXPECT_GT(ink_of(fonts, f, "88", box).pixels, 20);
    }
    EXPECT_TRUE(fonts.take_reports().empty());
}

TEST(RenderFonts, AMissingFamilyIsReportedOnceAndItsTextsAreDrawnInTheFallback) {
    FontBook fonts(std::vector<FaceMapping>{{"QUARTZ", "Orvane No Such Family"}});
    const ResolvedFace& first = fonts.face("QUARTZ", 400);
    const ResolvedFace& again = fonts.face("QUARTZ", 400);
    EXPECT_EQ(&first, &again);
    const std::vector<std::string> reports = fonts.take_reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("Orvane No Such Family is not installed"), std::string::npos) << reports[0];
    EXPECT_EQ(first.family, fallback_family);
    EXPECT_GT(ink_of(fonts, first, "123", box).pixels, 20);
    fonts.face("QUARTZ", 400);
    EXPECT_TRUE(fonts.take_reports().empty());
}

TEST(RenderFonts, ACharacterTheFaceLacksIsDrawnFromTheFallbackFace) {
    FontBook fonts;
    const ResolvedFace& segments = fonts.face("QUARTZ", 400);
    ASSERT_EQ(segments.family, "DSEG7 Classic");
    ASSERT_FALSE(segments.has('+')) << "the seven-segment face has no plus sign";
    ASSERT_TRUE(segments.has('3'));
    const Ink plus = ink_of(fonts, segments, "+", box);
    EXPECT_GE(plus.pixels, 5) << "drawn, not left out";
    // "+3.0": the plus from the fallback, the rest from the segments, all of it.
    const Ink angle = ink_of(fonts, segments, "+3.0", box);
    const Ink digits = ink_of(fonts, segments, "3.0", box);
    EXPECT_GT(angle.pixels, digits.pixels + plus.pixels / 2);
}

TEST(RenderFonts, TextSitsInItsBoxAsTheDrawFlagsSay) {
    const struct Row {
        uint32_t flags;
        const char* where;
    } rows[] = {
        {0x25, "centre middle"}, {0x24, "left middle"}, {0x26, "right middle"},
        {0x21, "centre top"},    {0x29, "centre bottom"},
    };
    FontBook fonts;
    const ResolvedFace& face = fonts.face("Glass Gauge", 400);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.where);
        TextLayout layout = box;
        layout.draw_flags = row.flags;
        const Ink ink = ink_of(fonts, face, "00", layout);
        ASSERT_GT(ink.pixels, 0);
        const std::string where = row.where;
        if (where.starts_with("centre")) {
            EXPECT_NEAR(ink.centre_x(), 50, 1.5);
        } else if (where.starts_with("left")) {
            EXPECT_LE(ink.left, 23);
        } else {
            EXPECT_GE(ink.right, 76);
        }
        if (where.ends_with("middle")) {
            EXPECT_NEAR(ink.centre_y(), 20, 1.5);
        } else if (where.ends_with("top")) {
            EXPECT_LT(ink.centre_y(), 20);
            EXPECT_LE(ink.top, 14);
        } else {
            EXPECT_GT(ink.centre_y(), 20);
            EXPECT_GE(ink.bottom, 25);
        }
    }
}

TEST(RenderFonts, NoTextLeavesItsBox) {
    const struct Row {
        const char* face;
        const char* text;
        int char_height;
    } rows[] = {
        {"Glass Gauge", "WWWWWWWWWWWW", 0},
        {"QUARTZ", "88888888", 0},
        {"Glass Gauge", "00", 60},  // a character height far above the box's
        {"Glass Gauge", "\x01\x7F\xE9\xFF", 0},
    };
    FontBook fonts;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        TextLayout layout = box;
        layout.char_height = row.char_height;
        const Ink ink = ink_of(fonts, fonts.face(row.face, 400), row.text, layout);
        EXPECT_GT(ink.pixels, 0);
        EXPECT_GE(ink.left, 20);
        EXPECT_LE(ink.right, 79);
        EXPECT_GE(ink.top, 10);
        EXPECT_LE(ink.bottom, 29);
    }
}

}  // namespace
