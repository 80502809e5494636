#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "module/key_event_list.h"
#include "tests/unit/fcu_fixture.h"

namespace orvane::testing {
namespace {

constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();

using FcuControlsTest = FcuTest;
using Events = std::vector<uint32_t>;
using Ids = std::vector<int32_t>;

TEST_F(FcuControlsTest, SpeedKnobAndSpeedHoldActOnTheTargetOfTheCurrentMode) {
    const struct {
        const char* name;
        MouseFunction handler;
        int32_t mach_mode;
        double mach_target;
        Events sent;
        Ids refreshed;
    } rows[] = {
        {"left half, airspeed", speed_knob_dec_click, 0, 0.78, {KEY_AIRSPEED_TARGET_DEC}, {}},
        {"left half, Mach", speed_knob_dec_click, 1, 0.78, {KEY_MACH_TARGET_DEC}, {}},
        {"left half, Mach past the limit", speed_knob_dec_click, 1, 1.2, {KEY_MACH_TARGET_DEC}, {}},
        {"right half, airspeed", speed_knob_inc_click, 0, 0.99, {KEY_AIRSPEED_TARGET_INC}, {}},
        {"right half, Mach below the limit", speed_knob_inc_click, 1, 0.98, {KEY_MACH_TARGET_INC}, {118}},
        {"right half, Mach at the limit", speed_knob_inc_click, 1, 0.99, {}, {118}},
        {"right half, Mach past the limit", speed_knob_inc_click, 1, 1.2, {}, {118}},
        {"right half, Mach target NaN", speed_knob_inc_click, 1, nan_value, {}, {118}},
        {"speed hold, airspeed", speed_hold_click, 0, 0.78, {KEY_AIRSPEED_HOLD_SWITCH}, {}},
        {"speed hold, Mach", speed_hold_click, 1, 0.78, {KEY_MACH_HOLD_SWITCH}, {}},
    };
    for (const auto& row : rows) {
        reset();
        cockpit.mach_mode = row.mach_mode;
        set({{MACH_TARGET, row.mach_target}});
        PixPoint point{3, 4};
        EXPECT_EQ(row.handler(&point, MOUSE_CLICK_REPEAT), 0) << row.name;
        EXPECT_EQ(sent_events(), row.sent) << row.name;
        EXPECT_EQ(refreshed_ids, row.refreshed) << row.name;
        EXPECT_EQ(cockpit.mach_mode, row.mach_mode) << row.name;
        EXPECT_EQ(live_windows(), "----") << row.name;
    }
}

TEST_F(FcuControlsTest, MachSwitchFlipsTheModeAndCarriesAnEngagedSpeedHoldOver) {
    const struct {
        int32_t mode_before;
        double airspeed_hold, mach_hold;
        Events sent;
    } rows[] = {
        {0, 1, 0, {KEY_MACH_HOLD_SWITCH}},
        {0, 1, -0.0, {KEY_MACH_HOLD_SWITCH}},
        {0, 1, nan_value, {KEY_MACH_HOLD_SWITCH}},  // NaN counts as zero
        {0, 0, 0, {}},
        {0, 1, 1, {}},
        {0, 2, 0, {}},
        {0, 0, 1, {}},
        {0, 1, 0.5, {}},  // a Mach hold of 0.5 is not off
        {1, 0, 1, {KEY_AIRSPEED_HOLD_SWITCH}},
        {1, 0, 0, {}},
        {1, 1, 1, {}},
        {1, 1, 0, {}},
        {1, 0, 0.5, {}},
        {1, 0.5, 1, {}},
    };
    for (const auto& row : rows) {
        reset();
        cockpit.mach_mode = row.mode_before;
        set({{AIRSPEED_HOLD, row.airspeed_hold}, {MACH_HOLD, row.mach_hold}});
        EXPECT_EQ(mach_switch_click(nullptr, MOUSE_CLICK), 0);
        const std::string what = "mode " + std::to_string(row.mode_before) + ", holds " +
                                 std::to_string(row.airspeed_hold) + "/" + std::to_string(row.mach_hold);
        EXPECT_EQ(cockpit.mach_mode, 1 - row.mode_before) << what;
        EXPECT_EQ(live_windows(), "S---") << what;
        EXPECT_EQ(sent_events(), row.sent) << what;
        EXPECT_EQ(refreshed_ids, (row.mode_before == 0 ? Ids{117, 115} : Ids{115, 117})) << what;
    }
}

TEST_F(FcuControlsTest, MachSwitchShowsTheNewModesTargetAtTheNextUpdateUnlessASpeedHoldDisengages) {
    const struct {
        const char* name;
        double airspeed_hold_at_update;
        const char* shown;
    } rows[] = {{"holds unchanged", 1, ".78"}, {"airspeed hold disengages", 0, "---"}};
    for (const auto& row : rows) {
        reset();
        set({{AIRSPEED_TARGET, 250}, {MACH_TARGET, 0.78}, {AIRSPEED_HOLD, 1}, {MACH_HOLD, 0}});
        install();
        set_live_windows("----");
        update();
        draw_windows();
        EXPECT_EQ(speed_text.str(), "---");
        mach_switch_click(nullptr, MOUSE_CLICK);
        set({{AIRSPEED_HOLD, row.airspeed_hold_at_update}});
        update();
        draw_windows();
        EXPECT_EQ(speed_text.str(), row.shown) << row.name;
    }
    mach_switch_click(nullptr, MOUSE_CLICK);
    update();
    draw_windows();
    EXPECT_EQ(speed_text.str(), "250") << "back in airspeed mode";
}

// What a click at a gauge point reaches: the first click area whose box holds
// it, and the tooltip of the innermost area around it.
struct Hit {
    const MouseRect* click = nullptr;
    std::string tooltip;
};

Hit hit_test(int32_t x, int32_t y) {
    struct Area {
        int32_t x, y;
        bool holds_point;
    };
    std::vector<Area> areas;
    Hit hit;
    auto inside = [&](const PixBox& b, int32_t ox, int32_t oy) {
        return x >= ox + b.x && x < ox + b.x + b.size_x && y >= oy + b.y && y < oy + b.y + b.size_y;
    };
    for (const MouseRect* row = ap_gauge.mouse_rect; row->rect_type != MOUSE_END_OF_TABLE; ++row) {
        const Area outer = areas.empty() ? Area{0, 0, true} : areas.back();
        switch (row->rect_type) {
            case MOUSE_OPEN_AREA: {
                const PixBox& b = row->relative_box;
                const bool whole = b.x == 0 && b.y == 0 && b.size_x == 0 && b.size_y == 0;
                areas.push_back({outer.x + b.x, outer.y + b.y, outer.holds_point && (whole || inside(b, outer.x, outer.y))});
                break;
            }
            case MOUSE_TOOLTIP:
                if (outer.holds_point) hit.tooltip = row->action.tooltip;
                break;
            case MOUSE_CLICK_AREA:
                if (hit.click == nullptr && outer.holds_point && inside(row->relative_box, outer.x, outer.y)) hit.click = row;
                break;
            case MOUSE_CLOSE_AREA:
                areas.pop_back();
                break;
        }
    }
    EXPECT_TRUE(areas.empty()) << "every area of the mouse table is closed";
    return hit;
}

TEST_F(FcuControlsTest, KnobHalvesStepTheirTargetAndTheStripBetweenThemTakesNoClick) {
    const struct {
        const char* tooltip;
        int32_t x, y;  // the knob area's corner
        uint32_t dec, inc;
        MouseFunction dec_handler, inc_handler;
    } knobs[] = {
        {"Set Autopilot Speed", 28, 37, 0, 0, speed_knob_dec_click, speed_knob_inc_click},
        {"Set Autopilot Altitude", 101, 37, KEY_ALTITUDE_TARGET_DEC, KEY_ALTITUDE_TARGET_INC, nullptr, nullptr},
        {"Set Autopilot Heading", 162, 37, KEY_HEADING_TARGET_DEC, KEY_HEADING_TARGET_INC, nullptr, nullptr},
        {"Set Autopilot V/S", 228, 37, KEY_VS_TARGET_DEC, KEY_VS_TARGET_INC, nullptr, nullptr},
    };
    for (const auto& k : knobs) {
        for (int32_t dx : {0, 12, 13, 14, 15, 16, 28}) {
            for (int32_t dy : {0, 22}) {
                const Hit hit = hit_test(k.x + dx, k.y + dy);
                EXPECT_EQ(hit.tooltip, k.tooltip) << dx << "," << dy;
                if (dx >= 13 && dx <= 15) {
                    EXPECT_EQ(hit.click, nullptr) << k.tooltip << " strip at " << dx;
                    continue;
                }
                ASSERT_NE(hit.click, nullptr) << k.tooltip << " at " << dx << "," << dy;
                const bool left = dx < 13;
                EXPECT_EQ(hit.click->cursor, left ? CURSOR_DOWNARROW : CURSOR_UPARROW);
                EXPECT_EQ(hit.click->mouse_flags, 0xA0200000u) << "held down, a knob half repeats";
                EXPECT_EQ(hit.click->event_id, left ? k.dec : k.inc) << k.tooltip << " at " << dx;
                EXPECT_EQ(hit.click->action.handler, left ? k.dec_handler : k.inc_handler) << k.tooltip << " at " << dx;
            }
        }
        EXPECT_EQ(hit_test(k.x + 29, k.y).tooltip, "Airbus A310 Flight Control Unit");
        EXPECT_EQ(hit_test(k.x + 29, k.y).click, nullptr);
    }
}

TEST_F(FcuControlsTest, EachPushButtonLiesUnderItsLightAndActsOncePerClick) {
    const struct {
        ElementIcon* light;  // null for the Mach switch, which has none
        PixPoint corner;
        int32_t width, height;
        const char* tooltip;
        int32_t cursor;
        uint32_t event;
        MouseFunction handler;
    } buttons[] = {
        {&ap_master_switch, {281, 22}, 18, 32, "Autopilot Master Switch", CURSOR_UPARROW, KEY_AP_MASTER_SWITCH, nullptr},
        {&ap_lights[0], {244, 71}, 18, 18, "ILS Approach Switch", CURSOR_HAND, KEY_APPROACH_HOLD_SWITCH, nullptr},
        {&ap_lights[1], {186, 71}, 18, 18, "NAV1 Hold Switch", CURSOR_HAND, KEY_NAV1_HOLD_SWITCH, nullptr},
        {&ap_lights[2], {167, 71}, 18, 18, "Heading Hold Switch", CURSOR_HAND, KEY_HEADING_HOLD_SWITCH, nullptr},
        {&ap_lights[3], {125, 71}, 18, 18, "Yaw Damper Switch", CURSOR_HAND, KEY_YAW_DAMPER_SWITCH, nullptr},
        {&ap_lights[4], {106, 71}, 18, 18, "Wing Leveler Switch", CURSOR_HAND, KEY_WING_LEVELER_SWITCH, nullptr},
        {&ap_lights[5], {87, 71}, 18, 18, "Altitude Hold Switch", CURSOR_HAND, KEY_ALTITUDE_HOLD_SWITCH, nullptr},
        {&ap_lights[6], {34, 71}, 18, 18, "Auto Throttle Switch", CURSOR_HAND, KEY_AUTOTHROTTLE_SWITCH, nullptr},
        {&ap_lights[7], {15, 71}, 18, 18, "Speed Hold Switch", CURSOR_HAND, 0, speed_hold_click},
        {nullptr, {5, 17}, 18, 18, "Mach Switch", CURSOR_HAND, 0, mach_switch_click},
    };
    for (const auto& b : buttons) {
        if (b.light != nullptr) {
            EXPECT_EQ(b.light->header.position.x, b.corner.x) << b.tooltip;
            EXPECT_EQ(b.light->header.position.y, b.corner.y) << b.tooltip;
        }
        for (const PixPoint d : {PixPoint{0, 0}, PixPoint{b.width - 1, b.height - 1}}) {
            const Hit hit = hit_test(b.corner.x + d.x, b.corner.y + d.y);
            EXPECT_EQ(hit.tooltip, b.tooltip);
            ASSERT_NE(hit.click, nullptr) << b.tooltip;
            EXPECT_EQ(hit.click->cursor, b.cursor) << b.tooltip;
            EXPECT_EQ(hit.click->mouse_flags, 0xA0000000u) << b.tooltip;
            EXPECT_EQ(hit.click->event_id, b.event) << b.tooltip;
            EXPECT_EQ(hit.click->action.handler, b.handler) << b.tooltip;
        }
        EXPECT_NE(hit_test(b.corner.x + b.width, b.corner.y).tooltip, b.tooltip);
        EXPECT_NE(hit_test(b.corner.x, b.corner.y + b.height).tooltip, b.tooltip);
    }
}

TEST_F(FcuControlsTest, MouseTableRowsCarryOnlyWhatTheirKindNeeds) {
    int depth = 0;
    const MouseRect* row = ap_gauge.mouse_rect;
    EXPECT_EQ(row[0].rect_type, MOUSE_OPEN_AREA);
    EXPECT_EQ(row[1].rect_type, MOUSE_TOOLTIP);
    for (; row->rect_type != MOUSE_END_OF_TABLE; ++row) {
        EXPECT_EQ(row->help_id, 0u);
        if (row->rect_type == MOUSE_OPEN_AREA) ++depth;
        if (row->rect_type == MOUSE_CLOSE_AREA) --depth;
        if (row->rect_type != MOUSE_CLICK_AREA) {
            EXPECT_EQ(row->cursor, CURSOR_NONE);
            EXPECT_EQ(row->mouse_flags, 0u);
            EXPECT_EQ(row->event_id, 0u);
        } else {
            EXPECT_NE(row->event_id != 0, row->action.handler != nullptr) << "an event or a handler, not both";
        }
        if (row->rect_type == MOUSE_TOOLTIP) {
            EXPECT_EQ(row[-1].rect_type, MOUSE_OPEN_AREA);
        }
        ASSERT_GE(depth, row->rect_type == MOUSE_CLOSE_AREA ? 0 : 1);
    }
    EXPECT_EQ(depth, 0);
    EXPECT_EQ(row - ap_gauge.mouse_rect, 63) << "fourteen areas within the whole gauge";
}

}  // namespace
}  // namespace orvane::testing
