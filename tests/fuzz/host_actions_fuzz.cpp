// Fuzz target: the input is a sequence of host actions (action_codec.h) run on
// the module linked in, through the panel host. After every action the host's
// view and the cockpit state are checked; a fault stops the run with the
// action that caused it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "fcu/ap_gauge.h"
#include "host/services/chain.h"
#include "host/services/host_services.h"
#include "host/services/module_loader.h"
#include "host/panel/panel.h"
#include "module/cockpit.h"
#include "module/host_vars.h"
#include "module/linkage.h"
#include "platform/failure_switches.h"
#include "platform/win_api.h"
#include "units/callout_sound.h"
#include "tests/fuzz/action_codec.h"
#include "tests/fuzz/module_reset.h"
#include "tests/hardening/invariants.h"
#include "tests/hardening/linked_module.h"

namespace {

using namespace orvane;

// A longer input is cut here, so that one execution stays short.
constexpr size_t max_actions = 256;

struct Harness {
    panelhost::ModuleRecords records{&ImportTable, &Linkage, hardening::linked_module_instance()};
    std::unique_ptr<panelhost::HostServices> host;
    std::unique_ptr<panelhost::Panel> panel;
    hardening::FlagsSnapshot flags_at_load;
    int blocks_at_start = platform::global_blocks_in_use();
    int files_at_start = platform::open_memory_files();

    // Every input starts from the module as loaded, and a new host that has
    // nothing set, logged or failed.
    void reset() {
        if (panel) {
            for (const std::string& name : panel->installed_names()) panel->kill(name);
        }
        panel.reset();
        if (host) panelhost::stop_module(*host, records);
        host = std::make_unique<panelhost::HostServices>();
        panelhost::start_module(*host, records);
        panel = std::make_unique<panelhost::Panel>(*host, records);
        if (flags_at_load.empty()) flags_at_load = hardening::snapshot_flags(*panel);
        platform::reset_failures();
        fuzzing::reset_module(*panel, flags_at_load);
    }

    void check(const fuzzing::Action* after, bool every_gauge_killed = false) {
        std::vector<std::string> faults = hardening::host_view_faults(*panel, *host, flags_at_load);
        for (std::string& fault : hardening::cockpit_faults(cockpit)) faults.push_back(std::move(fault));
        if (sound_available != 0 && sound_available != 1) faults.push_back("sound_available is not 0 or 1");
        if (every_gauge_killed) {
            if (platform::live_sound_objects() != 0) faults.push_back("sound objects kept after every kill");
            if (platform::global_blocks_in_use() != blocks_at_start) faults.push_back("memory blocks kept");
            if (platform::open_memory_files() != files_at_start) faults.push_back("memory files left open");
        }
        if (faults.empty()) return;
        std::fprintf(stderr, "after %s:\n",
                     after != nullptr ? fuzzing::describe(*after).c_str() : "killing every gauge at the end");
        for (const std::string& fault : faults) std::fprintf(stderr, "  %s\n", fault.c_str());
        std::abort();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Harness harness;
    harness.reset();
    std::span<const uint8_t> input(data, size);
    fuzzing::Action action;
    for (size_t n = 0; n < max_actions && fuzzing::decode_action(input, action); ++n) {
        fuzzing::apply_action(action, *harness.panel, *harness.host, harness.records);
        harness.check(&action);
    }
    for (const std::string& name : harness.panel->installed_names()) harness.panel->kill(name);
    // A gauge installed by a bare service call gets its kill the same way.
    for (const GaugeHeader* gauge : harness.panel->gauges()) {
        harness.panel->service(gauge->gauge_name, SERVICE_PRE_KILL, 0);
    }
    harness.check(nullptr, true);
    return 0;
}
