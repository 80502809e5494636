// Fuzz target: the input is a sequence of host actions (action_codec.h) run on
// the module linked in, through the panel host. After every action the host's
// view and the cockpit state are checked; a fault stops the run with the
// action that caused it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "fcu/ap_gauge.h"
#include "host/chain.h"
#include "host/host_services.h"
#include "host/module_loader.h"
#include "host/panel.h"
#include "module/cockpit.h"
#include "module/host_vars.h"
#include "module/linkage.h"
#include "platform/failure_switches.h"
#include "tests/fuzz/action_codec.h"
#include "tests/fuzz/module_reset.h"
#include "tests/hardening/invariants.h"

namespace {

using namespace orvane;

// A longer input is cut here, so that one execution stays short.
constexpr size_t max_actions = 256;

struct Harness {
    panelhost::HostServices host;
    panelhost::ModuleRecords records{&ImportTable, &Linkage, fuzzing::module_instance()};
    panelhost::Panel panel{host, records};
    hardening::FlagsSnapshot flags_at_load;

    Harness() {
        panelhost::start_module(host, records);
        flags_at_load = hardening::snapshot_flags(panel);
    }

    // Every input starts from the module as loaded and a host with nothing set.
    void reset() {
        for (const std::string& name : panel.installed_names()) panel.kill(name);
        panel.take_faults();
        host.take_key_events();
        panel.set_aircraft_model(false);
        for (const int32_t key : std::set<int32_t>(panel.active_failures())) panel.set_failure(key, false);
        for (const int32_t id : fuzzing::host_variable_ids()) host.set_var(id, 0.0);
        platform::reset_failures();
        fuzzing::reset_module(panel, flags_at_load);
    }

    void check(const fuzzing::Action* after) {
        std::vector<std::string> faults = hardening::host_view_faults(panel, host, flags_at_load);
        for (std::string& fault : hardening::cockpit_faults(cockpit)) faults.push_back(std::move(fault));
        if (faults.empty()) return;
        std::fprintf(stderr, "after %s:\n", after != nullptr ? fuzzing::describe(*after).c_str() : "killing every gauge at the end");
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
        fuzzing::apply_action(action, harness.panel, harness.host, harness.records.instance);
        harness.check(&action);
    }
    for (const std::string& name : harness.panel.installed_names()) harness.panel.kill(name);
    harness.check(nullptr);
    return 0;
}
