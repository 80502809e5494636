#include "host/panel/key_effects.h"

#include <cmath>

#include "host/services/host_services.h"
#include "module/host_var_list.h"
#include "module/key_event_list.h"

namespace panelhost {
namespace {

using namespace orvane;

enum class Action { toggle, step };

struct KeyRule {
    KeyEventId event;
    Action action;
    HostVarId var;
    double step = 0.0;
    HostVarId disengages = HostVarId{};  // toggles: the hold switched off when this one engages
    bool floor_at_zero = false;
    double wrap = 0.0;        // steps: the value stays within 0 up to this, when not 0
    bool hundredths = false;  // steps: kept to hundredths, as the Mach target is
};

constexpr KeyRule key_rules[] = {
    {.event = KEY_AP_MASTER_SWITCH, .action = Action::toggle, .var = AUTOPILOT_ENGAGED},
    {.event = KEY_APPROACH_HOLD_SWITCH, .action = Action::toggle, .var = APPROACH_HOLD},
    {.event = KEY_WING_LEVELER_SWITCH, .action = Action::toggle, .var = WING_LEVELER},
    {.event = KEY_NAV1_HOLD_SWITCH, .action = Action::toggle, .var = NAV1_HOLD},
    {.event = KEY_YAW_DAMPER_SWITCH, .action = Action::toggle, .var = YAW_DAMPER},
    {.event = KEY_HEADING_HOLD_SWITCH, .action = Action::toggle, .var = HEADING_HOLD},
    {.event = KEY_ALTITUDE_HOLD_SWITCH, .action = Action::toggle, .var = ALTITUDE_HOLD},
    {.event = KEY_AUTOTHROTTLE_SWITCH, .action = Action::toggle, .var = AUTOTHROTTLE_ARMED},
    {.event = KEY_AIRSPEED_HOLD_SWITCH, .action = Action::toggle, .var = AIRSPEED_HOLD, .disengages = MACH_HOLD},
    {.event = KEY_MACH_HOLD_SWITCH, .action = Action::toggle, .var = MACH_HOLD, .disengages = AIRSPEED_HOLD},
    {.event = KEY_FLIGHT_DIRECTOR_TOGGLE, .action = Action::toggle, .var = FLIGHT_DIRECTOR},
    {.event = KEY_HEADING_TARGET_INC, .action = Action::step, .var = HEADING_TARGET, .step = 1.0, .wrap = 360.0},
    {.event = KEY_HEADING_TARGET_DEC, .action = Action::step, .var = HEADING_TARGET, .step = -1.0, .wrap = 360.0},
    {.event = KEY_ALTITUDE_TARGET_INC, .action = Action::step, .var = ALTITUDE_TARGET, .step = 100.0,
     .floor_at_zero = true},
    {.event = KEY_ALTITUDE_TARGET_DEC, .action = Action::step, .var = ALTITUDE_TARGET, .step = -100.0,
     .floor_at_zero = true},
    {.event = KEY_VS_TARGET_INC, .action = Action::step, .var = VS_TARGET, .step = 100.0},
    {.event = KEY_VS_TARGET_DEC, .action = Action::step, .var = VS_TARGET, .step = -100.0},
    {.event = KEY_AIRSPEED_TARGET_INC, .action = Action::step, .var = AIRSPEED_TARGET, .step = 1.0,
     .floor_at_zero = true},
    {.event = KEY_AIRSPEED_TARGET_DEC, .action = Action::step, .var = AIRSPEED_TARGET, .step = -1.0,
     .floor_at_zero = true},
    {.event = KEY_MACH_TARGET_INC, .action = Action::step, .var = MACH_TARGET, .step = 0.01, .floor_at_zero = true,
     .hundredths = true},
    {.event = KEY_MACH_TARGET_DEC, .action = Action::step, .var = MACH_TARGET, .step = -0.01, .floor_at_zero = true,
     .hundredths = true},
    {.event = KEY_DECISION_HEIGHT_INC, .action = Action::step, .var = DECISION_HEIGHT,
     .step = decision_height_step_ft, .floor_at_zero = true},
    {.event = KEY_DECISION_HEIGHT_DEC, .action = Action::step, .var = DECISION_HEIGHT,
     .step = -decision_height_step_ft, .floor_at_zero = true},
};

double stepped(const KeyRule& rule, double value) {
    double next = value + rule.step;
    if (rule.hundredths) next = std::round(next * 100.0) / 100.0;
    if (rule.wrap > 0.0) {
        next = std::fmod(next, rule.wrap);
        if (next < 0.0) next += rule.wrap;
    }
    if (rule.floor_at_zero && next < 0.0) next = 0.0;
    return next;
}

}  // namespace

bool apply_key_event(HostServices& host, uint32_t event) {
    for (const KeyRule& rule : key_rules) {
        if (rule.event != event) continue;
        const double value = host.var(rule.var);
        if (rule.action == Action::step) {
            host.set_var(rule.var, stepped(rule, value));
        } else if (hold_engaged(value)) {
            host.set_var(rule.var, 0.0);
        } else {
            host.set_var(rule.var, 1.0);
            if (rule.disengages != HostVarId{}) host.set_var(rule.disengages, 0.0);
        }
        return true;
    }
    return false;
}

}  // namespace panelhost
