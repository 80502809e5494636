// The FCU's mouse areas, in the order the host searches them, and the four
// controls whose action depends on the Mach mode.
#include "fcu/ap_gauge.h"

#include "module/cockpit.h"
#include "module/gauge_tables.h"
#include "module/host_calls.h"
#include "module/host_vars.h"
#include "module/key_event_list.h"

namespace orvane {

namespace {

// The knob raises the Mach target no further: the window has room for ".99".
constexpr double mach_target_limit = 0.99;

}  // namespace

int32_t HOST_CALL speed_knob_dec_click(PixPoint*, uint32_t) {
    trigger_key_event(cockpit.mach_mode != 0 ? KEY_MACH_TARGET_DEC : KEY_AIRSPEED_TARGET_DEC);
    return 0;
}

int32_t HOST_CALL speed_knob_inc_click(PixPoint*, uint32_t) {
    if (cockpit.mach_mode == 0) {
        trigger_key_event(KEY_AIRSPEED_TARGET_INC);
    } else if (read_var(MACH_TARGET) < mach_target_limit) {
        trigger_key_event(KEY_MACH_TARGET_INC);
    }
    return 0;
}

int32_t HOST_CALL speed_hold_click(PixPoint*, uint32_t) {
    trigger_key_event(cockpit.mach_mode != 0 ? KEY_MACH_HOLD_SWITCH : KEY_AIRSPEED_HOLD_SWITCH);
    return 0;
}

// Flips the speed window and knob between airspeed and Mach, and carries an
// engaged speed hold over to the mode entered when that mode's hold is off.
int32_t HOST_CALL mach_switch_click(PixPoint*, uint32_t) {
    cockpit.speed_window_live = 1;
    if (cockpit.mach_mode == 0) {
        cockpit.mach_mode = 1;
        const double mach_hold = read_var(MACH_HOLD);
        const double airspeed_hold = read_var(AIRSPEED_HOLD);
        if (is_on(airspeed_hold) && is_zero(mach_hold)) trigger_key_event(KEY_MACH_HOLD_SWITCH);
    } else {
        cockpit.mach_mode = 0;
        const double airspeed_hold = read_var(AIRSPEED_HOLD);
        const double mach_hold = read_var(MACH_HOLD);
        if (is_on(mach_hold) && is_zero(airspeed_hold)) trigger_key_event(KEY_AIRSPEED_HOLD_SWITCH);
    }
    return 0;
}

namespace {

// Each knob's halves leave a 3-pixel strip in its middle that takes no click.
constexpr PixBox knob_left_half = {0, 0, 13, 23};
constexpr PixBox knob_right_half = {16, 0, 13, 23};
constexpr PixBox push_button = {0, 0, 18, 18};

}  // namespace

constinit MouseRect ap_mouse_table[] = {
    open_area(whole_gauge),
    tooltip("Airbus A310 Flight Control Unit"),

    open_area({28, 37, 29, 23}),
    tooltip("Set Autopilot Speed"),
    click_handler(knob_left_half, CURSOR_DOWNARROW, MOUSE_CLICK_REPEAT, speed_knob_dec_click),
    click_handler(knob_right_half, CURSOR_UPARROW, MOUSE_CLICK_REPEAT, speed_knob_inc_click),
    close_area(),

    open_area({101, 37, 29, 23}),
    tooltip("Set Autopilot Altitude"),
    click_event(knob_left_half, CURSOR_DOWNARROW, MOUSE_CLICK_REPEAT, KEY_ALTITUDE_TARGET_DEC),
    click_event(knob_right_half, CURSOR_UPARROW, MOUSE_CLICK_REPEAT, KEY_ALTITUDE_TARGET_INC),
    close_area(),

    open_area({162, 37, 29, 23}),
    tooltip("Set Autopilot Heading"),
    click_event(knob_left_half, CURSOR_DOWNARROW, MOUSE_CLICK_REPEAT, KEY_HEADING_TARGET_DEC),
    click_event(knob_right_half, CURSOR_UPARROW, MOUSE_CLICK_REPEAT, KEY_HEADING_TARGET_INC),
    close_area(),

    open_area({228, 37, 29, 23}),
    tooltip("Set Autopilot V/S"),
    click_event(knob_left_half, CURSOR_DOWNARROW, MOUSE_CLICK_REPEAT, KEY_VS_TARGET_DEC),
    click_event(knob_right_half, CURSOR_UPARROW, MOUSE_CLICK_REPEAT, KEY_VS_TARGET_INC),
    close_area(),

    open_area({281, 22, 18, 32}),
    tooltip("Autopilot Master Switch"),
    click_event({0, 0, 18, 32}, CURSOR_UPARROW, MOUSE_CLICK, KEY_AP_MASTER_SWITCH),
    close_area(),

    open_area({244, 71, 18, 18}),
    tooltip("ILS Approach Switch"),
    click_event(push_button, CURSOR_HAND, MOUSE_CLICK, KEY_APPROACH_HOLD_SWITCH),
    close_area(),

    open_area({186, 71, 18, 18}),
    tooltip("NAV1 Hold Switch"),
    click_event(push_button, CURSOR_HAND, MOUSE_CLICK, KEY_NAV1_HOLD_SWITCH),
    close_area(),

    open_area({167, 71, 18, 18}),
    tooltip("Heading Hold Switch"),
    click_event(push_button, CURSOR_HAND, MOUSE_CLICK, KEY_HEADING_HOLD_SWITCH),
    close_area(),

    open_area({125, 71, 18, 18}),
    tooltip("Yaw Damper Switch"),
    click_event(push_button, CURSOR_HAND, MOUSE_CLICK, KEY_YAW_DAMPER_SWITCH),
    close_area(),

    open_area({106, 71, 18, 18}),
    tooltip("Wing Leveler Switch"),
    click_event(push_button, CURSOR_HAND, MOUSE_CLICK, KEY_WING_LEVELER_SWITCH),
    close_area(),

    open_area({87, 71, 18, 18}),
    tooltip("Altitude Hold Switch"),
    click_event(push_button, CURSOR_HAND, MOUSE_CLICK, KEY_ALTITUDE_HOLD_SWITCH),
    close_area(),

    open_area({34, 71, 18, 18}),
    tooltip("Auto Throttle Switch"),
    click_event(push_button, CURSOR_HAND, MOUSE_CLICK, KEY_AUTOTHROTTLE_SWITCH),
    close_area(),

    open_area({15, 71, 18, 18}),
    tooltip("Speed Hold Switch"),
    click_handler(push_button, CURSOR_HAND, MOUSE_CLICK, speed_hold_click),
    close_area(),

    open_area({5, 17, 18, 18}),
    tooltip("Mach Switch"),
    click_handler(push_button, CURSOR_HAND, MOUSE_CLICK, mach_switch_click),
    close_area(),

    close_area(),
    end_of_table(),
};

}  // namespace orvane
