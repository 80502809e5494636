// A small aircraft model: applies key events to the host's variables the way
// a simulator does, so that clicks on the gauges have a visible effect.
#pragma once

#include <cstdint>

namespace panelhost {

class HostServices;

// Applies one key event. Returns false for an event the model does not know,
// which changes nothing.
bool apply_key_event(HostServices& host, uint32_t event);

// A hold counts as engaged unless it is zero; NaN, which is no engagement a
// simulator would report, counts as zero as it does for the gauges.
inline bool hold_engaged(double value) { return value < 0.0 || value > 0.0; }

// Decision-height knob step, in feet.
inline constexpr double decision_height_step_ft = 10.0;

}  // namespace panelhost
