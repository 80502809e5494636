// What must hold of the module whatever the host does: the cockpit state
// within its ranges, and, as the host sees it, texts inside their buffers,
// only known key events with the value 0, image flags changed only in the
// hide bit, flight-director bars inside the attitude window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/services/host_services.h"
#include "host/panel/panel.h"
#include "module/cockpit.h"

namespace orvane::hardening {

// One message per field out of its range; empty when the state is sound.
std::vector<std::string> cockpit_faults(const CockpitState& state);

// The image flags of every element of every gauge, in gauge-table and chain order.
using FlagsSnapshot = std::vector<std::vector<uint32_t>>;
FlagsSnapshot snapshot_flags(const panelhost::Panel& panel);

// Everything the host can see going wrong since last asked: the panel's own
// faults (traps, damaged text buffers, broken chains), key events the module
// does not name or that carry a value, image flags other than the hide bit
// changed, slider callbacks answering a value that is not finite, the
// flight-director bars past their stops. Takes the pending key events.
std::vector<std::string> host_view_faults(panelhost::Panel& panel, panelhost::HostServices& host,
                                          const FlagsSnapshot& flags_at_start);

}  // namespace orvane::hardening
