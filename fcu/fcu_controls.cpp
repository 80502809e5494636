// The four FCU controls whose action depends on the Mach mode.
#include "fcu/ap_gauge.h"

#include "module/cockpit.h"
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

}  // namespace orvane
