#include "module/linkage.h"

#include "module/host_calls.h"

#if ORVANE_HOST_LAYOUT
#include "module/host_abi_layout.h"
#endif

namespace orvane {
namespace {

void HOST_CALL module_start() {}
void HOST_CALL module_end() {}

// Every gauge's element-list routines hand the host the first element of the
// gauge in the first entry of the gauge table (the FCU), whichever gauge the
// host called them through.
ElementHeader* first_gauge_first_element() {
    GaugeHeader* gauge = Linkage.gauge_table[0];
    if (gauge == nullptr || gauge->elements_list == nullptr) return nullptr;
    return gauge->elements_list[0];
}

}  // namespace

void HOST_CALL element_list_query() {
    host_element_list_operation(SLOT_ELEMENT_LIST_QUERY, first_gauge_first_element());
}
void HOST_CALL element_list_install(void* resource_handle) {
    host_element_list_operation(SLOT_ELEMENT_LIST_INSTALL, first_gauge_first_element(),
                                reinterpret_cast<uintptr_t>(resource_handle));
}
void HOST_CALL element_list_initialize() {
    host_element_list_operation(SLOT_ELEMENT_LIST_INITIALIZE, first_gauge_first_element());
}
void HOST_CALL element_list_update() {
    host_element_list_operation(SLOT_ELEMENT_LIST_UPDATE, first_gauge_first_element());
}
void HOST_CALL element_list_generate(uint32_t phase) {
    host_element_list_operation(SLOT_ELEMENT_LIST_GENERATE, first_gauge_first_element(), phase);
}
void HOST_CALL element_list_draw() {
    host_element_list_operation(SLOT_ELEMENT_LIST_DRAW, first_gauge_first_element());
}
void HOST_CALL element_list_kill() {
    host_element_list_operation(SLOT_ELEMENT_LIST_KILL, first_gauge_first_element());
}

}  // namespace orvane

extern "C" {

ORVANE_EXPORT orvane::GaugeModuleImports ImportTable = {
    .entry = {{.id = orvane::import_id_panels, .table = nullptr}, {.id = 0, .table = nullptr}},
};

ORVANE_EXPORT orvane::GaugeModuleLinkage Linkage = {
    .module_id = orvane::module_id_gauges,
    .module_init = orvane::module_start,
    .module_deinit = orvane::module_end,
    .module_flags = 0,
    .module_priority = 0,
    .module_version = 0,
    .gauge_table = {&orvane::ap_gauge, &orvane::pfd_gauge, &orvane::dh_gauge, &orvane::fd_gauge,
                    &orvane::dme_gauge, nullptr},
};

}  // extern "C"
