#include "host/services/host_services.h"

#include <cstdio>
#include <utility>

namespace panelhost {
namespace {

using namespace orvane;

HostServices* active_host = nullptr;

void HOST_CALL refresh_var_entry(ModuleVar* var) {
    if (active_host != nullptr) active_host->refresh(var);
}

uint32_t HOST_CALL trigger_key_event_entry(uint32_t id, uint32_t value) {
    return active_host != nullptr ? active_host->trigger(id, value) : 0;
}

template <int Slot>
void HOST_CALL element_list_entry(ElementHeader* first) {
    if (active_host != nullptr) active_host->element_list(Slot, first, 0);
}

template <int Slot>
void HOST_CALL element_list_value_entry(ElementHeader* first, uintptr_t value) {
    if (active_host != nullptr) active_host->element_list(Slot, first, value);
}

// A slot the host does not provide. Takes no arguments: the report is all
// that matters, and the test that sees it fails.
template <int Slot>
void HOST_CALL trap_entry() {
    if (active_host != nullptr) active_host->trap(Slot);
}

template <int... Slots>
void fill_traps(HostFunctionTable& table, std::integer_sequence<int, Slots...>) {
    ((table.slot[Slots] = trap_entry<Slots>), ...);
}

template <typename Entry>
HostOperation as_slot(Entry entry) {
    return reinterpret_cast<HostOperation>(entry);
}

}  // namespace

HostServices::HostServices() {
    fill_traps(table_, std::make_integer_sequence<int, host_function_table_slots>{});
    table_.slot[SLOT_ELEMENT_LIST_QUERY] = as_slot(element_list_entry<SLOT_ELEMENT_LIST_QUERY>);
    table_.slot[SLOT_ELEMENT_LIST_INSTALL] = as_slot(element_list_value_entry<SLOT_ELEMENT_LIST_INSTALL>);
    table_.slot[SLOT_ELEMENT_LIST_INITIALIZE] = as_slot(element_list_entry<SLOT_ELEMENT_LIST_INITIALIZE>);
    table_.slot[SLOT_ELEMENT_LIST_UPDATE] = as_slot(element_list_entry<SLOT_ELEMENT_LIST_UPDATE>);
    table_.slot[SLOT_ELEMENT_LIST_GENERATE] = as_slot(element_list_value_entry<SLOT_ELEMENT_LIST_GENERATE>);
    table_.slot[SLOT_ELEMENT_LIST_DRAW] = as_slot(element_list_entry<SLOT_ELEMENT_LIST_DRAW>);
    table_.slot[SLOT_ELEMENT_LIST_ERASE] = as_slot(element_list_entry<SLOT_ELEMENT_LIST_ERASE>);
    table_.slot[SLOT_ELEMENT_LIST_KILL] = as_slot(element_list_entry<SLOT_ELEMENT_LIST_KILL>);
    table_.slot[SLOT_TRIGGER_KEY_EVENT] = as_slot(trigger_key_event_entry);
    table_.slot[SLOT_REFRESH_VAR] = as_slot(refresh_var_entry);
}

HostServices::~HostServices() { detach(); }

HostServices* HostServices::active() { return active_host; }

void HostServices::attach(GaugeModuleImports* imports) {
    detach();
    attached_ = imports;
    active_host = this;
    if (imports != nullptr && imports->entry[0].id == import_id_panels) imports->entry[0].table = &table_;
}

void HostServices::detach() {
    if (attached_ != nullptr && attached_->entry[0].table == &table_) attached_->entry[0].table = nullptr;
    attached_ = nullptr;
    if (active_host == this) active_host = nullptr;
}

void HostServices::set_var(int32_t id, double value) { vars_[id] = value; }

double HostServices::var(int32_t id) const {
    const auto found = vars_.find(id);
    return found == vars_.end() ? 0.0 : found->second;
}

std::vector<KeyEvent> HostServices::take_key_events() { return std::exchange(key_events_, {}); }

void HostServices::refresh(ModuleVar* var) {
    if (var == nullptr) return;
    ++refresh_count_;
    var->previous = var->value;
    var->value.n = this->var(var->id);
    if (on_refresh) on_refresh(var->id);
}

uint32_t HostServices::trigger(uint32_t id, uint32_t value) {
    key_events_.push_back({id, value});
    if (on_key_event) on_key_event(id, value);
    return 0;
}

void HostServices::element_list(int slot, ElementHeader* first, uintptr_t value) {
    element_list_calls_.push_back({slot, first, value});
}

void HostServices::trap(int slot) {
    char message[96];
    std::snprintf(message, sizeof message, "module called host function table slot %d, which this host does not provide",
                  slot);
    traps_.emplace_back(message);
}

}  // namespace panelhost
