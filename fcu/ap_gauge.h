// The Flight Control Unit gauge `AP`: four target windows, their knobs, the
// autopilot master switch, eight mode push-buttons with lights and the Mach
// switch. What the module and its tests share of it.
#pragma once

#include <cstdint>
#include <iterator>

#include "module/gauge_tables.h"
#include "module/host_abi.h"
#include "module/host_var_list.h"
#include "module/key_event_list.h"

namespace orvane {

// What the FCU last saw of the host's targets and holds. Zero at load, never
// reset: a gauge installed again works on from here.
struct FcuMemory {
    double last_speed_target;
    double last_mach_target;
    double last_heading_target;
    double last_altitude_target;
    double last_vs_target;
    uint32_t heading_hold_state;  // host value truncated toward zero
    uint32_t altitude_hold_state;
    uint32_t speed_hold_state;
    uint32_t mach_hold_state;
};

extern FcuMemory fcu_memory;

void HOST_CALL fcu_service(GaugeHeader* gauge, int32_t service, ServiceExtra extra);

double HOST_CALL speed_window_text(ElementString* element);
double HOST_CALL altitude_window_text(ElementString* element);
double HOST_CALL heading_window_text(ElementString* element);
double HOST_CALL vs_window_text(ElementString* element);

int32_t HOST_CALL speed_knob_dec_click(PixPoint* point, uint32_t mouse_flags);
int32_t HOST_CALL speed_knob_inc_click(PixPoint* point, uint32_t mouse_flags);
int32_t HOST_CALL speed_hold_click(PixPoint* point, uint32_t mouse_flags);
int32_t HOST_CALL mach_switch_click(PixPoint* point, uint32_t mouse_flags);

// What a click on an FCU control does: the host's key event, or the module's
// handler where it names no event.
struct FcuClick {
    KeyEventId event;
    MouseFunction handler;
};

// A mode push-button: its light lies exactly on it, and is lit while its mode
// is exactly on.
struct FcuPushButton {
    PixPoint position;
    const char* tooltip;
    FcuClick click;
    HostVarId mode;
    HostVarId other_mode;  // a second mode that lights it too; 0 for none
};

// In the order of their lights in the chain and of their areas in the mouse
// table.
inline constexpr FcuPushButton fcu_push_buttons[] = {
    {.position = {244, 71}, .tooltip = "ILS Approach Switch",
     .click = {.event = KEY_APPROACH_HOLD_SWITCH}, .mode = APPROACH_HOLD},
    {.position = {186, 71}, .tooltip = "NAV1 Hold Switch",
     .click = {.event = KEY_NAV1_HOLD_SWITCH}, .mode = NAV1_HOLD},
    {.position = {167, 71}, .tooltip = "Heading Hold Switch",
     .click = {.event = KEY_HEADING_HOLD_SWITCH}, .mode = HEADING_HOLD},
    {.position = {125, 71}, .tooltip = "Yaw Damper Switch",
     .click = {.event = KEY_YAW_DAMPER_SWITCH}, .mode = YAW_DAMPER},
    {.position = {106, 71}, .tooltip = "Wing Leveler Switch",
     .click = {.event = KEY_WING_LEVELER_SWITCH}, .mode = WING_LEVELER},
    {.position = {87, 71}, .tooltip = "Altitude Hold Switch",
     .click = {.event = KEY_ALTITUDE_HOLD_SWITCH}, .mode = ALTITUDE_HOLD},
    {.position = {34, 71}, .tooltip = "Auto Throttle Switch",
     .click = {.event = KEY_AUTOTHROTTLE_SWITCH}, .mode = AUTOTHROTTLE_ARMED},
    // The speed hold of either mode.
    {.position = {15, 71}, .tooltip = "Speed Hold Switch",
     .click = {.handler = speed_hold_click}, .mode = AIRSPEED_HOLD, .other_mode = MACH_HOLD},
};

// The element records, in drawing order.
extern ElementStaticImage ap_background;
extern ElementString ap_speed_window;
extern ElementString ap_altitude_window;
extern ElementString ap_heading_window;
extern ElementString ap_vs_window;
extern ElementIcon ap_master_switch;
extern ElementRecords<ElementIcon, std::size(fcu_push_buttons)> ap_lights;  // one a push-button, in their order

// The element chain, in drawing order. Every light sits on its push-button.
using ApChain = ElementChain<ap_background, ap_speed_window, ap_altitude_window, ap_heading_window, ap_vs_window,
                             ap_master_switch, ap_lights>;

}  // namespace orvane
