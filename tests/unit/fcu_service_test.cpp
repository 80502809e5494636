#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/services/names.h"
#include "tests/unit/fcu_fixture.h"

namespace orvane::testing {
namespace {

constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();

// Holds in the order the FCU takes them: heading, altitude, airspeed, Mach.
struct Holds {
    double heading, altitude, airspeed, mach;
};

class FcuServiceTest : public FcuTest {
protected:
    void set_holds(const Holds& h) {
        set({{HEADING_HOLD, h.heading}, {ALTITUDE_HOLD, h.altitude}, {AIRSPEED_HOLD, h.airspeed},
             {MACH_HOLD, h.mach}});
    }
};

TEST_F(FcuServiceTest, InstallTakesASnapshotAndTheFirstUpdateFindsNoChange) {
    const struct {
        const char* name;
        Holds holds;
        const char* live_after_install;
        int32_t mach_mode;
        const char* live_after_update;
    } rows[] = {
        {"no hold", {0, 0, 0, 0}, "----", 0, "----"},
        {"heading hold", {1, 0, 0, 0}, "-H--", 0, "-H--"},
        {"altitude hold turns both altitude windows live", {0, 1, 0, 0}, "--AV", 0, "--AV"},
        {"airspeed hold", {0, 0, 1, 0}, "S---", 0, "S---"},
        {"Mach hold also chooses Mach mode", {0, 0, 0, 1}, "S---", 1, "S---"},
        {"holds of 2 are not engaged", {2, 2, 2, 2}, "----", 0, "----"},
        // 1.5 truncates to an engaged state but is no exact 1.0, and the
        // update then sees it differ from the state it left: disengaging.
        {"holds of 1.5", {1.5, 1.5, 1.5, 1.5}, "SHAV", 0, "----"},
        // NaN truncates to 0 and differs from every state: engaging.
        {"NaN holds", {nan_value, nan_value, nan_value, nan_value}, "----", 0, "SHA-"},
    };
    for (const auto& row : rows) {
        reset();
        set({{AIRSPEED_TARGET, 250}, {MACH_TARGET, 0.78}, {ALTITUDE_TARGET, 12000}, {VS_TARGET, -700},
             {HEADING_TARGET, 90}});
        set_holds(row.holds);
        install();
        EXPECT_EQ(live_windows(), row.live_after_install) << row.name;
        EXPECT_EQ(cockpit.mach_mode, row.mach_mode) << row.name;
        EXPECT_EQ(fcu_memory.last_speed_target, 250);
        EXPECT_EQ(fcu_memory.last_mach_target, 0.78);
        EXPECT_EQ(fcu_memory.last_altitude_target, 12000);
        EXPECT_EQ(fcu_memory.last_vs_target, -700);
        EXPECT_EQ(fcu_memory.last_heading_target, 90);
        EXPECT_EQ(fcu_memory.heading_hold_state, truncate_to_u32(row.holds.heading)) << row.name;
        EXPECT_EQ(fcu_memory.mach_hold_state, truncate_to_u32(row.holds.mach)) << row.name;
        update();
        EXPECT_EQ(live_windows(), row.live_after_update) << row.name;
    }
    EXPECT_TRUE(host.key_events().empty());
}

TEST_F(FcuServiceTest, InstallNeverClearsAWindowNorLeavesMachMode) {
    set({{MACH_HOLD, 1}});
    install();
    set({{MACH_HOLD, 0}});
    set_live_windows("SHAV");
    install();
    EXPECT_EQ(cockpit.mach_mode, 1);
    EXPECT_EQ(live_windows(), "SHAV");
}

TEST_F(FcuServiceTest, RefreshesHostVariablesInTheirOrder) {
    set({{AIRSPEED_HOLD, 1}});  // the speed hold light still refreshes the Mach hold
    install();
    EXPECT_EQ(refreshed_ids, (std::vector<int32_t>{117, 116, 118, 109, 120, 107, 106, 108, 115, 117}));
    refreshed_ids.clear();
    update();
    EXPECT_EQ(refreshed_ids, (std::vector<int32_t>{116, 118, 107, 109, 120, 103, 112, 105, 106, 114, 104, 108, 123,
                                                   115, 117, 106, 108, 115, 117}));
}

TEST_F(FcuServiceTest, KillAndUnknownServiceCodesDoNothing) {
    set({{AIRSPEED_TARGET, 250}, {MACH_HOLD, 1}, {AUTOPILOT_ENGAGED, 1}});
    for (int32_t code : {12, 0, 1, 3, 5, 7, 13, -1, 1000}) {
        fcu_service(&ap_gauge, code, 0);
    }
    EXPECT_TRUE(refreshed_ids.empty());
    EXPECT_EQ(live_windows(), "----");
    EXPECT_EQ(cockpit.mach_mode, 0);
    EXPECT_FALSE(hidden(AP_MASTER_SWITCH));
}

TEST_F(FcuServiceTest, TargetChangeTurnsOnlyItsWindowLive) {
    const struct {
        HostVarId target;
        double value;
        const char* live;
    } rows[] = {
        {AIRSPEED_TARGET, 250, "S---"}, {MACH_TARGET, 0.78, "S---"}, {HEADING_TARGET, 90, "-H--"},
        {ALTITUDE_TARGET, 5000, "--A-"}, {VS_TARGET, 700, "---V"},   {ALTITUDE_TARGET, -0.0, "----"},
    };
    for (const auto& row : rows) {
        reset();
        install();
        set({{row.target, row.value}});
        update();
        EXPECT_EQ(live_windows(), row.live) << panelhost::host_var_label(row.target) << " " << row.value;
        set_live_windows("----");
        update();
        EXPECT_EQ(live_windows(), "----") << "an unchanged target changes nothing";
    }
}

TEST_F(FcuServiceTest, SwitchImageShowsWhileDisengagedAndEachLightWhileItsModeIsExactlyOn) {
    constexpr ApElement nothing_changes = AP_BACKGROUND;  // the background is never shown or hidden
    const struct {
        HostVarId var;
        double value;
        ApElement changed;  // the one element whose visibility differs from all variables 0
    } rows[] = {
        {AUTOPILOT_ENGAGED, 1, AP_MASTER_SWITCH}, {AUTOPILOT_ENGAGED, 0.5, AP_MASTER_SWITCH},
        {AUTOPILOT_ENGAGED, -0.0, nothing_changes}, {AUTOPILOT_ENGAGED, nan_value, nothing_changes},
        {APPROACH_HOLD, 1, AP_APPROACH_LIGHT},    {NAV1_HOLD, 1, AP_NAV1_LIGHT},
        {HEADING_HOLD, 1, AP_HEADING_HOLD_LIGHT}, {YAW_DAMPER, 1, AP_YAW_DAMPER_LIGHT},
        {WING_LEVELER, 1, AP_WING_LEVELER_LIGHT}, {ALTITUDE_HOLD, 1, AP_ALTITUDE_HOLD_LIGHT},
        {AUTOTHROTTLE_ARMED, 1, AP_AUTOTHROTTLE_LIGHT}, {AIRSPEED_HOLD, 1, AP_SPEED_HOLD_LIGHT},
        {MACH_HOLD, 1, AP_SPEED_HOLD_LIGHT},      {APPROACH_HOLD, 2, nothing_changes},
        {YAW_DAMPER, 0.5, nothing_changes},         {MACH_HOLD, std::nextafter(1.0, 2.0), nothing_changes},
        {NAV1_HOLD, nan_value, nothing_changes},
    };
    for (const auto& row : rows) {
        reset();
        set({{row.var, row.value}});
        update();
        for (uint32_t n = 0; n < ap_element_count; ++n) {
            // With every variable 0 the switch image shows and every light is dark.
            const bool hidden_when_all_zero = n > AP_MASTER_SWITCH;
            const bool expect_hidden = (n == row.changed && n != nothing_changes) != hidden_when_all_zero;
            const ElementHeader* element = nth_element(first_element(&ap_gauge), n);
            const uint32_t load_flags = n == 0 ? ap_load_state.background.header.image_flags
                                        : n < 5 ? ap_load_state.windows[n - 1].header.image_flags
                                                : ap_load_state.icons[n - 5].header.image_flags;
            EXPECT_EQ(element->image_flags, load_flags | (expect_hidden ? IMAGE_HIDDEN : 0))
                << panelhost::host_var_label(row.var) << " = " << row.value << ", element " << n;
        }
    }
}

TEST_F(FcuServiceTest, HoldTransitionsTurnWindowsLiveOrBackToDashes) {
    const struct {
        const char* name;
        Holds before, after;
        const char* live_before;
        const char* live_after;
    } rows[] = {
        {"heading disengages", {1, 0, 0, 0}, {0, 0, 0, 0}, "SHAV", "S-AV"},
        {"heading engages", {0, 0, 0, 0}, {1, 0, 0, 0}, "----", "-H--"},
        {"altitude disengages: both altitude windows", {0, 1, 0, 0}, {0, 0, 0, 0}, "SHAV", "SH--"},
        {"altitude engages: not the V/S window", {0, 0, 0, 0}, {0, 1, 0, 0}, "----", "--A-"},
        {"airspeed disengages: speed only", {0, 0, 1, 0}, {0, 0, 0, 0}, "SHAV", "-HAV"},
        {"airspeed engages", {0, 0, 0, 0}, {0, 0, 1, 0}, "----", "S---"},
        {"Mach disengages: speed and V/S", {0, 0, 0, 1}, {0, 0, 0, 0}, "SHAV", "-HA-"},
        {"Mach engages", {0, 0, 0, 0}, {0, 0, 0, 1}, "----", "S---"},
        {"airspeed engages, Mach disengages", {0, 0, 0, 1}, {0, 0, 1, 0}, "SHAV", "-HA-"},
        {"Mach engages, airspeed disengages", {0, 0, 1, 0}, {0, 0, 0, 1}, "SHAV", "SHAV"},
        {"unchanged engaged holds", {1, 1, 1, 1}, {1, 1, 1, 1}, "----", "----"},
        {"unchanged disengaged holds", {0, 0, 0, 0}, {0, 0, 0, 0}, "SHAV", "SHAV"},
        {"leaving 2 counts as engaging", {2, 0, 0, 0}, {0, 0, 0, 0}, "----", "-H--"},
        {"1 to 2 counts as disengaging", {1, 0, 0, 0}, {2, 0, 0, 0}, "SHAV", "S-AV"},
        {"1 to NaN counts as disengaging", {0, 1, 0, 0}, {0, nan_value, 0, 0}, "SHAV", "SH--"},
    };
    for (const auto& row : rows) {
        reset();
        set_holds(row.before);
        install();
        set_live_windows(row.live_before);
        set_holds(row.after);
        update();
        EXPECT_EQ(live_windows(), row.live_after) << row.name;
        EXPECT_EQ(fcu_memory.heading_hold_state, truncate_to_u32(row.after.heading)) << row.name;
        EXPECT_EQ(fcu_memory.altitude_hold_state, truncate_to_u32(row.after.altitude)) << row.name;
        EXPECT_EQ(fcu_memory.speed_hold_state, truncate_to_u32(row.after.airspeed)) << row.name;
        EXPECT_EQ(fcu_memory.mach_hold_state, truncate_to_u32(row.after.mach)) << row.name;
    }
}

TEST_F(FcuServiceTest, HoldDisengagingInTheUpdateItsTargetChangesLeavesDashes) {
    set({{HEADING_HOLD, 1}, {ALTITUDE_HOLD, 1}});
    install();
    set({{HEADING_TARGET, 120}, {HEADING_HOLD, 0}, {ALTITUDE_TARGET, 9000}, {ALTITUDE_HOLD, 0}});
    update();
    draw_windows();
    EXPECT_EQ(live_windows(), "----");
    EXPECT_EQ(heading_text.str(), "---");
    EXPECT_EQ(altitude_text.str(), "-----");
}

TEST_F(FcuServiceTest, AltitudeWindowStaysLiveFromATargetStepUntilAltitudeHoldDisengages) {
    const struct {
        double target, hold;
        const char* shown;
    } updates[] = {{0, 0, "-----"},    {100, 0, "00100"}, {100, 0, "00100"}, {100, 1, "00100"},
                   {200, 1, "00200"},  {200, 0, "-----"}, {200, 0, "-----"}, {200, 1, "00200"}};
    install();
    for (const auto& u : updates) {
        set({{ALTITUDE_TARGET, u.target}, {ALTITUDE_HOLD, u.hold}});
        update();
        draw_windows();
        EXPECT_EQ(altitude_text.str(), u.shown) << "target " << u.target << " hold " << u.hold;
    }
}

TEST_F(FcuServiceTest, ShowsAndHidesInTheChainOfTheHeaderTheHostPassed) {
    std::array<ElementHeader, ap_element_count> other{};
    std::array<std::array<ElementHeader*, 2>, ap_element_count> next{};
    for (uint32_t i = 0; i + 1 < ap_element_count; ++i) {
        next[i] = {&other[i + 1], nullptr};
        other[i].next_element = next[i].data();
    }
    ElementHeader* other_list[] = {&other[0], nullptr};
    GaugeHeader other_gauge = ap_gauge;
    other_gauge.elements_list = other_list;

    set({{AUTOPILOT_ENGAGED, 1}, {APPROACH_HOLD, 1}});
    fcu_service(&other_gauge, SERVICE_PRE_UPDATE, 0);
    EXPECT_EQ(other[AP_MASTER_SWITCH].image_flags, IMAGE_HIDDEN);
    EXPECT_EQ(other[AP_APPROACH_LIGHT].image_flags, 0u);
    EXPECT_EQ(other[AP_NAV1_LIGHT].image_flags, IMAGE_HIDDEN);
    EXPECT_FALSE(hidden(AP_MASTER_SWITCH));
    EXPECT_FALSE(hidden(AP_NAV1_LIGHT));

    set({{AIRSPEED_TARGET, 250}});
    fcu_service(nullptr, SERVICE_PRE_UPDATE, 0);  // no chain to show or hide; the windows still follow
    EXPECT_EQ(live_windows(), "S---");
}

// Any mix of host values, services and clicks keeps the FCU within its
// invariants: flags 0 or 1, texts within their buffers, only the hide bit of
// any element changed.
TEST_F(FcuServiceTest, RandomHostValuesAndCallOrdersKeepTheInvariants) {
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::printf("seed %u\n", seed);
    std::mt19937 random(seed);
    const double values[] = {0, 1, 2, 0.5, -1, 1e300, -1e300, nan_value, -nan_value,
                             std::numeric_limits<double>::infinity(), -0.0, 4294967297.0,
                             std::numeric_limits<double>::denorm_min(), 0.98, 250, 99999.5};
    const HostVarId vars[] = {AUTOPILOT_ENGAGED, WING_LEVELER, NAV1_HOLD, HEADING_HOLD, HEADING_TARGET,
                              ALTITUDE_HOLD, ALTITUDE_TARGET, APPROACH_HOLD, YAW_DAMPER, AIRSPEED_HOLD,
                              AIRSPEED_TARGET, MACH_HOLD, MACH_TARGET, VS_TARGET, AUTOTHROTTLE_ARMED};
    const MouseFunction handlers[] = {speed_knob_dec_click, speed_knob_inc_click, speed_hold_click,
                                      mach_switch_click};
    GuardedText* texts[] = {&speed_text, &altitude_text, &heading_text, &vs_text};
    for (int step = 0; step < 20000; ++step) {
        host.set_var(vars[random() % std::size(vars)], values[random() % std::size(values)]);
        switch (random() % 8) {
            case 0: install(); break;
            case 1: handlers[random() % 4](nullptr, MOUSE_CLICK); break;
            case 2: fcu_service(&ap_gauge, SERVICE_PRE_KILL, 0); break;
            default: update(); draw_windows(); break;
        }
        for (int32_t flag : {cockpit.mach_mode, cockpit.speed_window_live, cockpit.heading_window_live,
                             cockpit.altitude_window_live, cockpit.vs_window_live}) {
            ASSERT_TRUE(flag == 0 || flag == 1) << "step " << step;
        }
        for (int i = 0; i < 4; ++i) ASSERT_TRUE(texts[i]->intact()) << "step " << step;
        for (uint32_t n = AP_MASTER_SWITCH; n < ap_element_count; ++n) {
            ASSERT_EQ(ap_icons[n - AP_MASTER_SWITCH]->header.image_flags & ~IMAGE_HIDDEN,
                      ap_load_state.icons[n - AP_MASTER_SWITCH].header.image_flags);
        }
    }
}

}  // namespace
}  // namespace orvane::testing
