// What the renderer draws of each element: only what the host shows, black
// left clear only where the element asks for it, texts inside their boxes.
#include <set>

#include "module/host_vars.h"
#include "tests/unit/render_fixture.h"

namespace {

using namespace render_test;
using namespace orvane;

// The share of the element's own pixels that appear where it stands; its
// own are those not pure black and not the same as the gauge's background
// bitmap beneath them.
double share_shown(cairo_surface_t* drawn, panelhost::GaugeArt& art, const ElementHeader& background,
                   const ElementHeader& e) {
    const panelhost::Picture& picture = *art.picture(e.resource_id);
    const panelhost::Picture* beneath = &e == &background ? nullptr : art.picture(background.resource_id);
    int own = 0, shown = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const Rgba p = at(picture.keyed.get(), x, y);
            const int bx = e.position.x + x - background.position.x, by = e.position.y + y - background.position.y;
            if (p.a == 0 || (beneath != nullptr && same(p, at(beneath->keyed.get(), bx, by)))) continue;
            ++own;
            if (same(p, at(drawn, e.position.x + x, e.position.y + y))) ++shown;
        }
    }
    return own == 0 ? 0.0 : double(shown) / own;
}

class RenderVisibility : public RenderTest {};

TEST_F(RenderVisibility, AnElementIsDrawnOnlyWhileItsHideBitIsClearAndNoFailureStopsIt) {
    const struct Row {
        const char* what;
        const char* gauge;
        size_t index;
        int32_t var;
        double value;
        int32_t failure;
        bool drawn;
    } rows[] = {
        {"FD light, flight director on", "FD", 2, FLIGHT_DIRECTOR, 1.0, 0, true},
        {"FD light, flight director off", "FD", 2, FLIGHT_DIRECTOR, 0.0, 0, false},
        {"FD light, flight director 0.5", "FD", 2, FLIGHT_DIRECTOR, 0.5, 0, false},
        {"DME light, panel circuit on", "DME", 1, PANEL_CIRCUIT_ON, 1.0, 0, true},
        {"DME light, panel circuit off", "DME", 1, PANEL_CIRCUIT_ON, 0.0, 0, false},
        {"AP switch image, autopilot off", "AP", 5, AUTOPILOT_ENGAGED, 0.0, 0, true},
        {"AP switch image, autopilot on", "AP", 5, AUTOPILOT_ENGAGED, 1.0, 0, false},
        {"altitude hold light, hold on", "AP", 11, ALTITUDE_HOLD, 1.0, 0, true},
        {"altitude hold light, hold 2", "AP", 11, ALTITUDE_HOLD, 2.0, 0, false},
        {"localizer scale, LS display off", "PFD", 25, 0, 0.0, 0, false},
        {"aircraft symbol, no failure", "PFD", 30, 0, 0.0, 0, true},
        {"aircraft symbol, electrical panels failed", "PFD", 30, 0, 0.0, FAIL_SYSTEM_ELECTRICAL_PANELS, false},
        {"aircraft symbol, attitude gyro failed", "PFD", 30, 0, 0.0, FAIL_GAUGE_ATTITUDE, true},
        {"PFD background, electrical panels failed", "PFD", 0, 0, 0.0, FAIL_SYSTEM_ELECTRICAL_PANELS, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        install({row.gauge});
        if (row.var != 0) set(row.var, row.value);
        if (row.failure != 0) panel().set_failure(row.failure, true);
        panel().update();
        const ElementHeader& e = element(row.gauge, row.index);
        ASSERT_EQ(panel().drawn(e), row.drawn) << "the host's own view";
        ASSERT_NE(renderer().art().picture(e.resource_id), nullptr);
        const panelhost::Surface drawn = draw(row.gauge);
        const double share = share_shown(drawn.get(), renderer().art(), element(row.gauge, 0), e);
        if (row.drawn) {
            EXPECT_GT(share, 0.95);
        } else {
            EXPECT_LT(share, 0.5);
        }
        if (row.failure != 0) panel().set_failure(row.failure, false);
        TearDown();
    }
}

TEST_F(RenderVisibility, AFailedAttitudeGyroRemovesTheSphereAndUncoversTheAttFlag) {
    install({"PFD"});
    panel().update();
    const panelhost::Surface working = draw("PFD");
    panel().set_failure(FAIL_GAUGE_ATTITUDE, true);
    panel().update();
    const panelhost::Surface failed = draw("PFD");
    auto count = [](cairo_surface_t* s, auto test) {
        int n = 0;
        for (int y = 40; y < 136; ++y)
            for (int x = 60; x < 140; ++x) n += test(at(s, x, y)) ? 1 : 0;
        return n;
    };
    auto sky = [](const Rgba& c) { return near(c, 32, 124, 214, 40); };
    auto red = [](const Rgba& c) { return c.a > 200 && c.r > 180 && c.g < 90 && c.b < 90; };
    EXPECT_GT(count(working.get(), sky), 500);
    EXPECT_EQ(count(working.get(), red), 0);
    EXPECT_EQ(count(failed.get(), sky), 0);
    EXPECT_GT(count(failed.get(), red), 20);
}

class RenderTransparency : public RenderTest {};

TEST_F(RenderTransparency, PureBlackIsLeftClearOnlyWhereTheElementsImageFlagsAskForIt) {
    const struct Row {
        const char* what;
        const char* gauge;
        size_t index;
        PixPoint probe;  // a pure black pixel of the element's bitmap that nothing else covers
    } rows[] = {
        {"PFD background", "PFD", 0, {2, 178}},
        {"FCU overlay", "AP", 0, {150, 95}},
        {"speed hold light", "AP", 13, {15, 71}},
        {"DH overlay", "DH", 0, {100, 28}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        install({row.gauge});
        set(AIRSPEED_HOLD, 1.0);
        panel().update();
        ElementHeader& e = element(row.gauge, row.index);
        const panelhost::Picture* picture = renderer().art().picture(e.resource_id);
        ASSERT_NE(picture, nullptr);
        const PixPoint inside{row.probe.x - e.position.x, row.probe.y - e.position.y};
        ASSERT_EQ(at(picture->opaque.get(), inside.x, inside.y).r + at(picture->opaque.get(), inside.x, inside.y).g +
                      at(picture->opaque.get(), inside.x, inside.y).b,
                  0)
            << "the probe must be pure black in the bitmap";
        const uint32_t flags = e.image_flags;
        ASSERT_NE(flags & IMAGE_USE_TRANSPARENCY, 0u);
        EXPECT_EQ(at(draw(row.gauge).get(), row.probe.x, row.probe.y).a, 0) << "flagged: clear";
        e.image_flags = flags & ~IMAGE_USE_TRANSPARENCY;
        const Rgba opaque = at(draw(row.gauge).get(), row.probe.x, row.probe.y);
        e.image_flags = flags;
        EXPECT_TRUE(near(opaque, 0, 0, 0, 0)) << "not flagged: drawn black";
        TearDown();
    }
}

// By night (the usual colours) the box is multiplied as its flags say:
// bright as by day, luminous by the luminous colour, else the night colour.
TEST_F(RenderTransparency, ATextBoxIsFilledWithItsBackgroundUnlessItsBlackIsLeftClear) {
    const struct Row {
        uint32_t flags;
        uint32_t background;
        bool clear;
        bool night = false;
        uint32_t drawn = 0;  // by night
    } rows[] = {
        {0x7, rgb(0, 0, 0), true},
        {0x6, rgb(0, 0, 0), false},
        {0x7, rgb(105, 25, 25), false},
        {0x6, rgb(105, 25, 25), false},
        {0x7, rgb(0, 0, 0), true, true, 0},
        {0x6, rgb(105, 25, 25), false, true, rgb(105, 25, 25)},
        {0x4006, rgb(105, 25, 25), false, true, rgb(105, 25, 25)},
        {0x4002, rgb(105, 25, 25), false, true, rgb(105, 17, 11)},
        {0x2, rgb(105, 25, 25), false, true, rgb(23, 5, 7)},
    };
    install({"PFD"});
    panel().update();
    // The selected altitude, empty while altitude hold is off.
    auto& text = reinterpret_cast<ElementString&>(element("PFD", 13));
    const uint32_t flags = text.header.image_flags, background = text.bg_color;
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << "flags " << row.flags << " background " << row.background);
        text.header.image_flags = row.flags;
        text.bg_color = row.background;
        renderer().set_lighting(row.night ? panelhost::night_lighting({}) : panelhost::Lighting{});
        const Rgba c = at(draw("PFD").get(), 170, 55);
        const uint32_t drawn = row.night ? row.drawn : row.background;
        if (row.clear) {
            EXPECT_EQ(c.a, 0);
        } else {
            EXPECT_TRUE(near(c, int(drawn & 0xFF), int((drawn >> 8) & 0xFF), int((drawn >> 16) & 0xFF), 0));
        }
    }
    renderer().set_lighting({});
    text.header.image_flags = flags;
    text.bg_color = background;
}

class RenderTexts : public RenderTest {};

TEST_F(RenderTexts, AnnunciationsAndWindowsAppearInTheirBoxesInTheirColourAndNowhereElse) {
    const struct Row {
        const char* what;
        const char* gauge;
        int32_t var;
        double before, after;
        std::vector<size_t> boxes;  // the text elements that change; the first's colour is looked for
    } rows[] = {
        {"AP1", "PFD", AUTOPILOT_ENGAGED, 0, 1, {16}},
        {"A/T", "PFD", AUTOTHROTTLE_ARMED, 0, 1, {18}},
        {"G/S and LOC", "PFD", APPROACH_HOLD, 0, 1, {7, 9}},
        {"ALT and the selected altitude", "PFD", ALTITUDE_HOLD, 0, 1, {6, 13}},
        {"altitude readout", "PFD", BARO_ALTITUDE, 0, 2750, {4}},
        {"FCU altitude window", "AP", ALTITUDE_TARGET, 3000, 3100, {2}},
        {"FCU heading window", "AP", HEADING_TARGET, 90, 263, {3}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        install({row.gauge});
        set(row.var, row.before);
        panel().update();
        // Three times the size, so that the strokes have pixels of the full colour.
        constexpr int scale = 3;
        const panelhost::Surface before = draw(row.gauge, scale);
        set(row.var, row.after);
        panel().update();
        const panelhost::Surface after = draw(row.gauge, scale);

        std::vector<Box> boxes;
        for (size_t i : row.boxes) {
            const auto& t = reinterpret_cast<const ElementString&>(element(row.gauge, i));
            boxes.push_back({scale * t.header.position.x, scale * t.header.position.y, scale * t.img_size.x,
                             scale * t.img_size.y});
        }
        const auto& first = reinterpret_cast<const ElementString&>(element(row.gauge, row.boxes[0]));
        const int r = first.fg_color & 0xFF, g = (first.fg_color >> 8) & 0xFF, b = (first.fg_color >> 16) & 0xFF;
        int outside = 0, in_colour = 0, changed = 0;
        const int w = cairo_image_surface_get_width(after.get()), h = cairo_image_surface_get_height(after.get());
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const bool differs = !same(at(before.get(), x, y), at(after.get(), x, y));
                const bool inside =
                    std::any_of(boxes.begin(), boxes.end(), [&](const Box& bx) { return bx.contains(x, y); });
                changed += differs ? 1 : 0;
                if (differs && !inside) ++outside;
                if (boxes[0].contains(x, y) && near(at(after.get(), x, y), r, g, b, 40)) ++in_colour;
            }
        }
        EXPECT_GT(changed, 0);
        EXPECT_EQ(outside, 0);
        EXPECT_GE(in_colour, 20);
        TearDown();
    }
}

}  // namespace
