// The bad-input matrix on the module linked in, where the cockpit state can be
// checked after every step as well as what the host sees; and the checks
// themselves, shown to catch the faults they are for.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/services/host_services.h"
#include "host/services/module_loader.h"
#include "host/panel/panel.h"
#include "module/cockpit.h"
#include "module/glideslope_angle.h"
#include "module/key_event_list.h"
#include "module/linkage.h"
#include "pfd/pfd_gauge.h"
#include "tests/hardening/bad_values.h"
#include "tests/hardening/invariants.h"
#include "tests/hardening/matrix_walk.h"
#include "units/units.h"

namespace orvane::hardening {
namespace {

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

class LinkedModule : public ::testing::Test {
protected:
    void SetUp() override {
        cockpit = cockpit_state_at_load;
        panelhost::start_module(host, records);
    }
    void TearDown() override { panelhost::stop_module(host, records); }

    panelhost::HostServices host;
    panelhost::ModuleRecords records{&ImportTable, &Linkage, 0};
};

TEST_F(LinkedModule, EveryVariableAtEveryBadValueThroughEveryCallLeavesTheModuleSafe) {
    panelhost::Panel panel(host, records);
    const MatrixResult result = walk_bad_input_matrix(panel, host, records, [] { return cockpit_faults(cockpit); });
    constexpr size_t variables = 33;
    constexpr size_t values = std::size(bad_values);
    EXPECT_EQ(result.cases, variables * values + values);
    EXPECT_GT(result.steps, result.cases * 10);
    EXPECT_EQ(result.fault_count, 0u) << joined(result.faults);
}

// Every row breaks one rule of the cockpit state; the check must name it.
TEST(CockpitChecks, EachBrokenFieldIsNamed) {
    struct Row {
        const char* what;
        void (*spoil)(CockpitState&);
        const char* message;
    };
    const Row rows[] = {
        {"Mach mode 2", [](CockpitState& s) { s.mach_mode = 2; }, "mach_mode is 2"},
        {"speed window -1", [](CockpitState& s) { s.speed_window_live = -1; }, "speed_window_live is -1"},
        {"heading window 7", [](CockpitState& s) { s.heading_window_live = 7; }, "heading_window_live is 7"},
        {"altitude window 3", [](CockpitState& s) { s.altitude_window_live = 3; }, "altitude_window_live is 3"},
        {"vs window 2", [](CockpitState& s) { s.vs_window_live = 2; }, "vs_window_live is 2"},
        {"both unit modes", [](CockpitState& s) { s.dh_mode = s.gsa_mode = 1; }, "dh_mode and gsa_mode are both 1"},
        {"ls display 5", [](CockpitState& s) { s.ls_display = 5; }, "ls_display is 5"},
        {"dme source 0", [](CockpitState& s) { s.dme_source = 0; }, "dme_source is 0"},
        {"dme source 3", [](CockpitState& s) { s.dme_source = 3; }, "dme_source is 3"},
        {"callout armed 2", [](CockpitState& s) { s.dh_callout_armed = 2; }, "dh_callout_armed is 2"},
        {"angle past the top", [](CockpitState& s) { s.gsa_angle = 10.0; }, "gsa_angle is 10.000000"},
        {"angle past the bottom", [](CockpitState& s) { s.gsa_angle = -9.95; }, "gsa_angle is -9.950000"},
        {"angle NaN", [](CockpitState& s) { s.gsa_angle = std::nan(""); }, "gsa_angle is nan"},
    };
    EXPECT_TRUE(cockpit_faults(cockpit_state_at_load).empty());
    for (const Row& row : rows) {
        CockpitState state = cockpit_state_at_load;
        row.spoil(state);
        const std::vector<std::string> faults = cockpit_faults(state);
        ASSERT_FALSE(faults.empty()) << row.what;
        EXPECT_EQ(faults.back(), row.message) << row.what;
    }
}

TEST(CockpitChecks, TheAngleLimitsThemselvesAreWithinRange) {
    CockpitState state = cockpit_state_at_load;
    for (const double angle : {gsa_angle_min, gsa_angle_max, -0.0}) {
        state.gsa_angle = angle;
        EXPECT_TRUE(cockpit_faults(state).empty()) << angle;
    }
}

// The host's view catches what a faulty module would do to it.
TEST_F(LinkedModule, TheHostViewCatchesUnknownEventsValuesFlagsAndDamagedTexts) {
    panelhost::Panel panel(host, records);
    const FlagsSnapshot at_start = snapshot_flags(panel);
    EXPECT_TRUE(host_view_faults(panel, host, at_start).empty());

    host.trigger(12345, 0);
    host.trigger(KEY_AP_MASTER_SWITCH, 7);
    std::vector<std::string> faults = host_view_faults(panel, host, at_start);
    ASSERT_EQ(faults.size(), 2u) << joined(faults);
    EXPECT_EQ(faults[0], "unknown key event 12345");
    EXPECT_EQ(faults[1], "key event 65580 with value 7");

    // The hide bit is the module's to change; any other bit is not.
    const uint32_t saved = pfd_background.header.image_flags;
    pfd_background.header.image_flags |= IMAGE_HIDDEN;
    EXPECT_TRUE(host_view_faults(panel, host, at_start).empty());
    pfd_background.header.image_flags ^= IMAGE_USE_BRIGHT;
    faults = host_view_faults(panel, host, at_start);
    pfd_background.header.image_flags = saved;
    ASSERT_EQ(faults.size(), 1u) << joined(faults);
    EXPECT_EQ(faults[0], "PFD element 0: image flags other than the hide bit changed");

    // A write one past the buffer, as a faulty text callback would make it.
    ASSERT_TRUE(panel.install("PFD").ok());
    pfd_altitude.string[pfd_altitude.max_string_length + 1] = 'X';
    panel.update();
    faults = host_view_faults(panel, host, at_start);
    ASSERT_FALSE(faults.empty());
    EXPECT_NE(faults[0].find("past the end of its text buffer"), std::string::npos) << faults[0];
    ASSERT_TRUE(panel.kill("PFD").ok());
}

}  // namespace
}  // namespace orvane::hardening
