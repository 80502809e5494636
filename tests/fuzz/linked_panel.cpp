#include "tests/fuzz/linked_panel.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "module/cockpit.h"
#include "module/linkage.h"
#include "platform/failure_switches.h"
#include "platform/win_api.h"
#include "tests/fuzz/module_reset.h"
#include "tests/hardening/linked_module.h"
#include "units/callout_sound.h"

namespace orvane::fuzzing {

LinkedPanel::LinkedPanel()
    : records{&ImportTable, &Linkage, hardening::linked_module_instance()},
      blocks_at_start(platform::global_blocks_in_use()),
      files_at_start(platform::open_memory_files()) {}

void LinkedPanel::reset() {
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
    reset_module(*panel, flags_at_load);
}

void LinkedPanel::check(const std::string& after, bool every_gauge_killed) {
    std::vector<std::string> faults = hardening::host_view_faults(*panel, *host, flags_at_load);
    for (std::string& fault : hardening::cockpit_faults(cockpit)) faults.push_back(std::move(fault));
    if (sound_available != 0 && sound_available != 1) faults.push_back("sound_available is not 0 or 1");
    if (every_gauge_killed) {
        if (platform::live_sound_objects() != 0) faults.push_back("sound objects kept after every kill");
        if (platform::global_blocks_in_use() != blocks_at_start) faults.push_back("memory blocks kept");
        if (platform::open_memory_files() != files_at_start) faults.push_back("memory files left open");
    }
    if (faults.empty()) return;
    std::fprintf(stderr, "after %s:\n", after.c_str());
    for (const std::string& fault : faults) std::fprintf(stderr, "  %s\n", fault.c_str());
    std::abort();
}

void LinkedPanel::kill_all() {
    for (const std::string& name : panel->installed_names()) panel->kill(name);
    // A gauge installed by a bare service call gets its kill the same way.
    for (const GaugeHeader* gauge : panel->gauges()) panel->service(gauge->gauge_name, SERVICE_PRE_KILL, 0);
}

}  // namespace orvane::fuzzing
