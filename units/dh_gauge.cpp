// The decision-height unit: its header, element chain and mouse table.
#include "module/cockpit.h"
#include "module/gauge_tables.h"
#include "module/linkage.h"

namespace orvane {
namespace {

void HOST_CALL dh_service_callback(GaugeHeader*, int32_t, ServiceExtra) {}

}  // namespace

ElementStaticImage dh_background = {
    .header = {.element_type = ELEMENT_STATIC_IMAGE,
               .resource_id = BMP_DH_BACKGROUND,
               .position = {0, 0},
               .gauge_header = &dh_gauge,
               .image_flags = IMAGE_USE_LUMINOUS | IMAGE_USE_TRANSPARENCY},
};

MouseRect dh_mouse_table[] = {
    open_area(whole_gauge),
    tooltip("Airbus A310 DH Unit"),
    close_area(),
    end_of_table(),
};

GaugeHeader dh_gauge = {
    .gauge_header_version = gauge_header_version_700,
    .gauge_name = "DH",
    .elements_list = element_list_of<dh_background>,
    ORVANE_GAUGE_ROUTINES,
    .size_x_mm = 109,
    .mouse_rect = dh_mouse_table,
    .gauge_callback = dh_service_callback,
};

}  // namespace orvane
