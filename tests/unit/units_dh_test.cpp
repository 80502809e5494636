#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "module/key_event_list.h"
#include "tests/support/guarded_text.h"
#include "tests/unit/units_fixture.h"

namespace orvane {
namespace {

using testing::GuardedText;
using testing::is_hidden;

constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
constexpr uint64_t max_bits = 0x4023CCCCCCCCCCCDull;
constexpr uint64_t min_bits = 0xC023CCCCCCCCCCCDull;

enum class Mode { off, dh, gsa };

const char* name(Mode mode) { return mode == Mode::off ? "OFF" : mode == Mode::dh ? "DH" : "GSA"; }

void set_mode(Mode mode) {
    cockpit.dh_mode = mode == Mode::dh ? 1 : 0;
    cockpit.gsa_mode = mode == Mode::gsa ? 1 : 0;
}

Mode mode() {
    EXPECT_FALSE(cockpit.dh_mode == 1 && cockpit.gsa_mode == 1) << "both modes on";
    return cockpit.dh_mode == 1 ? Mode::dh : cockpit.gsa_mode == 1 ? Mode::gsa : Mode::off;
}

uint64_t bits(double value) { return std::bit_cast<uint64_t>(value); }

using Handler = int32_t(HOST_CALL*)(PixPoint*, uint32_t);

class DhUnitTest : public testing::UnitsTest {
protected:
    void SetUp() override {
        UnitsTest::SetUp();
        text.attach(dh_value_window);
    }

    void click(Handler handler, int times = 1) {
        for (int i = 0; i < times; ++i) EXPECT_EQ(handler(nullptr, MOUSE_CLICK), 0);
    }

    // Runs the value window's text callback as the host does, with the
    // decision height the host put in the element's own record.
    std::string value_text(double decision_height, double* returned = nullptr) {
        dh_value_window.source_var[0].value.n = decision_height;
        const double result = dh_value_window.update_cb(&dh_value_window);
        if (returned != nullptr) *returned = result;
        EXPECT_TRUE(text.intact()) << text.str();
        return text.str();
    }

    GuardedText text{4};
};

TEST_F(DhUnitTest, ModeButtonsToggleTheirOwnModeAndKeepTheModesExclusive) {
    const struct {
        Mode from;
        Handler button;
        Mode to;
    } cases[] = {
        {Mode::off, dh_toggle_click, Mode::dh},   {Mode::off, gsa_toggle_click, Mode::gsa},
        {Mode::dh, dh_toggle_click, Mode::off},   {Mode::dh, gsa_toggle_click, Mode::gsa},
        {Mode::gsa, dh_toggle_click, Mode::dh},   {Mode::gsa, gsa_toggle_click, Mode::off},
    };
    for (const auto& c : cases) {
        set_mode(c.from);
        cockpit.gsa_angle = -2.5;
        click(c.button);
        EXPECT_EQ(mode(), c.to) << name(c.from) << (c.button == dh_toggle_click ? " + DH button" : " + GSA button");
        EXPECT_EQ(cockpit.gsa_angle, -2.5) << name(c.from);
        EXPECT_TRUE(key_event_ids().empty()) << name(c.from);
    }
}

TEST_F(DhUnitTest, HandlersIgnoreTheirArgumentsAndReturnZero) {
    const Handler handlers[] = {dh_toggle_click, gsa_toggle_click, dh_knob_dec_click, dh_knob_inc_click};
    PixPoint inside{3, 3};
    PixPoint far_away{-100000, INT32_MAX};
    const struct {
        PixPoint* point;
        uint32_t flags;
    } arguments[] = {{&inside, MOUSE_CLICK_REPEAT}, {&far_away, 0xFFFFFFFFu}, {nullptr, MOUSE_DOWN_REPEAT}};

    for (Handler handler : handlers) {
        for (Mode start : {Mode::off, Mode::dh, Mode::gsa}) {
            set_mode(start);
            cockpit.gsa_angle = 1.0;
            click(handler);
            const Mode expected_mode = mode();
            const double expected_angle = cockpit.gsa_angle;
            const std::vector<uint32_t> expected_events = key_event_ids();

            for (const auto& a : arguments) {
                set_mode(start);
                cockpit.gsa_angle = 1.0;
                EXPECT_EQ(handler(a.point, a.flags), 0);
                EXPECT_EQ(mode(), expected_mode) << name(start);
                EXPECT_EQ(bits(cockpit.gsa_angle), bits(expected_angle)) << name(start);
                EXPECT_EQ(key_event_ids(), expected_events) << name(start);
            }
        }
    }
}

TEST_F(DhUnitTest, KnobStepsTheDecisionHeightInDhModeAndTheAngleInGsaMode) {
    const struct {
        Mode mode;
        Handler half;
        std::vector<uint32_t> events;
        double angle_after;
    } cases[] = {
        {Mode::off, dh_knob_dec_click, {}, 1.0},
        {Mode::off, dh_knob_inc_click, {}, 1.0},
        {Mode::dh, dh_knob_dec_click, {KEY_DECISION_HEIGHT_DEC}, 1.0},
        {Mode::dh, dh_knob_inc_click, {KEY_DECISION_HEIGHT_INC}, 1.0},
        {Mode::gsa, dh_knob_dec_click, {}, 0.9},
        {Mode::gsa, dh_knob_inc_click, {}, 1.1},
    };
    for (const auto& c : cases) {
        set_mode(c.mode);
        cockpit.gsa_angle = 1.0;
        host.set_var(DECISION_HEIGHT, 200.0);
        click(c.half);
        const char* half = c.half == dh_knob_dec_click ? "decrement" : "increment";
        EXPECT_EQ(key_event_ids(), c.events) << name(c.mode) << " " << half;
        EXPECT_EQ(bits(cockpit.gsa_angle), bits(c.angle_after)) << name(c.mode) << " " << half;
        EXPECT_EQ(mode(), c.mode);
        EXPECT_EQ(host.var(DECISION_HEIGHT), 200.0) << "the module keeps no copy of the decision height";
    }
}

TEST_F(DhUnitTest, AngleStopsAtTheExactLimitValues) {
    const struct {
        Handler half;
        uint64_t limit;
        const char* text_before_limit;
    } cases[] = {
        {dh_knob_inc_click, max_bits, "+9.9"},
        {dh_knob_dec_click, min_bits, "-9.9"},
    };
    for (const auto& c : cases) {
        set_mode(Mode::gsa);
        cockpit.gsa_angle = 0.0;
        click(c.half, 99);
        const double limit = std::bit_cast<double>(c.limit);
        EXPECT_LT(std::fabs(cockpit.gsa_angle), std::fabs(limit)) << "99 steps stay short of the limit";
        EXPECT_GT(std::fabs(cockpit.gsa_angle), 9.89);
        EXPECT_EQ(value_text(0.0), c.text_before_limit);

        click(c.half);
        EXPECT_EQ(bits(cockpit.gsa_angle), c.limit) << "the 100th step lands on the limit";
        click(c.half, 50);
        EXPECT_EQ(bits(cockpit.gsa_angle), c.limit) << "further steps stay there";
        EXPECT_EQ(value_text(0.0), c.text_before_limit);
    }
}

TEST_F(DhUnitTest, StepsOutAndBackLeaveATinyAngleThatShowsItsSign) {
    const struct {
        Handler out;
        Handler back;
        bool negative;
        const char* shown;
    } cases[] = {
        {dh_knob_dec_click, dh_knob_inc_click, true, "-0.0"},
        {dh_knob_inc_click, dh_knob_dec_click, false, "+0.0"},
    };
    for (const auto& c : cases) {
        set_mode(Mode::gsa);
        cockpit.gsa_angle = 0.0;
        click(c.out, 3);
        click(c.back, 3);
        EXPECT_NE(cockpit.gsa_angle, 0.0) << "the angle is a running sum, never rounded";
        EXPECT_LT(std::fabs(cockpit.gsa_angle), 1e-15);
        EXPECT_EQ(std::signbit(cockpit.gsa_angle), c.negative);
        EXPECT_EQ(value_text(0.0), c.shown);
    }
}

TEST_F(DhUnitTest, ValueWindowShowsTheModesValueAndReturnsTheDecisionHeight) {
    const struct {
        Mode mode;
        double angle;
        double decision_height;
        const char* shown;
    } cases[] = {
        {Mode::off, 3.0, 200.0, "----"},
        {Mode::off, nan_value, nan_value, "----"},
        {Mode::dh, 0.0, 50.0, " 50"},
        {Mode::dh, 0.0, 1000.0, "1000"},
        {Mode::dh, 0.0, 0.0, "  0"},
        {Mode::dh, 0.0, 99.6, "100"},
        {Mode::dh, 0.0, -20.0, "-20"},
        {Mode::dh, 0.0, 12345.0, "1234"},  // cut to the window's four characters
        {Mode::dh, 0.0, 1e300, "1000"},
        {Mode::dh, 0.0, std::numeric_limits<double>::denorm_min(), "  0"},
        {Mode::dh, 0.0, nan_value, "nan"},
        {Mode::dh, 0.0, -nan_value, "-nan"},
        {Mode::dh, 0.0, inf, "inf"},
        {Mode::dh, 0.0, -inf, "-inf"},
        {Mode::dh, -7.0, 200.0, "200"},
        {Mode::gsa, 0.0, 200.0, "+0.0"},
        {Mode::gsa, -0.0, 200.0, "+0.0"},
        {Mode::gsa, 3.0, 200.0, "+3.0"},
        {Mode::gsa, -2.5, 200.0, "-2.5"},
        {Mode::gsa, 0.04, 200.0, "+0.0"},
        {Mode::gsa, -0.04, 200.0, "-0.0"},
        {Mode::gsa, 9.9, 200.0, "+9.9"},
        {Mode::gsa, -9.9, 200.0, "-9.9"},
        {Mode::gsa, nan_value, 200.0, "nan"},  // NaN is neither zero nor above it
        {Mode::gsa, -nan_value, nan_value, "-nan"},
    };
    for (const auto& c : cases) {
        set_mode(c.mode);
        cockpit.gsa_angle = c.angle;
        double returned = 0.0;
        EXPECT_EQ(value_text(c.decision_height, &returned), c.shown)
            << name(c.mode) << " angle " << c.angle << " height " << c.decision_height;
        EXPECT_EQ(bits(returned), bits(c.decision_height)) << name(c.mode) << " height " << c.decision_height;
    }
}

TEST_F(DhUnitTest, ValueTextWithoutAHostBufferStillReturnsTheDecisionHeight) {
    dh_value_window.string = nullptr;
    set_mode(Mode::dh);
    dh_value_window.source_var[0].value.n = 250.0;
    EXPECT_EQ(dh_value_text(&dh_value_window), 250.0);
    EXPECT_EQ(dh_value_text(nullptr), 0.0);
}

TEST_F(DhUnitTest, LightsFollowTheModesAtEveryUpdate) {
    const uint32_t background_flags = dh_background.header.image_flags;
    const uint32_t window_flags = dh_value_window.header.image_flags;
    for (Mode m : {Mode::off, Mode::dh, Mode::gsa}) {
        for (bool lit_before : {false, true}) {
            set_mode(m);
            const uint32_t before = lit_before ? 0x7u : 0x40000007u;
            dh_light.header.image_flags = before;
            gsa_light.header.image_flags = before;
            update(dh_gauge);
            EXPECT_EQ(dh_light.header.image_flags, m == Mode::dh ? 0x7u : 0x40000007u) << name(m);
            EXPECT_EQ(gsa_light.header.image_flags, m == Mode::gsa ? 0x7u : 0x40000007u) << name(m);
            EXPECT_EQ(dh_background.header.image_flags, background_flags);
            EXPECT_EQ(dh_value_window.header.image_flags, window_flags);
        }
    }
    EXPECT_TRUE(key_event_ids().empty());
}

TEST_F(DhUnitTest, AfterLoadTheFirstUpdateShowsAnIdleUnit) {
    update(dh_gauge);
    EXPECT_TRUE(is_hidden(dh_light.header));
    EXPECT_TRUE(is_hidden(gsa_light.header));
    EXPECT_EQ(value_text(200.0), "----");
    click(dh_knob_inc_click);
    click(dh_knob_dec_click);
    EXPECT_TRUE(key_event_ids().empty());
    EXPECT_EQ(bits(cockpit.gsa_angle), 0u);
}

TEST_F(DhUnitTest, ServiceCallsOtherThanUpdateChangeNoElementFlags) {
    const int32_t codes[] = {SERVICE_PRE_INSTALL, SERVICE_PRE_KILL, 0, 1, 3, 4, 5, 7, 8, 11, 13, 17, -1, INT32_MIN,
                             INT32_MAX};
    set_mode(Mode::dh);  // an update would show the DH light and hide the GSA light
    dh_light.header.image_flags = 0x40000007u;
    gsa_light.header.image_flags = 0x7u;
    for (int32_t code : codes) {
        dh_gauge.gauge_callback(&dh_gauge, code, 0);
        EXPECT_EQ(dh_light.header.image_flags, 0x40000007u) << "service code " << code;
        EXPECT_EQ(gsa_light.header.image_flags, 0x7u) << "service code " << code;
        EXPECT_EQ(dh_background.header.image_flags, testing::units_at_load.dh_background.header.image_flags);
    }
    EXPECT_TRUE(key_event_ids().empty());
    EXPECT_EQ(mode(), Mode::dh);
}

TEST_F(DhUnitTest, UpdateWithoutAGaugeHeaderTouchesNoElement) {
    set_mode(Mode::dh);
    dh_gauge.gauge_callback(nullptr, SERVICE_PRE_UPDATE, 0);
    EXPECT_EQ(dh_light.header.image_flags, 0x7u);
    EXPECT_EQ(gsa_light.header.image_flags, 0x7u);
}

TEST_F(DhUnitTest, LightsAndValueWindowSitWhereTheUpdateLooksForThem) {
    ElementHeader* first = dh_gauge.elements_list[0];
    EXPECT_EQ(nth_element(first, DhChain::index<dh_value_window>), &dh_value_window.header);
    EXPECT_EQ(nth_element(first, DhChain::index<gsa_light>), &gsa_light.header);
    EXPECT_EQ(nth_element(first, DhChain::index<dh_light>), &dh_light.header);
    EXPECT_EQ(nth_element(first, DhChain::index<dh_light> + 1), nullptr);
    for (uint32_t i = 0; i <= DhChain::index<dh_light>; ++i) {
        const ElementHeader& e = *nth_element(first, i);
        EXPECT_EQ(e.gauge_header, &dh_gauge) << "element " << i;
        EXPECT_EQ(e.failure_systems, nullptr) << "element " << i;
        EXPECT_FALSE(is_hidden(e)) << "element " << i;
    }
    // The window reads the decision height in feet, four characters wide.
    EXPECT_EQ(dh_value_window.source_var[0].id, 615);
    EXPECT_EQ(dh_value_window.source_var[1].id, 0);
    EXPECT_EQ(dh_value_window.max_string_length, 4);
    EXPECT_EQ(dh_value_window.update_cb, dh_value_text);
}

TEST_F(DhUnitTest, EachClickAreaReachesItsControlOverItsLight) {
    const std::vector<testing::ClickArea> clicks = testing::click_areas(dh_mouse_table);
    const struct {
        PixBox box;
        int32_t cursor;
        Handler handler;
        const char* tooltip;
    } expected[] = {
        {{4, 4, 18, 13}, CURSOR_HAND, dh_toggle_click, "Toggle Decision Height"},
        {{4, 18, 18, 13}, CURSOR_HAND, gsa_toggle_click, "Toggle Glideslope Angle"},
        {{78, 5, 12, 20}, CURSOR_DOWNARROW, dh_knob_dec_click, "Set Decision Height"},
        {{92, 5, 12, 20}, CURSOR_UPARROW, dh_knob_inc_click, "Set Decision Height"},  // one pixel past its area
    };
    ASSERT_EQ(clicks.size(), std::size(expected));
    for (size_t i = 0; i < clicks.size(); ++i) {
        EXPECT_TRUE(testing::same_box(clicks[i].box, expected[i].box)) << "click area " << i;
        EXPECT_EQ(clicks[i].cursor, expected[i].cursor) << "click area " << i;
        EXPECT_EQ(clicks[i].mouse_flags, 0xA0200000u) << "click area " << i;
        EXPECT_EQ(clicks[i].handler, expected[i].handler) << "click area " << i;
        EXPECT_EQ(clicks[i].tooltip, expected[i].tooltip) << "click area " << i;
    }
    EXPECT_EQ(clicks[0].box.x, dh_light.header.position.x);
    EXPECT_EQ(clicks[0].box.y, dh_light.header.position.y);
    EXPECT_EQ(clicks[1].box.x, gsa_light.header.position.x);
    EXPECT_EQ(clicks[1].box.y, gsa_light.header.position.y);
    EXPECT_STREQ(dh_mouse_table[1].action.tooltip, "Airbus A310 DH Unit");
}

}  // namespace
}  // namespace orvane
