// The bad-input matrix: every host variable the gauges read, each set to every
// class of bad value, and with it every service code on every gauge, every
// element callback (through the host and with no element), every click row
// and every mouse handler with odd points and flags, kills and installs out
// of order. After each step the host's view is checked, and whatever the
// caller can see of the module besides.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "host/services/host_services.h"
#include "host/services/module_loader.h"
#include "host/panel/panel.h"

namespace orvane::hardening {

// Faults the caller can see beyond the host's view (the cockpit state, when
// the module is linked in); empty when all holds.
using ModuleCheck = std::function<std::vector<std::string>()>;

struct MatrixResult {
    size_t cases = 0;
    size_t steps = 0;
    std::vector<std::string> faults;  // "case / step: fault", at most max_faults of them
    size_t fault_count = 0;           // all of them
};

inline constexpr size_t max_faults = 100;

// The module must be started on host. Leaves every gauge killed.
MatrixResult walk_bad_input_matrix(panelhost::Panel& panel, panelhost::HostServices& host,
                                   const panelhost::ModuleRecords& module, const ModuleCheck& module_check);

}  // namespace orvane::hardening
