// The Flight Control Unit gauge `AP`: four target windows, their knobs, the
// autopilot master switch, eight mode push-buttons with lights and the Mach
// switch. What the module and its tests share of it.
#pragma once

#include <cstdint>

#include "module/host_abi.h"

namespace orvane {

// Chain indices of the FCU's elements, in drawing order.
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

extern ElementStaticImage ap_background;
extern ElementString ap_speed_window;
extern ElementString ap_altitude_window;
extern ElementString ap_heading_window;
extern ElementString ap_vs_window;
extern ElementIcon ap_master_switch;
extern ElementIcon ap_approach_light;
extern ElementIcon ap_nav1_light;
extern ElementIcon ap_heading_hold_light;
extern ElementIcon ap_yaw_damper_light;
extern ElementIcon ap_wing_leveler_light;
extern ElementIcon ap_altitude_hold_light;
extern ElementIcon ap_autothrottle_light;
extern ElementIcon ap_speed_hold_light;

extern MouseRect ap_mouse_table[];

void HOST_CALL fcu_service(GaugeHeader* gauge, int32_t service, ServiceExtra extra);

double HOST_CALL speed_window_text(ElementString* element);
double HOST_CALL altitude_window_text(ElementString* element);
double HOST_CALL heading_window_text(ElementString* element);
double HOST_CALL vs_window_text(ElementString* element);

int32_t HOST_CALL speed_knob_dec_click(PixPoint* point, uint32_t mouse_flags);
int32_t HOST_CALL speed_knob_inc_click(PixPoint* point, uint32_t mouse_flags);
int32_t HOST_CALL speed_hold_click(PixPoint* point, uint32_t mouse_flags);
int32_t HOST_CALL mach_switch_click(PixPoint* point, uint32_t mouse_flags);

}  // namespace orvane
