// Putting the module linked into a fuzz target back to its load state between
// inputs, so that each input runs alone and a finding replays.
#pragma once

#include "host/services/module_loader.h"
#include "host/panel/panel.h"
#include "tests/hardening/invariants.h"

namespace orvane::fuzzing {

// Releases whatever the callout holds, with every platform failure switch
// off, so that an input starts clean even after one that found a fault.
void kill_sound_path();

// Cockpit state, FCU memory, the shared variable records, every element's
// image flags and the sound path back to their load values, and the host's
// main window there to be found. Every gauge must be killed.
void reset_module(const panelhost::Panel& panel, const hardening::FlagsSnapshot& flags_at_load);

}  // namespace orvane::fuzzing
