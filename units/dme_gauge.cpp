// The DME1/DME2 push-button: header, element chain and mouse table.
#include "module/cockpit.h"
#include "module/gauge_tables.h"
#include "module/linkage.h"

namespace orvane {
namespace {

void HOST_CALL dme_service_callback(GaugeHeader*, int32_t, ServiceExtra) {}

}  // namespace

ElementStaticImage dme_background = {
    .header = {.element_type = ELEMENT_STATIC_IMAGE,
               .resource_id = BMP_DME_BACKGROUND,
               .position = {0, 0},
               .gauge_header = &dme_gauge,
               .image_flags = IMAGE_USE_LUMINOUS | IMAGE_USE_TRANSPARENCY},
};

MouseRect dme_mouse_table[] = {
    open_area(whole_gauge),
    close_area(),
    end_of_table(),
};

GaugeHeader dme_gauge = {
    .gauge_header_version = gauge_header_version_700,
    .gauge_name = "DME",
    .elements_list = element_list_of<dme_background>,
    ORVANE_GAUGE_ROUTINES,
    .size_x_mm = 18,
    .mouse_rect = dme_mouse_table,
    .gauge_callback = dme_service_callback,
};

}  // namespace orvane
