// The moving parts of the PFD as drawn: the attitude sphere shifted by pitch
// and turned by bank through its window, the tapes behind their windows with
// the right value under the index, the diamonds and bars at their offsets.
#include <cmath>
#include <optional>

#include "host/panel/geometry.h"
#include "module/host_vars.h"
#include "tests/unit/render_fixture.h"

namespace {

using namespace render_test;
using namespace orvane;

bool white(const Rgba& c) { return c.a > 200 && c.r > 200 && c.g > 200 && c.b > 200; }
bool sky(const Rgba& c) { return near(c, 32, 124, 214, 40); }
bool ground(const Rgba& c) { return near(c, 138, 86, 38, 40); }

// The attitude window spans x 56 to 143 and y 36 to 139; its centre lines
// run between pixels 99 and 100 across and 87 and 88 down.
constexpr int window_left = 56, window_top = 36, window_width = 88, window_height = 104;

class RenderAttitude : public RenderTest {
protected:
    panelhost::Surface sphere(double pitch, double bank) {
        set(PITCH, pitch);
        set(BANK, bank);
        panel().update();
        // Only the sphere and its window: the symbols drawn over it are hidden.
        for (size_t i = 2; i <= 30; ++i) element("PFD", i).image_flags |= IMAGE_HIDDEN;
        return draw("PFD");
    }
    void SetUp() override {
        RenderTest::SetUp();
        install({"PFD"});
    }
};

TEST_F(RenderAttitude, LevelTheSphereIsSymmetricAboutTheWindowCentreWithTheHorizonOnItsMiddleRows) {
    const panelhost::Surface s = sphere(0, 0);
    // Sky and ground mirror each other across the window's vertical centre
    // line, and swap across its horizontal one. The ladder's figures are
    // not mirror images, so only sky and ground are compared.
    int compared = 0;
    for (int y = window_top; y < window_top + window_height; ++y) {
        for (int x = window_left; x < window_left + window_width; ++x) {
            const Rgba here = at(s.get(), x, y);
            const Rgba across = at(s.get(), 2 * window_left + window_width - 1 - x, y);
            const Rgba below = at(s.get(), x, 2 * window_top + window_height - 1 - y);
            if (!sky(here) && !ground(here)) continue;
            ++compared;
            if (sky(across) || ground(across)) {
                ASSERT_EQ(sky(here), sky(across)) << x << ", " << y;
            }
            if (sky(below) || ground(below)) {
                ASSERT_EQ(sky(here), ground(below)) << x << ", " << y;
            }
        }
    }
    EXPECT_GT(compared, 5000);
    // Down the middle: sky, the two rows of the horizon line, ground.
    for (int x : {70, 99, 100, 130}) {
        SCOPED_TRACE(x);
        EXPECT_TRUE(sky(at(s.get(), x, 86)));
        EXPECT_TRUE(white(at(s.get(), x, 87)));
        EXPECT_TRUE(white(at(s.get(), x, 88)));
        EXPECT_TRUE(ground(at(s.get(), x, 89)));
    }
}

TEST_F(RenderAttitude, PitchMovesTheHorizonOneAndAHalfPixelsADegreeAndBankTurnsItClockwiseWithTheLeftWingDown) {
    const struct Row {
        double pitch, bank;
        // Where the horizon's two pixels lie, across the middle column (pitch
        // alone) or along the middle row (banked 90 degrees).
        int first;
        bool across;
        bool sky_left;
    } rows[] = {
        // The host's pitch is positive nose down, its bank positive left wing down.
        {-10, 0, 102, true, false},    // nose up: the horizon goes down 15 pixels
        {10, 0, 72, true, false},      // nose down: up 15
        {-20, 0, 117, true, false},
        {0, -90, 99, false, true},     // right wing down: the sky turns to the left
        {0, 90, 99, false, false},     // left wing down: to the right
        {-10, -90, 114, false, true},  // pitch shifts along the turned sphere
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << "pitch " << row.pitch << " bank " << row.bank);
        const panelhost::Surface s = sphere(row.pitch, row.bank);
        if (row.across) {
            EXPECT_TRUE(sky(at(s.get(), 100, row.first - 1)));
            EXPECT_TRUE(white(at(s.get(), 100, row.first)));
            EXPECT_TRUE(white(at(s.get(), 100, row.first + 1)));
            EXPECT_TRUE(ground(at(s.get(), 100, row.first + 2)));
        } else {
            EXPECT_TRUE(white(at(s.get(), row.first, 70)));
            EXPECT_TRUE(white(at(s.get(), row.first + 1, 70)));
            const Rgba left = at(s.get(), row.first - 1, 70), right = at(s.get(), row.first + 2, 70);
            EXPECT_TRUE(row.sky_left ? sky(left) && ground(right) : ground(left) && sky(right));
        }
    }
}

TEST_F(RenderAttitude, TheSphereShowsOnlyThroughTheWindowsOpening) {
    const panelhost::Surface s = sphere(0, 30);
    const panelhost::Picture* window = renderer().art().picture(4161);
    ASSERT_NE(window, nullptr);
    int opening = 0;
    for (int y = 0; y < window->height; ++y) {
        for (int x = 0; x < window->width; ++x) {
            const Rgba frame = at(window->keyed.get(), x, y);
            const Rgba drawn = at(s.get(), window_left + x, window_top + y);
            if (frame.a == 0) {
                ++opening;
                EXPECT_TRUE(sky(drawn) || ground(drawn) || white(drawn) || drawn.a == 255) << x << ", " << y;
            } else {
                ASSERT_TRUE(same(frame, drawn)) << "the window's own pixel at " << x << ", " << y;
            }
        }
    }
    EXPECT_GT(opening, 5000);
    // Nothing of the ball outside the window's box.
    for (int y = 0; y < 181; ++y) {
        EXPECT_FALSE(sky(at(s.get(), window_left - 1, y)));
        EXPECT_FALSE(sky(at(s.get(), window_left + window_width, y)));
    }
}

class RenderTapes : public RenderTest {};

// Each tape shows, on the window's index line, the texture coordinate the
// host maps the value to, pixel for pixel around it.
TEST_F(RenderTapes, TheValueUnderEachTapesIndexIsTheOneTheHostMapsItTo) {
    const struct Row {
        const char* what;
        int32_t var;
        double value;
        size_t index;
        bool vertical;
    } rows[] = {
        {"speed 0", AIRSPEED, 0, 2, true},       {"speed 140", AIRSPEED, 140, 2, true},
        {"speed 180", AIRSPEED, 180, 2, true},   {"speed 250", AIRSPEED, 250, 2, true},
        {"speed 600", AIRSPEED, 600, 2, true},   {"speed 900, past the end", AIRSPEED, 900, 2, true},
        {"heading 0", HEADING, 0, 3, false},     {"heading 90", HEADING, 90, 3, false},
        {"heading 263", HEADING, 263, 3, false}, {"heading 359", HEADING, 359, 3, false},
    };
    install({"PFD"});
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        set(row.var, row.value);
        panel().update();
        const auto& tape = reinterpret_cast<const ElementMovingImage&>(element("PFD", row.index));
        const panelhost::Picture* texture = renderer().art().picture(tape.header.resource_id);
        const panelhost::Picture* window = renderer().art().picture(tape.header.resource_id + 1);
        ASSERT_TRUE(texture && window);
        const double minimum = row.vertical ? tape.min_y : tape.min_x;
        const double maximum = row.vertical ? tape.max_y : tape.max_x;
        const int length = row.vertical ? texture->height : texture->width;
        const int shown = row.vertical ? window->height : window->width;
        const double coordinate =
            panelhost::moving_image_index_coordinate(row.value, minimum, maximum, length, shown);
        const double index_line = shown / 2.0;  // where each window draws its index
        const panelhost::Surface s = draw("PFD");
        // The texture's displacement behind the window, found by matching a
        // strip along the tape around the index, clear of the index mark:
        // the speed tape's labels, the heading tape's below its ticks.
        auto matches = [&](int displacement) {
            for (int along = -20; along <= 20; ++along) {
                for (int across = 0; across < 11; ++across) {
                    const int w = static_cast<int>(index_line) + along;
                    const int tx = row.vertical ? across : w + displacement;
                    const int ty = row.vertical ? w + displacement : 19 - across;
                    const int gx = tape.header.position.x + (row.vertical ? across : w);
                    const int gy = tape.header.position.y + (row.vertical ? w : 19 - across);
                    if (!same(at(texture->opaque.get(), tx, ty), at(s.get(), gx, gy))) return false;
                }
            }
            return true;
        };
        const int guess = static_cast<int>(std::lround(coordinate - index_line));
        std::optional<int> found;
        int matching = 0;
        for (int d = guess - 3; d <= guess + 3; ++d) {
            if (matches(d)) found = d, ++matching;
        }
        ASSERT_EQ(matching, 1) << "the tape must be its texture moved by one whole number of pixels";
        EXPECT_LE(std::abs(coordinate - (index_line + *found)), 0.5) << "the value lies off the index";
    }
}

TEST_F(RenderTapes, DiamondsAndBarsStandAtTheHostsSliderOffsets) {
    install({"PFD", "FD"});
    set(FLIGHT_DIRECTOR, 1);
    set(FD_PITCH_COMMAND, 10);  // 10 degrees above the nose: the bar 15 pixels down
    set(FD_BANK_COMMAND, -5);   // 5 degrees left: the bar 8 pixels right
    set(LOCALIZER_DEVIATION, 40);
    set(GLIDESLOPE_DEVIATION, -30);
    panel().click("FD", {30, 8}, panelhost::Button::left, 0);  // ILS: the LS scales and diamonds
    panel().update();
    const struct Row {
        size_t index;
        PixPoint expected;  // where the element's bitmap must stand
    } rows[] = {
        {26, {96 + 12, 138}},  // localizer diamond: 40 x 0.3
        {27, {141, 84 - 9}},   // glideslope diamond: -30 x 0.3
        {28, {75, 86 + 15}},   // pitch bar
        {29, {100 + 8, 65}},   // roll bar
    };
    const panelhost::Surface s = draw("PFD");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.index);
        const ElementHeader& e = element("PFD", row.index);
        ASSERT_TRUE(panel().drawn(e));
        const panelhost::Picture* p = renderer().art().picture(e.resource_id);
        int own = 0, shown = 0;
        for (int y = 0; y < p->height; ++y) {
            for (int x = 0; x < p->width; ++x) {
                const Rgba c = at(p->keyed.get(), x, y);
                if (c.a == 0) continue;
                ++own;
                shown += same(c, at(s.get(), row.expected.x + x, row.expected.y + y)) ? 1 : 0;
            }
        }
        EXPECT_GT(own, 0);
        EXPECT_GE(shown, own * 9 / 10);
    }
}

}  // namespace
