#include <bit>
#include <cmath>
#include <limits>
#include <map>

#include <gtest/gtest.h>

#include "host/panel/key_effects.h"
#include "host/services/host_services.h"
#include "module/host_vars.h"
#include "module/key_event_list.h"

namespace panelhost {
namespace {

using namespace orvane;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

struct KeyCase {
    const char* what;
    std::map<int32_t, double> before;
    uint32_t event;
    std::map<int32_t, double> after;
};

TEST(HostAircraftTests, KeyEventsMoveTheVariablesAsASimulatorDoes) {
    const KeyCase cases[] = {
        {"AP master engages", {{AUTOPILOT_ENGAGED, 0}}, KEY_AP_MASTER_SWITCH, {{AUTOPILOT_ENGAGED, 1}}},
        {"AP master disengages", {{AUTOPILOT_ENGAGED, 1}}, KEY_AP_MASTER_SWITCH, {{AUTOPILOT_ENGAGED, 0}}},
        {"a hold of 0.5 counts as engaged", {{APPROACH_HOLD, 0.5}}, KEY_APPROACH_HOLD_SWITCH, {{APPROACH_HOLD, 0}}},
        {"a NaN hold counts as off", {{WING_LEVELER, nan}}, KEY_WING_LEVELER_SWITCH, {{WING_LEVELER, 1}}},
        {"NAV1", {}, KEY_NAV1_HOLD_SWITCH, {{NAV1_HOLD, 1}}},
        {"yaw damper", {}, KEY_YAW_DAMPER_SWITCH, {{YAW_DAMPER, 1}}},
        {"heading hold", {}, KEY_HEADING_HOLD_SWITCH, {{HEADING_HOLD, 1}}},
        {"altitude hold", {{ALTITUDE_HOLD, 1}}, KEY_ALTITUDE_HOLD_SWITCH, {{ALTITUDE_HOLD, 0}}},
        {"autothrottle", {}, KEY_AUTOTHROTTLE_SWITCH, {{AUTOTHROTTLE_ARMED, 1}}},
        {"airspeed hold takes over from Mach hold", {{AIRSPEED_HOLD, 0}, {MACH_HOLD, 1}}, KEY_AIRSPEED_HOLD_SWITCH,
         {{AIRSPEED_HOLD, 1}, {MACH_HOLD, 0}}},
        {"Mach hold takes over from airspeed hold", {{AIRSPEED_HOLD, 1}, {MACH_HOLD, 0}}, KEY_MACH_HOLD_SWITCH,
         {{AIRSPEED_HOLD, 0}, {MACH_HOLD, 1}}},
        {"disengaging Mach hold leaves airspeed hold", {{AIRSPEED_HOLD, 0}, {MACH_HOLD, 1}}, KEY_MACH_HOLD_SWITCH,
         {{AIRSPEED_HOLD, 0}, {MACH_HOLD, 0}}},
        {"flight director", {{FLIGHT_DIRECTOR, 1}}, KEY_FLIGHT_DIRECTOR_TOGGLE, {{FLIGHT_DIRECTOR, 0}}},
        {"heading up", {{HEADING_TARGET, 90}}, KEY_HEADING_TARGET_INC, {{HEADING_TARGET, 91}}},
        {"heading wraps up past 359", {{HEADING_TARGET, 359}}, KEY_HEADING_TARGET_INC, {{HEADING_TARGET, 0}}},
        {"heading wraps down past 0", {{HEADING_TARGET, 0}}, KEY_HEADING_TARGET_DEC, {{HEADING_TARGET, 359}}},
        {"heading far out of range comes back", {{HEADING_TARGET, 725}}, KEY_HEADING_TARGET_INC,
         {{HEADING_TARGET, 6}}},
        {"altitude up", {{ALTITUDE_TARGET, 5000}}, KEY_ALTITUDE_TARGET_INC, {{ALTITUDE_TARGET, 5100}}},
        {"altitude stops at 0", {{ALTITUDE_TARGET, 50}}, KEY_ALTITUDE_TARGET_DEC, {{ALTITUDE_TARGET, 0}}},
        {"vertical speed goes negative", {{VS_TARGET, 0}}, KEY_VS_TARGET_DEC, {{VS_TARGET, -100}}},
        {"vertical speed up", {{VS_TARGET, -100}}, KEY_VS_TARGET_INC, {{VS_TARGET, 0}}},
        {"airspeed up", {{AIRSPEED_TARGET, 250}}, KEY_AIRSPEED_TARGET_INC, {{AIRSPEED_TARGET, 251}}},
        {"airspeed stops at 0", {{AIRSPEED_TARGET, 0}}, KEY_AIRSPEED_TARGET_DEC, {{AIRSPEED_TARGET, 0}}},
        {"Mach up lands on hundredths", {{MACH_TARGET, 0.78}}, KEY_MACH_TARGET_INC, {{MACH_TARGET, 0.79}}},
        {"Mach reaches 0.99 exactly", {{MACH_TARGET, 0.98}}, KEY_MACH_TARGET_INC, {{MACH_TARGET, 0.99}}},
        {"Mach down", {{MACH_TARGET, 0.5}}, KEY_MACH_TARGET_DEC, {{MACH_TARGET, 0.49}}},
        {"Mach stops at 0", {{MACH_TARGET, 0}}, KEY_MACH_TARGET_DEC, {{MACH_TARGET, 0}}},
        {"decision height up", {{DECISION_HEIGHT, 200}}, KEY_DECISION_HEIGHT_INC, {{DECISION_HEIGHT, 210}}},
        {"decision height stops at 0", {{DECISION_HEIGHT, 5}}, KEY_DECISION_HEIGHT_DEC, {{DECISION_HEIGHT, 0}}},
    };
    for (const KeyCase& c : cases) {
        HostServices host;
        for (const auto& [id, value] : c.before) host.set_var(id, value);
        EXPECT_TRUE(apply_key_event(host, c.event)) << c.what;
        for (const auto& [id, value] : c.after) {
            EXPECT_EQ(std::bit_cast<uint64_t>(host.var(id)), std::bit_cast<uint64_t>(value))
                << c.what << ": variable " << id << " is " << host.var(id) << ", expected " << value;
        }
    }
}

TEST(HostAircraftTests, AnEventTheModelDoesNotKnowChangesNothing) {
    HostServices host;
    host.set_var(AUTOPILOT_ENGAGED, 1);
    EXPECT_FALSE(apply_key_event(host, 65536));
    EXPECT_EQ(host.vars().size(), 1u);
    EXPECT_EQ(host.var(AUTOPILOT_ENGAGED), 1.0);
}

TEST(HostAircraftTests, StepsKeepANotANumberTargetDefined) {
    HostServices host;
    host.set_var(ALTITUDE_TARGET, nan);
    host.set_var(HEADING_TARGET, std::numeric_limits<double>::infinity());
    EXPECT_TRUE(apply_key_event(host, KEY_ALTITUDE_TARGET_INC));
    EXPECT_TRUE(apply_key_event(host, KEY_HEADING_TARGET_INC));
    EXPECT_TRUE(std::isnan(host.var(ALTITUDE_TARGET)));
    EXPECT_TRUE(std::isnan(host.var(HEADING_TARGET)));
}

}  // namespace
}  // namespace panelhost
