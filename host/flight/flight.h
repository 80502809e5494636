// The flight model in the host: the aircraft over the airfield, flown by the
// autopilot that the host variables describe, writing back the variables a
// simulator keeps for its aircraft. Scenarios place it and fly it; anything
// else that flies the panel (a live window) steps it the same way.
#pragma once

#include <cstdint>
#include <string>

#include "host/flight/aircraft.h"
#include "host/flight/autopilot.h"
#include "host/panel/panel.h"
#include "host/panel/trace.h"
#include "host/services/host_services.h"

namespace panelhost {

class Flight {
public:
    // The placement must be one placement_problem finds nothing wrong with.
    explicit Flight(const flight::Placement& placement);

    // Puts the aircraft anew, and forgets the autopilot's captures.
    void place(const flight::Placement& placement);
    // One step of 1/18 s: the crew's settings read from the host, the laws
    // flown, the captures' ends of holds and every variable the model drives
    // written back.
    void step(HostServices& host);
    // Writes every variable the model drives, as the aircraft stands.
    void write(HostServices& host) const;

    const flight::AircraftState& aircraft() const { return aircraft_; }
    const flight::Guidance& guidance() const { return guidance_; }
    const flight::RadioReadings& radios() const { return radios_; }
    const flight::Motion& motion() const { return motion_; }
    // Indicated airspeed in knots, and the vertical speed in feet a minute
    // (0 on the ground), as the trace gives them.
    double indicated_airspeed_kt() const;
    double vertical_speed_fpm() const;
    // The aircraft and the laws flying it, in the trace's words.
    std::string describe() const;

private:
    // The host's variables the model reads and writes, found once a host.
    struct Variables {
        HostServices* host = nullptr;
        double* crew[14] = {};
        double* driven[14] = {};
    };
    Variables& variables(HostServices& host);
    flight::CrewSettings crew_settings() const;

    flight::AircraftState aircraft_;
    flight::Motion motion_{};
    flight::AutopilotMemory memory_;
    flight::Guidance guidance_;
    flight::RadioReadings radios_{};
    Variables variables_;
};

// The host variables the model writes at every step.
bool model_drives(int32_t var);

// Whole steps in a time: 18 a second, to the nearest; 0 for none.
int64_t flight_steps(double seconds);

// One frame as `fly` runs it: the model's step, then a full update of every
// installed gauge, then the aircraft's line in the trace.
void fly_frame(Flight& flight, HostServices& host, Panel& panel, Trace* trace);

}  // namespace panelhost
