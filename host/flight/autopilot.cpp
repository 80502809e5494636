#include "host/flight/autopilot.h"

#include <algorithm>
#include <cmath>

#include "host/flight/atmosphere.h"
#include "host/flight/flight_math.h"

namespace panelhost::flight {
namespace {

// Heading: the turn rate asked for is the heading error over this time near
// the target; further off, no more than lets the bank come off at half the
// roll rate by the time the error has closed.
constexpr double heading_time_constant = 3.0;  // s
// Localizer: the intercept angle is the distance off the centreline over
// this time, at most 30 degrees.
constexpr double localizer_time_constant = 15.0;  // s
constexpr double max_intercept_deg = 30.0;
// Altitude: beyond the capture zone the aircraft climbs or descends at the
// vertical-speed target's magnitude, or this when it is 0; within it, at
// that rate scaled by the distance to go over the zone's depth: 100 ft, or
// what that rate covers in 4 s when more, so that a steep one is not
// overshot.
constexpr double default_vertical_speed_fpm = 1500.0;
constexpr double altitude_capture_m = 100.0 * metres_per_foot;
constexpr double altitude_capture_time = 4.0;  // s
// Glideslope: the glideslope's own descent, less the height off it over this
// time; captured once the aircraft, from below, is closer to it than its
// descent over that time. Flown between these vertical speeds.
constexpr double glideslope_time_constant = 5.0;  // s
constexpr double min_capture_band_m = 10.0;
constexpr double glideslope_lowest_vs = -2500.0 / feet_per_minute_per_metre_per_second;
constexpr double glideslope_highest_vs = 1000.0 / feet_per_minute_per_metre_per_second;
// The flare, below 40 ft over the runway: the sink falls with the height, to
// 100 ft/min at touchdown.
constexpr double flare_height_m = 40.0 * metres_per_foot;
constexpr double flare_time_constant = 4.0;  // s
constexpr double touchdown_sink = 100.0 / feet_per_minute_per_metre_per_second;
// Speed: the acceleration asked for is the speed error over this time, within
// what a crew would accept.
constexpr double speed_time_constant = 4.0;  // s
constexpr double max_speed_change = 0.7;     // m/s2

double tan_glideslope() {
    static const double value = tan(glideslope_deg * radians_per_degree);
    return value;
}

// The bank that turns toward a heading, the short way; a heading that is no
// number (or no finite one) is none, and the wings roll level.
double bank_toward(double heading_deg, const AircraftState& a) {
    if (!std::isfinite(heading_deg)) return 0.0;
    const double error = wrap_180(heading_deg - a.heading_deg);
    // Rolling at half the roll rate changes the turn rate by this much a
    // second (degrees a second, each second): g / V times the roll rate.
    const double easing = 0.5 * max_roll_rate_deg * gravity / a.true_airspeed;
    const double eased = std::sqrt(2.0 * easing * std::fabs(error));
    const double linear = std::fabs(error) / heading_time_constant;
    const double rate = std::copysign(linear < eased ? linear : eased, error) * radians_per_degree;
    const double bank = atan(rate * a.true_airspeed / gravity) * degrees_per_radian;
    return std::clamp(bank, -max_autopilot_bank_deg, max_autopilot_bank_deg);
}

struct Lateral {
    LateralLaw law = LateralLaw::none;
    double bank_deg = 0.0;
};

Lateral lateral_law(const CrewSettings& crew, const AircraftState& a, const RadioReadings& radios,
                    AutopilotMemory& memory, bool& heading_hold_ends) {
    const bool armed = crew.nav1_hold || crew.approach_hold;
    if (!armed) memory.localizer_captured = false;
    const double across = approach_of(a.position).right_of_course_m;
    const double intercept = wrap_180(a.heading_deg - runway_course_deg);
    const double wanted =
        -std::clamp(across / (localizer_time_constant * a.true_airspeed) * degrees_per_radian, -max_intercept_deg,
               max_intercept_deg);
    if (armed && !memory.localizer_captured && std::fabs(radios.localizer) < localizer_full_scale) {
        // Alive. While the aircraft closes on the centreline more steeply
        // than the law would, its heading brings it in; else the law takes over.
        const bool closing = across * intercept < 0.0;
        if (!closing || std::fabs(wanted) <= std::fabs(intercept)) {
            memory.localizer_captured = true;
            heading_hold_ends = crew.heading_hold;
        }
    }
    if (armed && memory.localizer_captured) {
        return {LateralLaw::localizer, bank_toward(runway_course_deg + wanted, a)};
    }
    if (crew.heading_hold) return {LateralLaw::heading, bank_toward(crew.heading_target_deg, a)};
    if (crew.wing_leveler) return {LateralLaw::wings_level, 0.0};
    return {LateralLaw::none, std::clamp(a.bank_deg, -max_autopilot_bank_deg, max_autopilot_bank_deg)};
}

struct Vertical {
    VerticalLaw law = VerticalLaw::none;
    double vertical_speed = 0.0;  // m/s, for every law but none
};

Vertical vertical_law(const CrewSettings& crew, const AircraftState& a, const Motion& m, const RadioReadings& radios,
                      AutopilotMemory& memory, bool& altitude_hold_ends) {
    if (!crew.approach_hold) {
        memory.glideslope_captured = false;
        memory.below_glideslope = false;
    }
    const bool coupled = crew.approach_hold && memory.localizer_captured;
    if (coupled) {
        const Point p = a.position;
        const double ground = std::sqrt(p.east * p.east + p.north * p.north);
        const double height = a.altitude_m - field_elevation_ft * metres_per_foot;
        const double off = height - ground * tan_glideslope();
        // The glideslope's own vertical speed where the aircraft flies: its
        // rate of closing on the threshold times the slope.
        const double horizontal = a.true_airspeed * m.path.cos;
        const double closing =
            ground > 1.0 ? (p.east * m.heading.sin + p.north * m.heading.cos) * horizontal / ground : -horizontal;
        const double slope_vs = closing * tan_glideslope();
        if (!memory.glideslope_captured) {
            if (off < 0.0) memory.below_glideslope = true;
            const double band = std::fmax(std::fabs(slope_vs) * glideslope_time_constant, min_capture_band_m);
            if (memory.below_glideslope && off >= -band && std::fabs(radios.glideslope) < glideslope_full_scale) {
                memory.glideslope_captured = true;
                altitude_hold_ends = crew.altitude_hold;
            }
        }
        if (memory.glideslope_captured) {
            // The glideslope meets the runway at the threshold; the flare
            // leaves it for the runway beyond.
            if (height < flare_height_m) {
                return {VerticalLaw::flare, -(height / flare_time_constant + touchdown_sink)};
            }
            return {VerticalLaw::glideslope,
                    std::clamp(slope_vs - off / glideslope_time_constant, glideslope_lowest_vs, glideslope_highest_vs)};
        }
    }
    if (crew.altitude_hold) {
        // A vertical speed of 0, or of no finite number, is none.
        const double set = std::fabs(crew.vs_target_fpm);
        const double magnitude =
            (set > 0.0 && std::isfinite(set) ? set : default_vertical_speed_fpm) / feet_per_minute_per_metre_per_second;
        // An altitude that is not a number is none: the aircraft levels off.
        const double to_go =
            std::isnan(crew.altitude_target_ft) ? 0.0 : crew.altitude_target_ft * metres_per_foot - a.altitude_m;
        const double zone = std::fmax(altitude_capture_m, magnitude * altitude_capture_time);
        return {VerticalLaw::altitude, magnitude * std::clamp(to_go / zone, -1.0, 1.0)};
    }
    return {};
}

struct Speed {
    SpeedLaw law = SpeedLaw::none;
    double thrust = 0.0;
};

Speed speed_law(const CrewSettings& crew, const AircraftState& a, const Motion& m) {
    const Airdata& air = m.air;
    if (!crew.autothrottle || !(crew.mach_hold || crew.airspeed_hold)) return {SpeedLaw::none, a.thrust};
    // With both holds on, Mach: the mode the PFD annunciates.
    const SpeedLaw law = crew.mach_hold ? SpeedLaw::mach : SpeedLaw::airspeed;
    const SpeedRange range = true_airspeed_range(air);
    const double wanted = law == SpeedLaw::mach
                              ? crew.mach_target * air.speed_of_sound
                              : crew.airspeed_target_kt * metres_per_second_per_knot / air.density_ratio_sqrt;
    // A target that is not a number is no target: the speed stays.
    const double target = std::isnan(wanted) ? a.true_airspeed : std::clamp(wanted, range.lowest, range.highest);
    const double change =
        std::clamp((target - a.true_airspeed) / speed_time_constant, -max_speed_change, max_speed_change);
    // The thrust that gives that change against the drag and the climb.
    const double climb = gravity * m.path.sin;
    return {law, std::clamp((change + air.drag + climb) / air.full_thrust, 0.0, 1.0)};
}

}  // namespace

const char* law_name(LateralLaw law) {
    switch (law) {
    case LateralLaw::wings_level: return "wings-level";
    case LateralLaw::heading: return "heading";
    case LateralLaw::localizer: return "localizer";
    default: return "none";
    }
}

const char* law_name(VerticalLaw law) {
    switch (law) {
    case VerticalLaw::altitude: return "altitude";
    case VerticalLaw::glideslope: return "glideslope";
    case VerticalLaw::flare: return "flare";
    default: return "none";
    }
}

const char* law_name(SpeedLaw law) {
    switch (law) {
    case SpeedLaw::airspeed: return "airspeed";
    case SpeedLaw::mach: return "mach";
    default: return "none";
    }
}

Guidance guide(const CrewSettings& crew, const AircraftState& a, const Motion& m, const RadioReadings& radios,
               AutopilotMemory& memory) {
    Guidance g;
    if (a.on_ground) {
        // Rolling out: nothing to fly; the commands stand on the attitude.
        g.bank_deg = a.bank_deg;
        g.pitch_deg = a.pitch_deg;
        g.controls = {.bank_deg = a.bank_deg, .path_deg = a.path_deg, .thrust = a.thrust};
        return g;
    }
    const double alpha = m.air.angle_of_attack_deg;

    const Lateral lateral = lateral_law(crew, a, radios, memory, g.heading_hold_ends);
    g.lateral = lateral.law;
    g.bank_deg = lateral.bank_deg;

    const Vertical vertical = vertical_law(crew, a, m, radios, memory, g.altitude_hold_ends);
    g.vertical = vertical.law;
    double path = vertical.law == VerticalLaw::none ? memory.held_pitch_deg - alpha
                                                    : vertical.vertical_speed / a.true_airspeed * degrees_per_radian;
    path = std::clamp(path, -max_pitch_deg - alpha, max_pitch_deg - alpha);
    g.pitch_deg = path + alpha;

    // The aircraft flies the laws with the master on; without it, it keeps
    // its attitude.
    g.controls.bank_deg = crew.master ? g.bank_deg : a.bank_deg;
    g.controls.path_deg = crew.master ? path : memory.held_pitch_deg - alpha;

    const Speed speed = speed_law(crew, a, m);
    g.speed = speed.law;
    g.controls.thrust = speed.thrust;
    return g;
}

void remember_attitude(const Guidance& g, const CrewSettings& crew, const AircraftState& a, AutopilotMemory& memory) {
    if (a.on_ground || (crew.master && g.vertical != VerticalLaw::none)) memory.held_pitch_deg = a.pitch_deg;
}

}  // namespace panelhost::flight
