// The aircraft of the flight model: a point mass over the flat earth of the
// airfield, with the attitude, speeds and thrust of a clean jet, moved one
// fixed step at a time toward what the autopilot or the crew asks of it.
#pragma once

#include <string>

#include "host/flight/airfield.h"
#include "host/flight/flight_math.h"

namespace panelhost::flight {

// The host's update rate, and the model's one step.
inline constexpr double steps_per_second = 18.0;
inline constexpr double step_seconds = 1.0 / steps_per_second;

// A clean jet's range of indicated airspeed and Mach, and its ceiling.
inline constexpr double min_speed_kt = 110.0;
inline constexpr double max_speed_kt = 350.0;
inline constexpr double max_mach = 0.86;
inline constexpr double ceiling_ft = 45000.0;
// How far from the threshold the aircraft may be placed: far enough for any
// approach, near enough for the flat earth to hold.
inline constexpr double max_placement_nm = 250.0;
// Attitude limits: roll rate, bank under the autopilot, pitch either way.
inline constexpr double max_roll_rate_deg = 5.0;
inline constexpr double max_autopilot_bank_deg = 25.0;
inline constexpr double max_pitch_deg = 15.0;

// Where the aircraft is put: distance short of the threshold along the
// extended centreline, offset to the right of it (seen along the landing
// direction), altitude above sea level, true heading, indicated airspeed.
struct Placement {
    double distance_nm = 0.0;
    double offset_nm = 0.0;
    double altitude_ft = 0.0;
    double heading_deg = 0.0;
    double speed_kt = 0.0;
    bool operator==(const Placement&) const = default;
};

// Why the aircraft cannot be placed so, or empty. On the ground (at the
// field's elevation) it may stand still; in the air it flies within the
// clean jet's speeds.
std::string placement_problem(const Placement& placement);

struct AircraftState {
    Point position;
    double altitude_m = 0.0;
    double heading_deg = 0.0;  // true, 0 to 360
    double bank_deg = 0.0;     // right wing down positive
    double pitch_deg = 0.0;    // nose up positive
    double path_deg = 0.0;     // flight path angle, climbing positive
    double true_airspeed = 0.0;  // m/s
    double thrust = 0.0;         // thrust lever, 0 (idle) to 1 (full)
    bool on_ground = false;
};

// What the aircraft is asked for at a step. It rolls toward the bank at
// most at its roll rate, follows the flight path as a jet pitches, and its
// engines follow the thrust lever.
struct Controls {
    double bank_deg = 0.0;
    double path_deg = 0.0;
    double thrust = 0.0;
};

// The air about the aircraft and what it does to it.
struct Airdata {
    double density_ratio_sqrt;
    double speed_of_sound;       // m/s
    double indicated_airspeed;   // m/s
    double mach;
    double angle_of_attack_deg;  // pitch less flight path: what the wing needs to lift the weight
    double drag;                 // deceleration it causes, m/s2
    double full_thrust;          // acceleration at full thrust, m/s2
};

// What follows from the state, worked out once a step: the air, and the
// sines and cosines of the aircraft's angles.
struct Motion {
    Airdata air;
    SinCos heading;
    SinCos path;
    SinCos bank;
};

Motion motion_of(const AircraftState& state);

// True airspeeds (m/s) the clean jet keeps within, in that air.
struct SpeedRange {
    double lowest;
    double highest;
};
SpeedRange true_airspeed_range(const Airdata& air);

// Wings level in level flight, as placed.
AircraftState placed(const Placement& placement);

// One step of step_seconds toward the controls, from the state and its
// motion to the next state and its motion. In the air the speed stays within
// the jet's range; the first touch of the ground is the touchdown, after
// which the aircraft rolls straight on, engines at idle, and brakes to a stop.
void advance(AircraftState& state, Motion& motion, const Controls& controls);

}  // namespace panelhost::flight
