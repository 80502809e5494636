#include "host/flight/aircraft.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "host/base/text_format.h"
#include "host/flight/atmosphere.h"
#include "host/flight/flight_math.h"

namespace panelhost::flight {
namespace {

// The wing: the angle of attack it needs to carry the weight at 1 g goes as
// one over the indicated airspeed squared, 2.5 degrees at 220 kt.
constexpr double reference_alpha_deg = 2.5;
constexpr double reference_speed = 220.0 * metres_per_second_per_knot;
// Drag: a parabolic polar whose best lift over drag, 17, is at 220 kt.
constexpr double best_lift_over_drag = 17.0;
constexpr double minimum_drag_speed = 220.0 * metres_per_second_per_knot;
// Full thrust at sea level, as an acceleration; it falls with the density.
constexpr double sea_level_full_thrust = 3.2;  // m/s2
// How fast the aircraft answers: roll toward a bank (time constant, seconds),
// the flight path toward the one asked for (time constant, and at most this
// many degrees a second), the engines toward the thrust lever (this much of
// its travel a second).
constexpr double roll_time_constant = 0.8;
constexpr double path_time_constant = 1.2;
constexpr double max_path_rate_deg = 1.5;
constexpr double spool_rate = 0.25;
// On the runway: the brakes, and the nose lowered after touchdown.
constexpr double braking = 2.0;  // m/s2
constexpr double derotation_rate_deg = 2.0;
// Below this the aircraft is not flying, and the wing's figures mean nothing.
constexpr double flying_speed = 60.0 * metres_per_second_per_knot;

double toward(double value, double target, double max_change) {
    return value + std::clamp(target - value, -max_change, max_change);
}

std::string number(double value) { return format_number(value); }

Airdata airdata(const AircraftState& state, const SinCos& bank) {
    const Air air = standard_air(state.altitude_m);
    const double sqrt_sigma = air.density_ratio_sqrt;
    const double indicated = state.true_airspeed * sqrt_sigma;
    Airdata data{.density_ratio_sqrt = sqrt_sigma,
                 .speed_of_sound = air.speed_of_sound,
                 .indicated_airspeed = indicated,
                 .mach = state.true_airspeed / air.speed_of_sound,
                 .angle_of_attack_deg = 0.0,
                 .drag = 0.0,
                 .full_thrust = sea_level_full_thrust * air.density_ratio};
    const double q = (indicated / minimum_drag_speed) * (indicated / minimum_drag_speed);
    const double drag_scale = gravity / (2.0 * best_lift_over_drag);
    if (state.on_ground || indicated < flying_speed) {
        // Rolling: the wing carries nothing, only the parasite drag is left.
        data.drag = drag_scale * q;
        return data;
    }
    // Load factor in a level turn, 1 / cos(bank).
    const double load = 1.0 / bank.cos;
    const double speed_ratio = reference_speed / indicated;
    data.angle_of_attack_deg = reference_alpha_deg * load * speed_ratio * speed_ratio;
    data.drag = drag_scale * (q + load * load / q);
    return data;
}

}  // namespace

Motion motion_of(const AircraftState& state) {
    Motion m{.air = {},
             .heading = sin_cos(state.heading_deg * radians_per_degree),
             .path = sin_cos(state.path_deg * radians_per_degree),
             .bank = sin_cos(state.bank_deg * radians_per_degree)};
    m.air = airdata(state, m.bank);
    return m;
}

SpeedRange true_airspeed_range(const Airdata& air) {
    const double sqrt_sigma = air.density_ratio_sqrt;
    const double highest = max_speed_kt * metres_per_second_per_knot / sqrt_sigma;
    const double mach_limit = max_mach * air.speed_of_sound;
    return {.lowest = min_speed_kt * metres_per_second_per_knot / sqrt_sigma,
            .highest = highest < mach_limit ? highest : mach_limit};
}

std::string placement_problem(const Placement& p) {
    const auto finite = [](double v) { return std::isfinite(v); };
    if (!finite(p.distance_nm) || std::fabs(p.distance_nm) > max_placement_nm) {
        return "distance " + number(p.distance_nm) + " nm is not within " + number(max_placement_nm) +
               " nm of the threshold";
    }
    if (!finite(p.offset_nm) || std::fabs(p.offset_nm) > max_placement_nm) {
        return "offset " + number(p.offset_nm) + " nm is not within " + number(max_placement_nm) +
               " nm of the centreline";
    }
    if (!finite(p.altitude_ft) || p.altitude_ft < field_elevation_ft || p.altitude_ft > ceiling_ft) {
        return "altitude " + number(p.altitude_ft) + " ft is outside " + number(field_elevation_ft) +
               " ft (the field's elevation) to " + number(ceiling_ft) + " ft";
    }
    if (!finite(p.heading_deg) || p.heading_deg < 0.0 || p.heading_deg > 360.0) {
        return "heading " + number(p.heading_deg) + " is outside 0 to 360 degrees";
    }
    const bool on_ground = p.altitude_ft == field_elevation_ft;
    const double lowest = on_ground ? 0.0 : min_speed_kt;
    if (!finite(p.speed_kt) || p.speed_kt < lowest || p.speed_kt > max_speed_kt) {
        return "speed " + number(p.speed_kt) + " kt is outside " + number(lowest) + " to " + number(max_speed_kt) +
               " kt" + (on_ground ? " on the ground" : " in the air (0 on the ground)");
    }
    const double mach = motion_of(placed(p)).air.mach;
    if (mach > max_mach) {
        char text[160];
        std::snprintf(text, sizeof text, "speed %s kt at %s ft is Mach %.3f, beyond the jet's Mach %.2f",
                      number(p.speed_kt).c_str(), number(p.altitude_ft).c_str(), mach, max_mach);
        return text;
    }
    return {};
}

AircraftState placed(const Placement& p) {
    AircraftState state;
    state.position = approach_point(p.distance_nm, p.offset_nm);
    state.altitude_m = p.altitude_ft * metres_per_foot;
    state.heading_deg = wrap_360(p.heading_deg);
    state.on_ground = p.altitude_ft <= field_elevation_ft;
    const double sqrt_sigma = standard_air(state.altitude_m).density_ratio_sqrt;
    state.true_airspeed = p.speed_kt * metres_per_second_per_knot / sqrt_sigma;
    if (!state.on_ground) {
        // Trimmed for level flight: the pitch the wing needs, the thrust that
        // balances the drag.
        const Airdata air = motion_of(state).air;
        state.pitch_deg = air.angle_of_attack_deg;
        state.thrust = std::clamp(air.drag / air.full_thrust, 0.0, 1.0);
    }
    return state;
}

namespace {

void roll_on_ground(AircraftState& s, Motion& m) {
    s.bank_deg = 0.0;
    s.path_deg = 0.0;
    s.pitch_deg = toward(s.pitch_deg, 0.0, derotation_rate_deg * step_seconds);
    s.thrust = toward(s.thrust, 0.0, spool_rate * step_seconds);
    s.true_airspeed -= (braking + m.air.drag) * step_seconds;
    if (s.true_airspeed < 0.0) s.true_airspeed = 0.0;
    s.position.east += s.true_airspeed * m.heading.sin * step_seconds;
    s.position.north += s.true_airspeed * m.heading.cos * step_seconds;
    m = motion_of(s);
}

}  // namespace

void advance(AircraftState& s, Motion& m, const Controls& c) {
    if (s.on_ground) return roll_on_ground(s, m);
    const Airdata& air = m.air;

    const double roll_rate =
        std::clamp((c.bank_deg - s.bank_deg) / roll_time_constant, -max_roll_rate_deg, max_roll_rate_deg);
    s.bank_deg += roll_rate * step_seconds;
    const double path_rate =
        std::clamp((c.path_deg - s.path_deg) / path_time_constant, -max_path_rate_deg, max_path_rate_deg);
    s.path_deg += path_rate * step_seconds;
    // The pitch is the path plus what the wing needs; the limits bound both.
    const double alpha = air.angle_of_attack_deg;
    s.path_deg = std::clamp(s.path_deg, -max_pitch_deg - alpha, max_pitch_deg - alpha);
    s.pitch_deg = s.path_deg + alpha;
    s.thrust = std::clamp(toward(s.thrust, c.thrust, spool_rate * step_seconds), 0.0, 1.0);

    m.path = sin_cos(s.path_deg * radians_per_degree);
    const double excess = air.full_thrust * s.thrust - air.drag;
    s.true_airspeed += (excess - gravity * m.path.sin) * step_seconds;
    const SpeedRange range = true_airspeed_range(air);
    // At either end of its speeds the jet trades height for speed instead:
    // its path becomes the one that the thrust holds the speed on, no
    // steeper up at the slowest, none steeper down at the fastest.
    const bool slowest = s.true_airspeed < range.lowest;
    if (slowest || s.true_airspeed > range.highest) {
        s.true_airspeed = slowest ? range.lowest : range.highest;
        const double held = std::clamp(excess / gravity, -1.0, 1.0) * degrees_per_radian;
        if (slowest ? s.path_deg > held : s.path_deg < held) {
            s.path_deg = std::clamp(held, -max_pitch_deg - alpha, max_pitch_deg - alpha);
            s.pitch_deg = s.path_deg + alpha;
            m.path = sin_cos(s.path_deg * radians_per_degree);
        }
    }

    // A coordinated turn: rate g tan(bank) / V.
    m.bank = sin_cos(s.bank_deg * radians_per_degree);
    const double turn_rate = gravity * m.bank.sin / (m.bank.cos * s.true_airspeed);
    s.heading_deg = wrap_360(s.heading_deg + turn_rate * degrees_per_radian * step_seconds);

    m.heading = sin_cos(s.heading_deg * radians_per_degree);
    const double horizontal = s.true_airspeed * m.path.cos;
    s.position.east += horizontal * m.heading.sin * step_seconds;
    s.position.north += horizontal * m.heading.cos * step_seconds;
    s.altitude_m += s.true_airspeed * m.path.sin * step_seconds;

    const double field_m = field_elevation_ft * metres_per_foot;
    if (s.altitude_m <= field_m) {
        s.altitude_m = field_m;
        s.on_ground = true;
        s.path_deg = 0.0;
        s.bank_deg = 0.0;
        m.path = sin_cos(0.0);
        m.bank = sin_cos(0.0);
    }
    m.air = airdata(s, m.bank);
}

}  // namespace panelhost::flight
