#include "host/flight/flight.h"

#include <cmath>
#include <iterator>

#include "host/base/text_format.h"
#include "host/flight/atmosphere.h"
#include "host/flight/flight_math.h"
#include "host/panel/key_effects.h"
#include "module/host_var_list.h"

namespace panelhost {

using namespace flight;
using namespace orvane;

namespace {

// The host keeps Mach in the PFD's units: 200 for a hundredth of Mach.
constexpr double mach_units = 20000.0;

// The model's variables, in the order of Variables::driven.
constexpr HostVarId driven_ids[] = {
    GROUND_ALTITUDE, DME1_DISTANCE, DME2_DISTANCE, LOCALIZER_DEVIATION, GLIDESLOPE_DEVIATION,
    AIRSPEED,        MACH,          ALTITUDE,      BARO_ALTITUDE,       PITCH,
    BANK,            HEADING,       FD_PITCH_COMMAND, FD_BANK_COMMAND,
};

// The crew's, in the order of Variables::crew.
constexpr HostVarId crew_ids[] = {
    AUTOPILOT_ENGAGED, WING_LEVELER,   NAV1_HOLD,       HEADING_HOLD,   ALTITUDE_HOLD,
    APPROACH_HOLD,     AIRSPEED_HOLD,  MACH_HOLD,       AUTOTHROTTLE_ARMED,
    HEADING_TARGET,    ALTITUDE_TARGET, VS_TARGET,      AIRSPEED_TARGET, MACH_TARGET,
};
static_assert(std::size(driven_ids) == 14 && std::size(crew_ids) == 14);

}  // namespace

bool model_drives(int32_t var) {
    for (const HostVarId id : driven_ids) {
        if (id == var) return true;
    }
    return false;
}

int64_t flight_steps(double seconds) {
    const double steps = std::round(seconds * steps_per_second);
    // None for no time (or not a number); a bound far beyond any flight.
    if (!(steps > 0.0)) return 0;
    return steps < 1e15 ? static_cast<int64_t>(steps) : static_cast<int64_t>(1e15);
}

Flight::Flight(const Placement& placement) { place(placement); }

void Flight::place(const Placement& placement) {
    aircraft_ = placed(placement);
    motion_ = motion_of(aircraft_);
    memory_ = AutopilotMemory{.held_pitch_deg = aircraft_.pitch_deg};
    guidance_ = Guidance{.bank_deg = aircraft_.bank_deg,
                         .pitch_deg = aircraft_.pitch_deg,
                         .controls = {.bank_deg = 0.0, .path_deg = 0.0, .thrust = aircraft_.thrust}};
    radios_ = radio_readings(aircraft_.position, aircraft_.altitude_m);
}

Flight::Variables& Flight::variables(HostServices& host) {
    if (variables_.host != &host) {
        variables_.host = &host;
        for (size_t i = 0; i < std::size(crew_ids); ++i) variables_.crew[i] = &host.variable(crew_ids[i]);
        for (size_t i = 0; i < std::size(driven_ids); ++i) variables_.driven[i] = &host.variable(driven_ids[i]);
    }
    return variables_;
}

CrewSettings Flight::crew_settings() const {
    double* const* v = variables_.crew;
    return {.master = hold_engaged(*v[0]),
            .wing_leveler = hold_engaged(*v[1]),
            .nav1_hold = hold_engaged(*v[2]),
            .heading_hold = hold_engaged(*v[3]),
            .altitude_hold = hold_engaged(*v[4]),
            .approach_hold = hold_engaged(*v[5]),
            .airspeed_hold = hold_engaged(*v[6]),
            .mach_hold = hold_engaged(*v[7]),
            .autothrottle = hold_engaged(*v[8]),
            .heading_target_deg = *v[9],
            .altitude_target_ft = *v[10],
            .vs_target_fpm = *v[11],
            .airspeed_target_kt = *v[12],
            .mach_target = *v[13]};
}

void Flight::step(HostServices& host) {
    Variables& v = variables(host);
    const CrewSettings crew = crew_settings();
    guidance_ = guide(crew, aircraft_, motion_, radios_, memory_);
    if (guidance_.heading_hold_ends) *v.crew[3] = 0.0;
    if (guidance_.altitude_hold_ends) *v.crew[4] = 0.0;
    advance(aircraft_, motion_, guidance_.controls);
    remember_attitude(guidance_, crew, aircraft_, memory_);
    radios_ = radio_readings(aircraft_.position, aircraft_.altitude_m);
    write(host);
}

void Flight::write(HostServices& host) const {
    const Airdata& air = motion_.air;
    // The host's attitude: pitch positive nose down, bank positive left wing
    // down; the flight director's commands the same way.
    const double values[] = {
        field_elevation_ft * metres_per_foot * 256.0,
        radios_.dme1_nm,
        radios_.dme2_nm,
        radios_.localizer,
        radios_.glideslope,
        air.indicated_airspeed / metres_per_second_per_knot,
        air.mach * mach_units,
        aircraft_.altitude_m,
        aircraft_.altitude_m / metres_per_foot,
        -aircraft_.pitch_deg,
        -aircraft_.bank_deg,
        aircraft_.heading_deg,
        -guidance_.pitch_deg,
        -guidance_.bank_deg,
    };
    static_assert(std::size(values) == std::size(driven_ids));
    if (variables_.host == &host) {
        for (size_t i = 0; i < std::size(values); ++i) *variables_.driven[i] = values[i];
    } else {
        for (size_t i = 0; i < std::size(values); ++i) host.set_var(driven_ids[i], values[i]);
    }
}

double Flight::indicated_airspeed_kt() const { return motion_.air.indicated_airspeed / metres_per_second_per_knot; }

double Flight::vertical_speed_fpm() const {
    const AircraftState& a = aircraft_;
    return a.on_ground ? 0.0 : a.true_airspeed * motion_.path.sin * feet_per_minute_per_metre_per_second;
}

std::string Flight::describe() const {
    const AircraftState& a = aircraft_;
    const double vs = vertical_speed_fpm();
    return "aircraft east " + format_number(a.position.east) + " north " + format_number(a.position.north) +
           " altitude " + format_number(a.altitude_m / metres_per_foot) + " heading " + format_number(a.heading_deg) +
           " bank " + format_number(a.bank_deg) + " pitch " + format_number(a.pitch_deg) + " speed " +
           format_number(indicated_airspeed_kt()) + " vs " + format_number(vs) +
           " thrust " + format_number(a.thrust) + (a.on_ground ? " on-ground" : "") + " laws " +
           law_name(guidance_.lateral) + " " + law_name(guidance_.vertical) + " " + law_name(guidance_.speed);
}

void fly_frame(Flight& flight, HostServices& host, Panel& panel, Trace* trace) {
    flight.step(host);
    panel.update();
    if (trace != nullptr) trace->line(1, flight.describe());
}

}  // namespace panelhost
