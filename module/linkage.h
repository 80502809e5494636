// The module's two exports and its five gauges.
#pragma once

#include "module/host_abi.h"

extern "C" {
extern orvane::GaugeModuleImports ImportTable;
extern orvane::GaugeModuleLinkage Linkage;
}

namespace orvane {

extern GaugeHeader ap_gauge;
extern GaugeHeader pfd_gauge;
extern GaugeHeader dh_gauge;
extern GaugeHeader fd_gauge;
extern GaugeHeader dme_gauge;

// The seven element-list routines every gauge header carries, in slot order.
void HOST_CALL element_list_query();
void HOST_CALL element_list_install(void* resource_handle);
void HOST_CALL element_list_initialize();
void HOST_CALL element_list_update();
void HOST_CALL element_list_generate(uint32_t phase);
void HOST_CALL element_list_draw();
void HOST_CALL element_list_kill();

}  // namespace orvane

// The shared header fields of a version-700 gauge; the rest stays zero.
#define ORVANE_GAUGE_ROUTINES                                                                  \
    .query_routine = ::orvane::element_list_query, .install_routine = ::orvane::element_list_install, \
    .initialize_routine = ::orvane::element_list_initialize,                                   \
    .update_routine = ::orvane::element_list_update,                                           \
    .generate_routine = ::orvane::element_list_generate, .draw_routine = ::orvane::element_list_draw, \
    .kill_routine = ::orvane::element_list_kill
