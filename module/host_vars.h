// Every host variable the module reads, by id, and the module's shared records
// for them: callbacks and handlers that read the same variable refresh the same
// record.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "module/host_abi.h"
#include "module/host_calls.h"
#include "module/host_var_list.h"

namespace orvane {

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

}  // namespace orvane
