// Putting the module linked into a fuzz target back to its load state between
// inputs, so that each input runs alone and a finding replays.
#pragma once

#include "host/module_loader.h"
#include "host/panel.h"
#include "tests/hardening/invariants.h"

namespace orvane::fuzzing {

// The instance handle the host passes at install for the module linked in.
ServiceExtra module_instance();

// Cockpit state, FCU memory, the shared variable records and every element's
// image flags back to their load values. Every gauge must be killed.
void reset_module(const panelhost::Panel& panel, const hardening::FlagsSnapshot& flags_at_load);

}  // namespace orvane::fuzzing
