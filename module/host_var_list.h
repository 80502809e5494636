// Every host variable the module reads: one list of names and host ids. It
// includes nothing, so that the host, which links none of the module's code,
// reads the same list without the module's declarations.
#pragma once

// name, host id: the one list of host variables.
#define ORVANE_HOST_VARIABLES(X)                                                 \
    X(GROUND_ALTITUDE, 2)         /* metres x 256 */                             \
    X(DME1_DISTANCE, 31)                                                         \
    X(DME2_DISTANCE, 35)                                                         \
    X(LOCALIZER_DEVIATION, 40)    /* host deviation units */                     \
    X(GLIDESLOPE_DEVIATION, 41)                                                  \
    X(AIRSPEED, 61)               /* knots */                                    \
    X(MACH, 64)                   /* divided by 200 gives hundredths of Mach */  \
    X(ALTITUDE, 73)               /* metres */                                   \
    X(BARO_ALTITUDE, 74)          /* feet, for the altitude readout */           \
    X(PITCH, 78)                  /* degrees */                                  \
    X(BANK, 80)                   /* degrees */                                  \
    X(HEADING, 84)                /* degrees */                                  \
    X(AUTOPILOT_ENGAGED, 103)                                                    \
    X(WING_LEVELER, 104)                                                         \
    X(NAV1_HOLD, 105)                                                            \
    X(HEADING_HOLD, 106)                                                         \
    X(HEADING_TARGET, 107)        /* degrees */                                  \
    X(ALTITUDE_HOLD, 108)                                                        \
    X(ALTITUDE_TARGET, 109)       /* feet */                                     \
    X(APPROACH_HOLD, 112)                                                        \
    X(YAW_DAMPER, 114)                                                           \
    X(AIRSPEED_HOLD, 115)                                                        \
    X(AIRSPEED_TARGET, 116)       /* knots */                                    \
    X(MACH_HOLD, 117)                                                            \
    X(MACH_TARGET, 118)           /* Mach number, 0.78 */                        \
    X(VS_TARGET, 120)             /* feet per minute; 0 means none */           \
    X(AUTOTHROTTLE_ARMED, 123)                                                   \
    X(DECISION_HEIGHT, 615)       /* feet */                                     \
    X(PANEL_CIRCUIT_ON, 769)      /* what the DME button's light shows */        \
    X(FLIGHT_DIRECTOR, 792)                                                      \
    X(FD_PITCH_COMMAND, 793)      /* degrees */                                  \
    X(FD_BANK_COMMAND, 794)       /* degrees */                                  \
    X(GPS_DRIVES_NAV1, 848)

namespace orvane {

enum HostVarId : int {
#define ORVANE_VAR_ID(name, number) name = number,
    ORVANE_HOST_VARIABLES(ORVANE_VAR_ID)
#undef ORVANE_VAR_ID
};

}  // namespace orvane
