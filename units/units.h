// The decision-height unit (DH) and the two selector units (FD/ILS, DME):
// their element records, mouse tables and callbacks. The gauge headers
// themselves are declared with the module's linkage.
#pragma once

#include <cstdint>

#include "module/host_abi.h"

namespace orvane {

// Decision-height unit, in chain order.
extern ElementStaticImage dh_background;
extern ElementString dh_value_window;
extern ElementIcon gsa_light;
extern ElementIcon dh_light;
extern MouseRect dh_mouse_table[];

inline constexpr uint32_t dh_value_window_index = 1;
inline constexpr uint32_t gsa_light_index = 2;
inline constexpr uint32_t dh_light_index = 3;

void HOST_CALL dh_service_callback(GaugeHeader* gauge, int32_t service, ServiceExtra extra);
double HOST_CALL dh_value_text(ElementString* element);
int32_t HOST_CALL dh_toggle_click(PixPoint* point, uint32_t mouse_flags);
int32_t HOST_CALL gsa_toggle_click(PixPoint* point, uint32_t mouse_flags);
int32_t HOST_CALL dh_knob_dec_click(PixPoint* point, uint32_t mouse_flags);
int32_t HOST_CALL dh_knob_inc_click(PixPoint* point, uint32_t mouse_flags);

// FD and ILS push-buttons, in chain order.
extern ElementStaticImage fd_background;
extern ElementIcon ils_light;
extern ElementIcon fd_light;
extern MouseRect fd_mouse_table[];

inline constexpr uint32_t ils_light_index = 1;
inline constexpr uint32_t fd_light_index = 2;

void HOST_CALL fd_service_callback(GaugeHeader* gauge, int32_t service, ServiceExtra extra);
int32_t HOST_CALL ls_toggle_click(PixPoint* point, uint32_t mouse_flags);

// DME1/DME2 push-button, in chain order.
extern ElementStaticImage dme_background;
extern ElementIcon dme_light;
extern MouseRect dme_mouse_table[];

inline constexpr uint32_t dme_light_index = 1;

void HOST_CALL dme_service_callback(GaugeHeader* gauge, int32_t service, ServiceExtra extra);
int32_t HOST_CALL dme_toggle_click(PixPoint* point, uint32_t mouse_flags);

}  // namespace orvane
