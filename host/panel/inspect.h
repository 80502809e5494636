// The panel designer's view of a module: its gauge table, each gauge's element
// chain with every parameter the host reads, and its mouse table.
#pragma once

#include <string>

#include "host/services/module_loader.h"

namespace panelhost {

// The whole view, or with linkage_only the module and gauge table alone.
// Faults found by validate_module are listed at the end.
std::string inspect_module(const ModuleRecords& module, bool linkage_only);

}  // namespace panelhost
