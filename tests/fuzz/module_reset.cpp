#include "tests/fuzz/module_reset.h"

#include "fcu/ap_gauge.h"
#include "host/chain.h"
#include "module/cockpit.h"
#include "module/host_vars.h"

namespace orvane::fuzzing {

ServiceExtra module_instance() { return 0; }

void reset_module(const panelhost::Panel& panel, const hardening::FlagsSnapshot& flags_at_load) {
    cockpit = cockpit_state_at_load;
    fcu_memory = {};
    for (ModuleVar& record : shared_vars) record = ModuleVar{.id = record.id};
    const auto& gauges = panel.gauges();
    for (size_t g = 0; g < gauges.size() && g < flags_at_load.size(); ++g) {
        const std::vector<ElementHeader*> chain = panelhost::walk_chain(gauges[g]).elements;
        for (size_t i = 0; i < chain.size() && i < flags_at_load[g].size(); ++i) {
            chain[i]->image_flags = flags_at_load[g][i];
        }
    }
}

}  // namespace orvane::fuzzing
