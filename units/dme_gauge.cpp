// The DME1/DME2 push-button. The selection shows only on the PFD; the
// button's light follows a host state of its own.
#include "module/cockpit.h"
#include "module/gauge_tables.h"
#include "module/host_vars.h"
#include "module/linkage.h"
#include "units/units.h"

namespace orvane {
namespace {

constexpr PixBox dme_button = {0, 0, 18, 14};

}  // namespace

constinit ElementStaticImage dme_background = {
    .header = {.element_type = ELEMENT_STATIC_IMAGE,
               .resource_id = BMP_DME_BACKGROUND,
               .position = {0, 0},
               .gauge_header = &dme_gauge,
               .next_element = DmeChain::next<dme_background>(),
               .image_flags = face_flags},
};

constinit ElementIcon dme_light = {
    .header = {.element_type = ELEMENT_ICON,
               .resource_id = BMP_DME_BUTTON_LIT,
               .position = corner_of(dme_button),
               .gauge_header = &dme_gauge,
               .next_element = DmeChain::next<dme_light>(),
               .image_flags = light_flags},
    .num_icons = 1,
};

// Any source other than DME1 goes back to DME1, so the PFD only ever sees 1 or 2.
int32_t HOST_CALL dme_toggle_click(PixPoint*, uint32_t) {
    cockpit.dme_source = cockpit.dme_source == 1 ? 2 : 1;
    return 0;
}

constinit MouseRect dme_mouse_table[] = {
    open_area(whole_gauge),
        open_area(dme_button),
        tooltip("Toggle DME1/2"),
        click_handler(all_of(dme_button), CURSOR_HAND, MOUSE_CLICK_REPEAT, dme_toggle_click),
        close_area(),
    close_area(),
    end_of_table(),
};

void HOST_CALL dme_service_callback(GaugeHeader* gauge, int32_t service, ServiceExtra) {
    if (service != SERVICE_PRE_UPDATE) return;
    set_element_visible(gauge, DmeChain::index<dme_light>, is_on(read_var(PANEL_CIRCUIT_ON)));
}

constinit GaugeHeader dme_gauge = {
    .gauge_header_version = gauge_header_version_700,
    .gauge_name = "DME",
    .elements_list = DmeChain::first(),
    ORVANE_GAUGE_ROUTINES,
    .size_x_mm = 18,
    .mouse_rect = dme_mouse_table,
    .gauge_callback = dme_service_callback,
};

}  // namespace orvane
