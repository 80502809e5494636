// What the FCU's unit tests share: a host attached to the module that records
// the order of refreshes, the window buffers as the host supplies them, and
// every FCU record put back to its load value around each test.
#pragma once

#include <array>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "fcu/ap_gauge.h"
#include "host/services/host_services.h"
#include "module/cockpit.h"
#include "module/host_vars.h"
#include "module/linkage.h"
#include "tests/support/guarded_text.h"

namespace orvane::testing {

// Where each FCU element should stand in the chain, in drawing order; the
// chain test holds the module to it.
enum ApElement : uint32_t {
    AP_BACKGROUND = 0,
    AP_SPEED_WINDOW = 1,
    AP_ALTITUDE_WINDOW = 2,
    AP_HEADING_WINDOW = 3,
    AP_VS_WINDOW = 4,
    AP_MASTER_SWITCH = 5,
    AP_APPROACH_LIGHT = 6,
    AP_NAV1_LIGHT = 7,
    AP_HEADING_HOLD_LIGHT = 8,
    AP_YAW_DAMPER_LIGHT = 9,
    AP_WING_LEVELER_LIGHT = 10,
    AP_ALTITUDE_HOLD_LIGHT = 11,
    AP_AUTOTHROTTLE_LIGHT = 12,
    AP_SPEED_HOLD_LIGHT = 13,
    ap_element_count = 14,
};

inline ElementString* const ap_windows[] = {&ap_speed_window, &ap_altitude_window, &ap_heading_window,
                                            &ap_vs_window};
inline ElementIcon* const ap_icons[] = {&ap_master_switch, &ap_lights[0], &ap_lights[1], &ap_lights[2],
                                        &ap_lights[3],     &ap_lights[4], &ap_lights[5], &ap_lights[6],
                                        &ap_lights[7]};

// Taken during static initialisation, before any test has run: the module's
// records are constant-initialised, so these are their load values.
struct ApLoadState {
    ElementStaticImage background = ap_background;
    std::array<ElementString, 4> windows = {ap_speed_window, ap_altitude_window, ap_heading_window, ap_vs_window};
    std::array<ElementIcon, 9> icons = {ap_master_switch, ap_lights[0], ap_lights[1], ap_lights[2], ap_lights[3],
                                        ap_lights[4],     ap_lights[5], ap_lights[6], ap_lights[7]};
    GaugeHeader gauge = ap_gauge;
    FcuMemory memory = fcu_memory;
    std::array<ModuleVar, detail::shared_var_count> vars = std::to_array(shared_vars);

    void restore() const {
        ap_background = background;
        for (size_t i = 0; i < windows.size(); ++i) *ap_windows[i] = windows[i];
        for (size_t i = 0; i < icons.size(); ++i) *ap_icons[i] = icons[i];
        ap_gauge = gauge;
        fcu_memory = memory;
        std::copy(vars.begin(), vars.end(), shared_vars);
        cockpit = cockpit_state_at_load;
    }
};

inline const ApLoadState ap_load_state;

inline std::vector<int32_t> refreshed_ids;

inline void HOST_CALL recording_refresh(ModuleVar* var) {
    refreshed_ids.push_back(var->id);
    panelhost::HostServices::active()->refresh(var);
}

// Live windows as four letters, '-' for dashes: Speed, Heading, Altitude, V/S.
inline std::string live_windows() {
    std::string s = "----";
    if (cockpit.speed_window_live) s[0] = 'S';
    if (cockpit.heading_window_live) s[1] = 'H';
    if (cockpit.altitude_window_live) s[2] = 'A';
    if (cockpit.vs_window_live) s[3] = 'V';
    return s;
}

inline void set_live_windows(const std::string& s) {
    cockpit.speed_window_live = s[0] == 'S';
    cockpit.heading_window_live = s[1] == 'H';
    cockpit.altitude_window_live = s[2] == 'A';
    cockpit.vs_window_live = s[3] == 'V';
}

class FcuTest : public ::testing::Test {
protected:
    FcuTest() {
        host.attach(&ImportTable);
        host.table().slot[SLOT_REFRESH_VAR] = reinterpret_cast<HostOperation>(recording_refresh);
        reset();
    }

    // A freshly loaded library on a host whose variables are all 0.
    void reset() {
        ap_load_state.restore();
        for (const auto& [id, value] : std::map<int32_t, double>(host.vars())) host.set_var(id, 0.0);
        host.take_key_events();
        refreshed_ids.clear();
        speed_text = GuardedText(3);
        altitude_text = GuardedText(5);
        heading_text = GuardedText(3);
        vs_text = GuardedText(5);
        speed_text.attach(ap_speed_window);
        altitude_text.attach(ap_altitude_window);
        heading_text.attach(ap_heading_window);
        vs_text.attach(ap_vs_window);
    }
    ~FcuTest() override {
        host.detach();
        ap_load_state.restore();
    }

    void set(std::initializer_list<std::pair<HostVarId, double>> values) {
        for (const auto& [id, value] : values) host.set_var(id, value);
    }
    void install() { fcu_service(&ap_gauge, SERVICE_PRE_INSTALL, 0); }
    void update() { fcu_service(&ap_gauge, SERVICE_PRE_UPDATE, 0); }

    // The host's part of an update after the service callback: each window's
    // own records refreshed, then its text callback.
    void draw_windows() {
        for (ElementString* window : ap_windows) {
            for (ModuleVar& var : window->source_var) {
                if (var.id != 0) host.refresh(&var);
            }
            window->update_cb(window);
        }
    }

    bool hidden(uint32_t n) { return (nth_element(first_element(&ap_gauge), n)->image_flags & IMAGE_HIDDEN) != 0; }

    std::vector<uint32_t> sent_events() {
        std::vector<uint32_t> ids;
        for (const panelhost::KeyEvent& event : host.key_events()) {
            EXPECT_EQ(event.value, 0u) << "key event " << event.id;
            ids.push_back(event.id);
        }
        return ids;
    }

    panelhost::HostServices host;
    GuardedText speed_text{3};
    GuardedText altitude_text{5};
    GuardedText heading_text{3};
    GuardedText vs_text{5};
};

}  // namespace orvane::testing
