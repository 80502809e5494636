#include "module/host_calls.h"

#include "module/linkage.h"

namespace orvane {

namespace {

template <typename Operation>
Operation host_operation(HostSlot slot) {
    HostFunctionTable* table = host_function_table();
    if (table == nullptr) return nullptr;
    return reinterpret_cast<Operation>(table->slot[slot]);
}

}  // namespace

void trigger_key_event(uint32_t event, uint32_t value) {
    if (auto trigger = host_operation<HostTriggerKeyEvent>(SLOT_TRIGGER_KEY_EVENT)) trigger(event, value);
}

void host_element_list_operation(HostSlot slot, ElementHeader* first) {
    if (auto operation = host_operation<HostElementListOperation>(slot)) operation(first);
}

void host_element_list_operation(HostSlot slot, ElementHeader* first, uintptr_t value) {
    if (auto operation = host_operation<HostElementListValueOperation>(slot)) operation(first, value);
}

}  // namespace orvane
