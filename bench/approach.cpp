#include "bench/approach.h"

#include <cmath>

#include "module/host_var_list.h"

namespace orvane::bench {

namespace {

constexpr double feet_per_metre = 3.28083989501312;

}  // namespace

std::vector<HostVariable> approach_frame(uint64_t n) {
    // Two minutes of final approach, flown again and again.
    const double t = static_cast<double>(n % approach_frames) / frames_per_second;
    // A 3-degree glideslope at 140 kt: about 740 ft/min down from 2200 ft,
    // 4.6 nm out, over ground that rises and falls a little.
    const double baro_feet = 2200.0 - 12.3 * t + 0.8 * std::sin(0.9 * t);
    const double ground_metres = 122.0 + 3.0 * std::sin(0.05 * t);
    const double altitude_metres = baro_feet / feet_per_metre + 0.4 * std::sin(1.3 * t);
    const double distance_nm = 4.6 - 140.0 / 3600.0 * t;
    return {
        {GROUND_ALTITUDE, ground_metres * 256.0},
        {DME1_DISTANCE, distance_nm},
        {DME2_DISTANCE, distance_nm + 8.25 + 0.002 * std::sin(t)},
        {LOCALIZER_DEVIATION, 6.0 * std::sin(0.21 * t)},
        {GLIDESLOPE_DEVIATION, -4.0 * std::sin(0.17 * t)},
        {AIRSPEED, 140.0 + 2.4 * std::sin(0.7 * t)},
        {MACH, 200.0 * (21.2 + 0.4 * std::sin(0.7 * t))},  // Mach .21 as 200 x hundredths
        {ALTITUDE, altitude_metres},
        {BARO_ALTITUDE, baro_feet},
        {PITCH, 2.5 + 0.6 * std::sin(0.8 * t)},
        {BANK, 4.0 * std::sin(0.3 * t)},
        {HEADING, 273.0 + 1.5 * std::sin(0.2 * t)},
        {AUTOPILOT_ENGAGED, 1.0},
        {WING_LEVELER, 0.0},
        {NAV1_HOLD, 0.0},
        {HEADING_HOLD, 1.0},
        // The crew keeps turning the FCU knobs: every target moves a little.
        {HEADING_TARGET, 273.0 + 0.4 * std::sin(0.5 * t)},
        {ALTITUDE_HOLD, 1.0},
        {ALTITUDE_TARGET, 2000.0 + 60.0 * std::sin(0.2 * t)},
        {APPROACH_HOLD, 1.0},
        {YAW_DAMPER, 1.0},
        {AIRSPEED_HOLD, 1.0},
        {AIRSPEED_TARGET, 138.0 + 0.6 * std::sin(0.4 * t)},
        {MACH_HOLD, 0.0},
        {MACH_TARGET, 0.21 + 0.004 * std::sin(0.4 * t)},
        {VS_TARGET, -740.0 + 30.0 * std::sin(0.3 * t)},
        {AUTOTHROTTLE_ARMED, 1.0},
        {DECISION_HEIGHT, 200.0 + 4.0 * std::sin(0.1 * t)},
        {PANEL_CIRCUIT_ON, 1.0},
        {FLIGHT_DIRECTOR, 1.0},
        {FD_PITCH_COMMAND, 2.8 + 0.9 * std::sin(0.6 * t)},
        {FD_BANK_COMMAND, 5.0 * std::sin(0.25 * t)},
        {GPS_DRIVES_NAV1, 0.0},
    };
}

}  // namespace orvane::bench
