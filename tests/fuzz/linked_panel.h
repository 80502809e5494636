// The module linked into a fuzz target, on a panel of a host of its own: each
// input starts from the module as loaded and a new host that has nothing set,
// logged or failed; after it, the host's view, the cockpit state and the
// sound path are checked, and a fault stops the target.
#pragma once

#include <memory>
#include <string>

#include "host/panel/panel.h"
#include "host/services/host_services.h"
#include "host/services/module_loader.h"
#include "tests/hardening/invariants.h"

namespace orvane::fuzzing {

struct LinkedPanel {
    LinkedPanel();

    panelhost::ModuleRecords records;
    std::unique_ptr<panelhost::HostServices> host;
    std::unique_ptr<panelhost::Panel> panel;
    hardening::FlagsSnapshot flags_at_load;
    int blocks_at_start;
    int files_at_start;

    void reset();
    // Aborts with every fault found, said after what caused them. With
    // every_gauge_killed, the sound path must also have given back all it took.
    void check(const std::string& after, bool every_gauge_killed = false);
    // Kills every gauge, installed or started by a bare service call alone.
    void kill_all();
};

}  // namespace orvane::fuzzing
