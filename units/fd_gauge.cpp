// The FD and ILS push-buttons: header, element chain and mouse table.
#include "module/cockpit.h"
#include "module/gauge_tables.h"
#include "module/linkage.h"

namespace orvane {
namespace {

void HOST_CALL fd_service_callback(GaugeHeader*, int32_t, ServiceExtra) {}

}  // namespace

ElementStaticImage fd_background = {
    .header = {.element_type = ELEMENT_STATIC_IMAGE,
               .resource_id = BMP_FD_BUTTONS_UNLIT,
               .position = {0, 0},
               .gauge_header = &fd_gauge,
               .image_flags = IMAGE_USE_LUMINOUS | IMAGE_USE_TRANSPARENCY},
};

MouseRect fd_mouse_table[] = {
    open_area(whole_gauge),
    close_area(),
    end_of_table(),
};

GaugeHeader fd_gauge = {
    .gauge_header_version = gauge_header_version_700,
    .gauge_name = "FD",
    .elements_list = element_list_of<fd_background>,
    ORVANE_GAUGE_ROUTINES,
    .size_x_mm = 40,
    .mouse_rect = fd_mouse_table,
    .gauge_callback = fd_service_callback,
};

}  // namespace orvane
