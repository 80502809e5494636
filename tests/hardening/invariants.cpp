#include "tests/hardening/invariants.h"

#include <cmath>

#include "host/services/chain.h"
#include "host/services/names.h"
#include "module/glideslope_angle.h"
#include "module/key_event_list.h"
#include "pfd/pfd_gauge.h"
#include "units/units.h"

namespace orvane::hardening {
namespace {

bool is_flag(int32_t value) { return value == 0 || value == 1; }

}  // namespace

std::vector<std::string> cockpit_faults(const CockpitState& state) {
    std::vector<std::string> faults;
    const struct {
        const char* name;
        int32_t value;
    } flags[] = {
        {"mach_mode", state.mach_mode},
        {"speed_window_live", state.speed_window_live},
        {"heading_window_live", state.heading_window_live},
        {"altitude_window_live", state.altitude_window_live},
        {"vs_window_live", state.vs_window_live},
        {"dh_mode", state.dh_mode},
        {"gsa_mode", state.gsa_mode},
        {"ls_display", state.ls_display},
        {"dh_callout_armed", state.dh_callout_armed},
    };
    for (const auto& flag : flags) {
        if (!is_flag(flag.value)) faults.push_back(std::string(flag.name) + " is " + std::to_string(flag.value));
    }
    if (state.dh_mode == 1 && state.gsa_mode == 1) faults.push_back("dh_mode and gsa_mode are both 1");
    if (state.dme_source != 1 && state.dme_source != 2) {
        faults.push_back("dme_source is " + std::to_string(state.dme_source));
    }
    // Written as a negated range test so that NaN fails it.
    if (!(state.gsa_angle >= gsa_angle_min && state.gsa_angle <= gsa_angle_max)) {
        faults.push_back("gsa_angle is " + std::to_string(state.gsa_angle));
    }
    return faults;
}

FlagsSnapshot snapshot_flags(const panelhost::Panel& panel) {
    FlagsSnapshot snapshot;
    for (const GaugeHeader* gauge : panel.gauges()) {
        std::vector<uint32_t>& flags = snapshot.emplace_back();
        for (const ElementHeader* element : panelhost::walk_chain(gauge).elements) flags.push_back(element->image_flags);
    }
    return snapshot;
}

namespace {

// The flags checked against the snapshot, following the chain only as far as
// the snapshot reaches: the host found the chains sound at load, and this runs
// after every step of a fuzz input.
void check_flags(const panelhost::Panel& panel, const FlagsSnapshot& at_start, std::vector<std::string>& faults) {
    const auto& gauges = panel.gauges();
    for (size_t g = 0; g < gauges.size() && g < at_start.size(); ++g) {
        const GaugeHeader* gauge = gauges[g];
        const ElementHeader* element = gauge->elements_list != nullptr ? gauge->elements_list[0] : nullptr;
        for (size_t i = 0; i < at_start[g].size(); ++i) {
            if (element == nullptr) {
                faults.push_back(std::string(gauges[g]->gauge_name) + ": the element chain ends at " + std::to_string(i));
                break;
            }
            if ((element->image_flags & ~IMAGE_HIDDEN) != (at_start[g][i] & ~IMAGE_HIDDEN)) {
                faults.push_back(std::string(gauges[g]->gauge_name) + " element " + std::to_string(i) +
                                 ": image flags other than the hide bit changed");
            }
            element = element->next_element != nullptr ? element->next_element[0] : nullptr;
        }
    }
}

}  // namespace

std::vector<std::string> host_view_faults(panelhost::Panel& panel, panelhost::HostServices& host,
                                          const FlagsSnapshot& flags_at_start) {
    std::vector<std::string> faults = panel.take_faults();
    for (const panelhost::KeyEvent& event : host.take_key_events()) {
        if (panelhost::key_event_label(event.id).empty()) faults.push_back("unknown key event " + std::to_string(event.id));
        if (event.value != 0) {
            faults.push_back("key event " + std::to_string(event.id) + " with value " + std::to_string(event.value));
        }
    }
    check_flags(panel, flags_at_start, faults);
    for (const std::string& name : panel.installed_names()) {
        const panelhost::InstalledGauge* gauge = panel.installed(name);
        for (size_t i = 0; i < gauge->elements.size(); ++i) {
            const panelhost::ElementState& state = gauge->elements[i];
            if (state.element->element_type != ELEMENT_SLIDER || !state.result) continue;
            if (!std::isfinite(*state.result)) {
                faults.push_back(name + " element " + std::to_string(i) + ": slider callback answered a value that is not finite");
            }
            const bool fd_bar = name == "PFD" &&
                                (i == PfdChain::index<pfd_fd_pitch_bar> || i == PfdChain::index<pfd_fd_roll_bar>);
            if (fd_bar && !(std::fabs(*state.result) <= 25.0)) {
                faults.push_back(name + " element " + std::to_string(i) + ": flight-director bar past its stop");
            }
        }
    }
    return faults;
}

}  // namespace orvane::hardening
