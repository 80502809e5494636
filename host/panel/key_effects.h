// A small aircraft model: applies key events to the host's variables the way
// a simulator does, so that clicks on the gauges have a visible effect.
#pragma once

#include <cstdint>

namespace panelhost {

class HostServices;

// Applies one key event. Returns false for an event the model does not know,
// which changes nothing.
bool apply_key_event(HostServices& host, uint32_t event);

// Decision-height knob step, in feet.
inline constexpr double decision_height_step_ft = 10.0;

}  // namespace panelhost
