// The autopilot the host variables describe, as the simulator runs it: the
// modes and targets the crew sets (holds and targets, written by the key
// effects), the laws that fly them, the captures of the localizer and the
// glideslope, and the flight director's commands from the same laws.
#pragma once

#include "host/flight/aircraft.h"

namespace panelhost::flight {

// The crew's settings, as the host variables hold them at a step.
struct CrewSettings {
    bool master = false;        // 103
    bool wing_leveler = false;  // 104
    bool nav1_hold = false;     // 105
    bool heading_hold = false;  // 106
    bool altitude_hold = false;  // 108
    bool approach_hold = false;  // 112
    bool airspeed_hold = false;  // 115
    bool mach_hold = false;      // 117
    bool autothrottle = false;   // 123
    double heading_target_deg = 0.0;     // 107
    double altitude_target_ft = 0.0;     // 109
    double vs_target_fpm = 0.0;          // 120
    double airspeed_target_kt = 0.0;     // 116
    double mach_target = 0.0;            // 118
};

enum class LateralLaw { none, wings_level, heading, localizer };
enum class VerticalLaw { none, altitude, glideslope, flare };
enum class SpeedLaw { none, airspeed, mach };

const char* law_name(LateralLaw law);
const char* law_name(VerticalLaw law);
const char* law_name(SpeedLaw law);

// What the autopilot remembers from step to step.
struct AutopilotMemory {
    bool localizer_captured = false;
    bool glideslope_captured = false;
    bool below_glideslope = false;  // seen below it since the approach was armed
    double held_pitch_deg = 0.0;    // the attitude kept when no law holds the pitch
};

struct Guidance {
    LateralLaw lateral = LateralLaw::none;
    VerticalLaw vertical = VerticalLaw::none;
    SpeedLaw speed = SpeedLaw::none;
    // What the laws command: the flight director shows it (nose up and right
    // wing down positive here); the aircraft flies it when the master is on.
    double bank_deg = 0.0;
    double pitch_deg = 0.0;
    Controls controls;  // what the aircraft is asked for at this step
    // A capture takes the hold it ends off: heading hold at the localizer,
    // altitude hold at the glideslope.
    bool heading_hold_ends = false;
    bool altitude_hold_ends = false;
};

// The laws at one step, with the aircraft as it stands and the radios it
// receives there. Updates the captures in memory.
Guidance guide(const CrewSettings& crew, const AircraftState& aircraft, const Motion& motion,
               const RadioReadings& radios, AutopilotMemory& memory);

// After the aircraft has moved: the attitude to keep from now on.
void remember_attitude(const Guidance& guidance, const CrewSettings& crew, const AircraftState& aircraft,
                       AutopilotMemory& memory);

}  // namespace panelhost::flight
