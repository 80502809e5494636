// Every key event the module sends or names in a mouse table: one list of
// names and host ids. It includes nothing, so that the host reads the same
// list without the module's declarations.
#pragma once

// name, host id: the one list of key events.
#define ORVANE_KEY_EVENTS(X)                          \
    X(KEY_AP_MASTER_SWITCH, 65580)        /* 0x1002C */ \
    X(KEY_APPROACH_HOLD_SWITCH, 65724)    /* 0x100BC */ \
    X(KEY_WING_LEVELER_SWITCH, 65727)     /* 0x100BF */ \
    X(KEY_NAV1_HOLD_SWITCH, 65729)        /* 0x100C1 */ \
    X(KEY_YAW_DAMPER_SWITCH, 65793)       /* 0x10101 */ \
    X(KEY_HEADING_HOLD_SWITCH, 65798)     /* 0x10106 */ \
    X(KEY_ALTITUDE_HOLD_SWITCH, 65799)    /* 0x10107 */ \
    X(KEY_AUTOTHROTTLE_SWITCH, 65860)     /* 0x10144 */ \
    X(KEY_HEADING_TARGET_INC, 65879)      /* 0x10157 */ \
    X(KEY_HEADING_TARGET_DEC, 65880)      /* 0x10158 */ \
    X(KEY_AIRSPEED_HOLD_SWITCH, 65891)    /* 0x10163 */ \
    X(KEY_ALTITUDE_TARGET_INC, 65892)     /* 0x10164 */ \
    X(KEY_ALTITUDE_TARGET_DEC, 65893)     /* 0x10165 */ \
    X(KEY_VS_TARGET_INC, 65894)           /* 0x10166 */ \
    X(KEY_VS_TARGET_DEC, 65895)           /* 0x10167 */ \
    X(KEY_AIRSPEED_TARGET_INC, 65896)     /* 0x10168 */ \
    X(KEY_AIRSPEED_TARGET_DEC, 65897)     /* 0x10169 */ \
    X(KEY_MACH_HOLD_SWITCH, 65915)        /* 0x1017B */ \
    X(KEY_MACH_TARGET_INC, 65916)         /* 0x1017C */ \
    X(KEY_MACH_TARGET_DEC, 65917)         /* 0x1017D */ \
    X(KEY_FLIGHT_DIRECTOR_TOGGLE, 66288)  /* 0x102F0 */ \
    X(KEY_DECISION_HEIGHT_INC, 66321)     /* 0x10311 */ \
    X(KEY_DECISION_HEIGHT_DEC, 66322)     /* 0x10312 */

namespace orvane {

enum KeyEventId : unsigned {
#define ORVANE_KEY_ID(name, number) name = number,
    ORVANE_KEY_EVENTS(ORVANE_KEY_ID)
#undef ORVANE_KEY_ID
};

}  // namespace orvane
