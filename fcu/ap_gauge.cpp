// The Flight Control Unit gauge: its header, element chain and mouse table.
#include "module/cockpit.h"
#include "module/gauge_tables.h"
#include "module/linkage.h"

namespace orvane {
namespace {

void HOST_CALL fcu_service(GaugeHeader*, int32_t, ServiceExtra) {}

}  // namespace

ElementStaticImage ap_background = {
    .header = {.element_type = ELEMENT_STATIC_IMAGE,
               .resource_id = BMP_AP_BACKGROUND,
               .position = {0, 0},
               .gauge_header = &ap_gauge,
               .image_flags = IMAGE_USE_LUMINOUS | IMAGE_USE_TRANSPARENCY},
};

MouseRect ap_mouse_table[] = {
    open_area(whole_gauge),
    tooltip("Airbus A310 Flight Control Unit"),
    close_area(),
    end_of_table(),
};

GaugeHeader ap_gauge = {
    .gauge_header_version = gauge_header_version_700,
    .gauge_name = "AP",
    .elements_list = element_list_of<ap_background>,
    ORVANE_GAUGE_ROUTINES,
    .size_x_mm = 314,
    .mouse_rect = ap_mouse_table,
    .gauge_callback = fcu_service,
};

}  // namespace orvane
