// Every host variable the module reads, by id, and the module's shared records
// for them: callbacks and handlers that read the same variable refresh the same
// record.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "module/host_abi.h"
#include "module/host_calls.h"

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

enum HostVarId : int32_t {
#define ORVANE_VAR_ID(name, number) name = number,
    ORVANE_HOST_VARIABLES(ORVANE_VAR_ID)
#undef ORVANE_VAR_ID
};

namespace detail {
enum SharedVarSlot : uint8_t {
#define ORVANE_VAR_SLOT(name, number) slot_##name,
    ORVANE_HOST_VARIABLES(ORVANE_VAR_SLOT)
#undef ORVANE_VAR_SLOT
    shared_var_count
};

// The slot of every id the module reads, by id: one load where a loop over a
// table of ids asks for it.
inline constexpr int32_t largest_var_id = [] {
    int32_t largest = 0;
#define ORVANE_VAR_LARGEST(name, number) largest = number > largest ? number : largest;
    ORVANE_HOST_VARIABLES(ORVANE_VAR_LARGEST)
#undef ORVANE_VAR_LARGEST
    return largest;
}();

inline constexpr auto shared_var_slots = [] {
    std::array<SharedVarSlot, largest_var_id + 1> slots{};
    slots.fill(shared_var_count);
#define ORVANE_VAR_SLOT_OF(name, number) slots[number] = slot_##name;
    ORVANE_HOST_VARIABLES(ORVANE_VAR_SLOT_OF)
#undef ORVANE_VAR_SLOT_OF
    return slots;
}();

constexpr SharedVarSlot shared_var_slot(HostVarId id) {
    return id >= 0 && id <= largest_var_id ? shared_var_slots[static_cast<size_t>(id)] : shared_var_count;
}
}  // namespace detail

extern ModuleVar shared_vars[detail::shared_var_count];

// The module's shared record of a host variable.
inline ModuleVar& shared_var(HostVarId id) { return shared_vars[detail::shared_var_slot(id)]; }

// Refreshes the shared record and returns its value. Always inline, so that
// the record of a constant id is found when the module is built.
[[gnu::always_inline]] inline double read_var(HostVarId id) {
    ModuleVar& record = shared_var(id);
    refresh_var(&record);
    return record.value.n;
}

// A host variable's name in the list, or null for an id the module never reads.
const char* host_var_name(int32_t id);

}  // namespace orvane
