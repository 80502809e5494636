// The Primary Flight Display gauge: its header, element chain, failure lists
// and mouse table.
#include "module/cockpit.h"
#include "module/gauge_tables.h"
#include "module/linkage.h"

namespace orvane {
namespace {

void HOST_CALL pfd_service_callback(GaugeHeader*, int32_t, ServiceExtra) {}

}  // namespace

// A failed electrical panel blanks the whole display.
FailureRecord pfd_failures[] = {
    {.key = FAIL_SYSTEM_ELECTRICAL_PANELS, .action = FAIL_ACTION_NO_DRAW},
    {.key = FAIL_NONE, .action = FAIL_ACTION_NONE},
};

ElementStaticImage pfd_background = {
    .header = {.element_type = ELEMENT_STATIC_IMAGE,
               .resource_id = BMP_PFD_BACKGROUND,
               .position = {0, 0},
               .gauge_header = &pfd_gauge,
               .failure_systems = pfd_failures,
               .image_flags = IMAGE_USE_BRIGHT | IMAGE_USE_TRANSPARENCY},
};

MouseRect pfd_mouse_table[] = {
    open_area(whole_gauge),
    tooltip("Airbus A310 Primary Flight Display"),
    close_area(),
    end_of_table(),
};

GaugeHeader pfd_gauge = {
    .gauge_header_version = gauge_header_version_700,
    .gauge_name = "PFD",
    .elements_list = element_list_of<pfd_background>,
    ORVANE_GAUGE_ROUTINES,
    .size_x_mm = 189,
    .mouse_rect = pfd_mouse_table,
    .gauge_callback = pfd_service_callback,
};

}  // namespace orvane
