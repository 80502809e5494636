// Every call the module makes on the host goes through the function table the
// host wrote into ImportTable, by slot position.
#pragma once

#include "module/host_abi.h"
#include "module/linkage.h"

namespace orvane {

// The host function table, or null while the host has not written it yet.
inline HostFunctionTable* host_function_table() { return ImportTable.entry[0].table; }

// Refreshes the record's value from the host. Does nothing before the host
// has written its function table, so a stray early call cannot crash it.
// Inline: the gauges make some forty of these calls in every frame.
[[gnu::always_inline]] inline void refresh_var(ModuleVar* var) {
    if (HostFunctionTable* table = host_function_table()) {
        reinterpret_cast<HostRefreshVar>(table->slot[SLOT_REFRESH_VAR])(var);
    }
}

// Sends a key event to the host; the module always sends the value 0.
void trigger_key_event(uint32_t event, uint32_t value = 0);

void host_element_list_operation(HostSlot slot, ElementHeader* first);
void host_element_list_operation(HostSlot slot, ElementHeader* first, uintptr_t value);

}  // namespace orvane
