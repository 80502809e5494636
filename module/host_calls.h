// Every call the module makes on the host goes through the function table the
// host wrote into ImportTable, by slot position.
#pragma once

#include "module/host_abi.h"

namespace orvane {

// The host function table, or null while the host has not written it yet.
HostFunctionTable* host_function_table();

// Refreshes the record's value from the host. Does nothing before the host
// has written its function table, so a stray early call cannot crash it.
void refresh_var(ModuleVar* var);

// Sends a key event to the host; the module always sends the value 0.
void trigger_key_event(uint32_t event, uint32_t value = 0);

void host_element_list_operation(HostSlot slot, ElementHeader* first);
void host_element_list_operation(HostSlot slot, ElementHeader* first, uintptr_t value);

}  // namespace orvane
