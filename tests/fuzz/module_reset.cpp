#include "tests/fuzz/module_reset.h"

#include "fcu/ap_gauge.h"
#include "host/services/chain.h"
#include "module/cockpit.h"
#include "module/host_vars.h"
#include "module/linkage.h"
#include "platform/failure_switches.h"
#include "platform/win_api.h"
#include "tests/hardening/linked_module.h"
#include "units/callout.h"
#include "units/callout_sound.h"

namespace orvane::fuzzing {

void kill_sound_path() {
    platform::reset_failures();
    sound_available = 1;  // so that the kill releases what an install left
    callout_kill();
}

void reset_module(const panelhost::Panel& panel, const hardening::FlagsSnapshot& flags_at_load) {
    kill_sound_path();
    platform::clear_sound_log();
    sound_available = 1;
    host_main_window = nullptr;
    orvane::module_instance = nullptr;
    platform::set_main_window_class("FS98MAIN");
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
