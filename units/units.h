// The decision-height unit (DH) and the two selector units (FD/ILS, DME):
// their element records and chains (in drawing order), mouse tables and
// callbacks. The gauge headers
// themselves are declared with the module's linkage.
#pragma once

#include <cstdint>

#include "module/gauge_tables.h"
#include "module/host_abi.h"

namespace orvane {

// Decision-height unit.
extern ElementStaticImage dh_background;
extern ElementString dh_value_window;
extern ElementIcon gsa_light;
extern ElementIcon dh_light;
extern MouseRect dh_mouse_table[];

using DhChain = ElementChain<dh_background, dh_value_window, gsa_light, dh_light>;

void HOST_CALL dh_service_callback(GaugeHeader* gauge, int32_t service, ServiceExtra extra);
double HOST_CALL dh_value_text(ElementString* element);
int32_t HOST_CALL dh_toggle_click(PixPoint* point, uint32_t mouse_flags);
int32_t HOST_CALL gsa_toggle_click(PixPoint* point, uint32_t mouse_flags);
int32_t HOST_CALL dh_knob_dec_click(PixPoint* point, uint32_t mouse_flags);
int32_t HOST_CALL dh_knob_inc_click(PixPoint* point, uint32_t mouse_flags);

// FD and ILS push-buttons.
extern ElementStaticImage fd_background;
extern ElementIcon ils_light;
extern ElementIcon fd_light;
extern MouseRect fd_mouse_table[];

using FdChain = ElementChain<fd_background, ils_light, fd_light>;

void HOST_CALL fd_service_callback(GaugeHeader* gauge, int32_t service, ServiceExtra extra);
int32_t HOST_CALL ls_toggle_click(PixPoint* point, uint32_t mouse_flags);

// DME1/DME2 push-button.
extern ElementStaticImage dme_background;
extern ElementIcon dme_light;
extern MouseRect dme_mouse_table[];

using DmeChain = ElementChain<dme_background, dme_light>;

void HOST_CALL dme_service_callback(GaugeHeader* gauge, int32_t service, ServiceExtra extra);
int32_t HOST_CALL dme_toggle_click(PixPoint* point, uint32_t mouse_flags);

}  // namespace orvane
