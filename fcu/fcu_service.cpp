// The FCU's service callback: it decides which windows show their targets and
// which lights are lit. The host can see the order in which variables are
// refreshed, so each step refreshes them in exactly the order written here.
#include "fcu/ap_gauge.h"

#include "module/cockpit.h"
#include "module/host_vars.h"

namespace orvane {

constinit FcuMemory fcu_memory = {};

namespace {

// A window turns live when the host changes its target.
struct TargetWatch {
    HostVarId target;
    double FcuMemory::*last_seen;
    int32_t CockpitState::*live;
};

constexpr TargetWatch target_watches[] = {
    {AIRSPEED_TARGET, &FcuMemory::last_speed_target, &CockpitState::speed_window_live},
    {MACH_TARGET, &FcuMemory::last_mach_target, &CockpitState::speed_window_live},
    {HEADING_TARGET, &FcuMemory::last_heading_target, &CockpitState::heading_window_live},
    {ALTITUDE_TARGET, &FcuMemory::last_altitude_target, &CockpitState::altitude_window_live},
    {VS_TARGET, &FcuMemory::last_vs_target, &CockpitState::vs_window_live},
};

// A hold engaging makes its window live; disengaging returns it, and for some
// holds a second window, to dashes.
struct HoldWatch {
    HostVarId hold;
    uint32_t FcuMemory::*state;
    int32_t CockpitState::*live;
    int32_t CockpitState::*also_dashed;  // null when only `live` is cleared
};

constexpr HoldWatch hold_watches[] = {
    {HEADING_HOLD, &FcuMemory::heading_hold_state, &CockpitState::heading_window_live, nullptr},
    {ALTITUDE_HOLD, &FcuMemory::altitude_hold_state, &CockpitState::altitude_window_live,
     &CockpitState::vs_window_live},
    {AIRSPEED_HOLD, &FcuMemory::speed_hold_state, &CockpitState::speed_window_live, nullptr},
    // Taken after the airspeed hold, so it decides the speed window when the
    // two holds swap in one update.
    {MACH_HOLD, &FcuMemory::mach_hold_state, &CockpitState::speed_window_live, &CockpitState::vs_window_live},
};

constexpr int hold_count = sizeof hold_watches / sizeof hold_watches[0];

void install_snapshot() {
    // Keeps the Mach mode a previous install chose: only an engaged Mach hold sets it.
    if (is_on(read_var(MACH_HOLD))) cockpit.mach_mode = 1;

    // Not the update's order: the altitude and vertical-speed targets come before the heading.
    fcu_memory.last_speed_target = read_var(AIRSPEED_TARGET);
    fcu_memory.last_mach_target = read_var(MACH_TARGET);
    fcu_memory.last_altitude_target = read_var(ALTITUDE_TARGET);
    fcu_memory.last_vs_target = read_var(VS_TARGET);
    fcu_memory.last_heading_target = read_var(HEADING_TARGET);

    for (const HoldWatch& watch : hold_watches) fcu_memory.*watch.state = truncate_to_u32(read_var(watch.hold));

    // Install only ever turns windows live.
    if (fcu_memory.heading_hold_state == 1) cockpit.heading_window_live = 1;
    if (fcu_memory.altitude_hold_state == 1) {
        cockpit.altitude_window_live = 1;
        cockpit.vs_window_live = 1;
    }
    if (fcu_memory.speed_hold_state == 1 || fcu_memory.mach_hold_state == 1) cockpit.speed_window_live = 1;
}

void follow_targets() {
    for (const TargetWatch& watch : target_watches) {
        const double target = read_var(watch.target);
        if (target != fcu_memory.*watch.last_seen) {
            cockpit.*watch.live = 1;
            fcu_memory.*watch.last_seen = target;
        }
    }
}

// In rising chain order, so that the chain is walked once.
void show_switch_and_lights(GaugeHeader* gauge) {
    ElementCursor chain = element_cursor(gauge);
    set_element_visible(chain, ApChain::index<ap_master_switch>, is_zero(read_var(AUTOPILOT_ENGAGED)));
    uint32_t light = ApChain::index<ap_lights>;
    for (const FcuPushButton& button : fcu_push_buttons) {
        bool lit = is_on(read_var(button.mode));
        if (button.other_mode != 0) {
            const bool other_lit = is_on(read_var(button.other_mode));
            lit = lit || other_lit;
        }
        set_element_visible(chain, light++, lit);
    }
}

void follow_holds() {
    double hold_values[hold_count];
    for (int i = 0; i < hold_count; ++i) hold_values[i] = read_var(hold_watches[i].hold);

    for (int i = 0; i < hold_count; ++i) {
        const HoldWatch& watch = hold_watches[i];
        uint32_t& state = fcu_memory.*watch.state;
        // Any value but the remembered whole number is a change, 0.5 and NaN included.
        if (static_cast<double>(state) != hold_values[i]) {
            if (state == 1) {
                cockpit.*watch.live = 0;
                if (watch.also_dashed != nullptr) cockpit.*watch.also_dashed = 0;
            } else {
                cockpit.*watch.live = 1;
            }
            state = truncate_to_u32(hold_values[i]);
        }
    }
}

}  // namespace

void HOST_CALL fcu_service(GaugeHeader* gauge, int32_t service, ServiceExtra) {
    switch (service) {
        case SERVICE_PRE_INSTALL:
            install_snapshot();
            break;
        case SERVICE_PRE_UPDATE:
            follow_targets();
            show_switch_and_lights(gauge);
            follow_holds();
            break;
        default:  // kill and every other code leave all state as it is
            break;
    }
}

}  // namespace orvane
