// The FD and ILS push-buttons. FD toggles the host's flight director; ILS
// switches the PFD's landing-system scales, which only the module knows of.
#include "module/cockpit.h"
#include "module/gauge_tables.h"
#include "module/host_vars.h"
#include "module/key_event_list.h"
#include "module/linkage.h"
#include "units/units.h"

namespace orvane {
namespace {

constexpr PixBox fd_button = {1, 2, 18, 13};
constexpr PixBox ils_button = {21, 2, 18, 13};

}  // namespace

constinit ElementStaticImage fd_background = {
    .header = {.element_type = ELEMENT_STATIC_IMAGE,
               .resource_id = BMP_FD_BUTTONS_UNLIT,
               .position = {0, 0},
               .gauge_header = &fd_gauge,
               .next_element = FdChain::next<fd_background>(),
               .image_flags = face_flags},
};

constinit ElementIcon ils_light = {
    .header = {.element_type = ELEMENT_ICON,
               .resource_id = BMP_ILS_BUTTON_LIT,
               .position = corner_of(ils_button),
               .gauge_header = &fd_gauge,
               .next_element = FdChain::next<ils_light>(),
               .image_flags = light_flags},
    .num_icons = 1,
};

constinit ElementIcon fd_light = {
    .header = {.element_type = ELEMENT_ICON,
               .resource_id = BMP_FD_BUTTON_LIT,
               .position = corner_of(fd_button),
               .gauge_header = &fd_gauge,
               .next_element = FdChain::next<fd_light>(),
               .image_flags = light_flags},
    .num_icons = 1,
};

int32_t HOST_CALL ls_toggle_click(PixPoint*, uint32_t) {
    cockpit.ls_display = cockpit.ls_display == 1 ? 0 : 1;
    return 0;
}

// The FD button is the host's own key event; the module keeps no state for it.
// The ILS button's tooltip shares its words with the DH unit's GSA button.
constinit MouseRect fd_mouse_table[] = {
    open_area(whole_gauge),
        open_area(fd_button),
        tooltip("Toggle Flight Director"),
        click_event(all_of(fd_button), CURSOR_HAND, MOUSE_CLICK_REPEAT, KEY_FLIGHT_DIRECTOR_TOGGLE),
        close_area(),
        open_area(ils_button),
        tooltip("Toggle Glideslope Angle"),
        click_handler(all_of(ils_button), CURSOR_HAND, MOUSE_CLICK_REPEAT, ls_toggle_click),
        close_area(),
    close_area(),
    end_of_table(),
};

// The FD light shows the host's flight director, however it was switched.
void HOST_CALL fd_service_callback(GaugeHeader* gauge, int32_t service, ServiceExtra) {
    if (service != SERVICE_PRE_UPDATE) return;
    set_element_visible(gauge, FdChain::index<ils_light>, cockpit.ls_display == 1);
    set_element_visible(gauge, FdChain::index<fd_light>, is_on(read_var(FLIGHT_DIRECTOR)));
}

constinit GaugeHeader fd_gauge = {
    .gauge_header_version = gauge_header_version_700,
    .gauge_name = "FD",
    .elements_list = FdChain::first(),
    ORVANE_GAUGE_ROUTINES,
    .size_x_mm = 40,
    .mouse_rect = fd_mouse_table,
    .gauge_callback = fd_service_callback,
};

}  // namespace orvane
