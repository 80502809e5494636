// The speed and heading tapes against the host's moving-image mapping: for a
// value, the tick and label drawn for it lie under the window's index.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/panel/geometry.h"
#include "host/services/resources.h"
#include "host/base/files.h"

namespace {

using panelhost::Bitmap;

Bitmap committed(const char* file) {
    const std::vector<uint8_t> bytes =
        panelhost::read_file_bytes(std::string(ORVANE_RES_DIR) + "/bitmaps/" + file).value_or(std::vector<uint8_t>{});
    EXPECT_FALSE(bytes.empty()) << file;
    if (bytes.size() < 14) return {};
    return panelhost::decode_dib(bytes.data() + 14, bytes.size() - 14).bitmap;
}

bool bright(const Bitmap& b, int x, int y) {
    const panelhost::PaletteColour c = b.colour_at(x, y);
    return c.r > 160 && c.g > 160 && c.b > 160;
}

// Centre (in texture coordinates, pixel centres at n + 0.5) of the bright
// pixels inside a box; NaN when there are none.
double centre_along(const Bitmap& b, int x0, int x1, int y0, int y1, bool vertical) {
    double sum = 0;
    int n = 0;
    for (int y = std::max(0, y0); y <= std::min(b.height - 1, y1); ++y)
        for (int x = std::max(0, x0); x <= std::min(b.width - 1, x1); ++x)
            if (bright(b, x, y)) sum += (vertical ? y : x) + 0.5, ++n;
    return n ? sum / n : NAN;
}

// Midpoint of the extent of bright pixels inside a box.
double extent_centre(const Bitmap& b, int x0, int x1, int y0, int y1, bool vertical) {
    int lo = 1 << 30, hi = -1;
    for (int y = std::max(0, y0); y <= std::min(b.height - 1, y1); ++y)
        for (int x = std::max(0, x0); x <= std::min(b.width - 1, x1); ++x)
            if (bright(b, x, y)) lo = std::min(lo, vertical ? y : x), hi = std::max(hi, vertical ? y : x);
    return hi < 0 ? NAN : (lo + hi + 1) / 2.0;
}

TEST(SpeedTape, TheTickAndLabelOfEachSpeedLieUnderTheIndexWhenTheHostShowsThatSpeed) {
    const Bitmap tape = committed("pfd_speed_tape.bmp");
    ASSERT_EQ(tape.width, 26);
    ASSERT_EQ(tape.height, 839);
    for (int speed : {0, 20, 40, 100, 140, 240, 300, 460, 600, 620}) {
        SCOPED_TRACE("speed " + std::to_string(speed));
        const double index = panelhost::moving_image_index_coordinate(speed, 620, 0, 839, 97);
        const int row = static_cast<int>(index);
        const double tick = centre_along(tape, tape.width - 3, tape.width - 1, row - 4, row + 4, true);
        EXPECT_NEAR(tick, index, 1.0);
        const double label = extent_centre(tape, 0, 17, row - 5, row + 5, true);
        EXPECT_NEAR(label, index, 1.0);
    }
}

TEST(SpeedTape, OddTensHaveAShortTickAndNoLabel) {
    const Bitmap tape = committed("pfd_speed_tape.bmp");
    for (int speed : {10, 150, 610}) {
        SCOPED_TRACE("speed " + std::to_string(speed));
        const double index = panelhost::moving_image_index_coordinate(speed, 620, 0, 839, 97);
        const int row = static_cast<int>(index);
        EXPECT_NEAR(centre_along(tape, tape.width - 3, tape.width - 1, row - 2, row + 2, true), index, 1.0);
        EXPECT_TRUE(std::isnan(extent_centre(tape, 0, 17, row - 2, row + 2, true))) << "a label at an odd ten";
    }
}

TEST(HeadingTape, TheTickAndLabelOfEachHeadingLieUnderTheIndexWhenTheHostShowsThatHeading) {
    const Bitmap tape = committed("pfd_heading_tape.bmp");
    ASSERT_EQ(tape.width, 657);
    ASSERT_EQ(tape.height, 20);
    for (int heading : {0, 10, 20, 90, 180, 270, 330, 350, 360}) {
        SCOPED_TRACE("heading " + std::to_string(heading));
        const double index = panelhost::moving_image_index_coordinate(heading, 0, 360, 657, 82);
        const int column = static_cast<int>(index);
        EXPECT_NEAR(centre_along(tape, column - 3, column + 3, 0, 4, false), index, 1.0);
        EXPECT_NEAR(extent_centre(tape, column - 7, column + 7, 9, 17, false), index, 1.0);
    }
}

TEST(HeadingTape, BothEndsRepeatTheLabelsAcrossNorthSoTheWindowNeverRunsOutOfScale) {
    const Bitmap tape = committed("pfd_heading_tape.bmp");
    // The host's mapping is linear between heading 0 and 360; past them the
    // tape carries on at the same scale.
    const double at0 = panelhost::moving_image_index_coordinate(0, 0, 360, 657, 82);
    const double per_degree = (panelhost::moving_image_index_coordinate(360, 0, 360, 657, 82) - at0) / 360.0;
    for (int heading : {-20, -10, 0, 10, 20}) {
        SCOPED_TRACE("heading " + std::to_string(heading));
        const int a = static_cast<int>(std::floor(at0 + heading * per_degree));
        const int b = static_cast<int>(std::floor(at0 + (heading + 360) * per_degree));
        ASSERT_GE(a - 7, 0);
        ASSERT_LE(b + 7, tape.width - 1);
        for (int y = 0; y < tape.height; ++y)
            for (int dx = -7; dx <= 7; ++dx)
                ASSERT_EQ(tape.colour_at(a + dx, y), tape.colour_at(b + dx, y)) << "at dx " << dx << ", y " << y;
    }
    // The window is 82 wide: heading 0 and 360 must each have 41 columns of scale on either side.
    EXPECT_GE(at0, 41.0);
}

TEST(TapeWindows, EachIndexSitsOnTheWindowsCentreLine) {
    const Bitmap speed = committed("pfd_speed_window.bmp");
    ASSERT_EQ(speed.height, 97);
    // The yellow index line crosses the tape on row 48, the centre line of 97 rows.
    const panelhost::PaletteColour at_index = speed.colour_at(20, 48);
    EXPECT_GT(at_index.r, 200);
    EXPECT_GT(at_index.g, 180);
    EXPECT_LT(at_index.b, 60);
    EXPECT_EQ(speed.index_at(20, 46), 0);
    EXPECT_EQ(speed.index_at(20, 50), 0);

    const Bitmap heading = committed("pfd_heading_window.bmp");
    ASSERT_EQ(heading.width, 82);
    // Two columns either side of x = 41.
    for (int x : {40, 41}) {
        const panelhost::PaletteColour c = heading.colour_at(x, 4);
        EXPECT_GT(c.r, 200) << x;
        EXPECT_LT(c.b, 60) << x;
    }
    EXPECT_EQ(heading.index_at(38, 4), 0);
    EXPECT_EQ(heading.index_at(43, 4), 0);
}

}  // namespace

namespace {

// The host centres the ball's texture in the attitude window and shifts it
// 1.5 pixels per degree of pitch: each rung must sit that far from the horizon.
TEST(AttitudeBall, HorizonAndPitchRungsLieOnePointFivePixelsPerDegreeFromTheTextureCentre) {
    const Bitmap ball = committed("pfd_attitude_ball.bmp");
    ASSERT_EQ(ball.width, 256);
    ASSERT_EQ(ball.height, 256);
    const double centre = ball.height / 2.0;
    // Column 116 crosses the ten-degree rungs (and the horizon) but not the shorter ones.
    EXPECT_NEAR(centre_along(ball, 4, 4, 120, 136, true), centre, 0.5) << "horizon";
    for (int pitch : {-40, -30, -20, -10, 10, 20, 30, 40}) {
        const double expected = centre - 1.5 * pitch;
        const int row = static_cast<int>(expected);
        EXPECT_NEAR(centre_along(ball, 116, 116, row - 4, row + 4, true), expected, 0.5) << "pitch " << pitch;
    }
    for (int pitch : {-15, -5, 5, 15})  // short rungs stop short of column 116
        EXPECT_TRUE(std::isnan(centre_along(ball, 116, 116, static_cast<int>(centre - 1.5 * pitch) - 2,
                                            static_cast<int>(centre - 1.5 * pitch) + 2, true)))
            << "pitch " << pitch;
}

}  // namespace
