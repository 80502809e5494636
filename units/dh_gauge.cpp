// The decision-height unit: DH and GSA push-buttons with their lights, the
// value window and the knob. In DH mode the knob steps the host's decision
// height; in GSA mode it steps the module's own glideslope angle.
#include <bit>

#include "module/cockpit.h"
#include "module/glideslope_angle.h"
#include "module/gauge_tables.h"
#include "module/host_calls.h"
#include "module/host_vars.h"
#include "module/key_event_list.h"
#include "module/linkage.h"
#include "module/text_writer.h"
#include "units/callout.h"
#include "units/units.h"

namespace orvane {

// The knob stops on exactly these doubles, the nearest to -9.9 and 9.9.
static_assert(std::bit_cast<uint64_t>(gsa_angle_min) == 0xC023CCCCCCCCCCCDull);
static_assert(std::bit_cast<uint64_t>(gsa_angle_max) == 0x4023CCCCCCCCCCCDull);

namespace {

constexpr PixBox dh_button = {4, 4, 18, 13};
constexpr PixBox gsa_button = {4, 18, 18, 13};

}  // namespace

constinit ElementStaticImage dh_background = {
    .header = {.element_type = ELEMENT_STATIC_IMAGE,
               .resource_id = BMP_DH_BACKGROUND,
               .position = {0, 0},
               .gauge_header = &dh_gauge,
               .next_element = DhChain::next<dh_background>(),
               .image_flags = face_flags},
};

constinit ElementString dh_value_window = text_element({
    .gauge = &dh_gauge,
    .position = {36, 8},
    .box = {33, 14},
    .chars = 4,
    .image_flags = window_flags,
    .foreground = window_amber,
    .background = window_maroon,
    .font = window_font,
    .vars = {DECISION_HEIGHT},
    .callback = dh_value_text,
    .next = DhChain::next<dh_value_window>(),
});

// The two lights share one bitmap; only the hide bit tells them apart.
constinit ElementIcon gsa_light = {
    .header = {.element_type = ELEMENT_ICON,
               .resource_id = BMP_DH_MODE_LIGHT,
               .position = corner_of(gsa_button),
               .gauge_header = &dh_gauge,
               .next_element = DhChain::next<gsa_light>(),
               .image_flags = light_flags},
    .num_icons = 1,
};

constinit ElementIcon dh_light = {
    .header = {.element_type = ELEMENT_ICON,
               .resource_id = BMP_DH_MODE_LIGHT,
               .position = corner_of(dh_button),
               .gauge_header = &dh_gauge,
               .next_element = DhChain::next<dh_light>(),
               .image_flags = light_flags},
    .num_icons = 1,
};

// The decision height arrives in the element's own record, in feet; the text
// callback hands it back in every mode.
double HOST_CALL dh_value_text(ElementString* element) {
    if (element == nullptr) return 0.0;
    const double decision_height = element->source_var[0].value.n;
    if (cockpit.dh_mode == 1) {
        write_text(element, "%3.0f", decision_height);
    } else if (cockpit.gsa_mode == 1) {
        write_glideslope_angle(element, cockpit.gsa_angle);
    } else {
        write_text(element, "----");
    }
    return decision_height;
}

// Pressing a mode button leaves the other mode's value alone, so the decision
// height and the angle are both still set when their mode comes back.
int32_t HOST_CALL dh_toggle_click(PixPoint*, uint32_t) {
    if (cockpit.dh_mode == 1) {
        cockpit.dh_mode = 0;
    } else {
        cockpit.dh_mode = 1;
        cockpit.gsa_mode = 0;
    }
    return 0;
}

int32_t HOST_CALL gsa_toggle_click(PixPoint*, uint32_t) {
    if (cockpit.gsa_mode == 1) {
        cockpit.gsa_mode = 0;
    } else {
        cockpit.gsa_mode = 1;
        cockpit.dh_mode = 0;
    }
    return 0;
}

// The angle is the running sum of its steps, never rounded to tenths; only a
// result past a limit is replaced, by the limit itself.
int32_t HOST_CALL dh_knob_dec_click(PixPoint*, uint32_t) {
    if (cockpit.dh_mode == 1) trigger_key_event(KEY_DECISION_HEIGHT_DEC);
    if (cockpit.gsa_mode == 1) {
        cockpit.gsa_angle = cockpit.gsa_angle - gsa_angle_step;
        if (cockpit.gsa_angle < gsa_angle_min) cockpit.gsa_angle = gsa_angle_min;
    }
    return 0;
}

int32_t HOST_CALL dh_knob_inc_click(PixPoint*, uint32_t) {
    if (cockpit.dh_mode == 1) trigger_key_event(KEY_DECISION_HEIGHT_INC);
    if (cockpit.gsa_mode == 1) {
        cockpit.gsa_angle = cockpit.gsa_angle + gsa_angle_step;
        if (cockpit.gsa_angle > gsa_angle_max) cockpit.gsa_angle = gsa_angle_max;
    }
    return 0;
}

// The knob's increment half reaches one pixel past the knob's area.
constinit MouseRect dh_mouse_table[] = {
    open_area(whole_gauge),
    tooltip("Airbus A310 DH Unit"),
        open_area(dh_button),
        tooltip("Toggle Decision Height"),
        click_handler(all_of(dh_button), CURSOR_HAND, MOUSE_CLICK_REPEAT, dh_toggle_click),
        close_area(),
        open_area(gsa_button),
        tooltip("Toggle Glideslope Angle"),
        click_handler(all_of(gsa_button), CURSOR_HAND, MOUSE_CLICK_REPEAT, gsa_toggle_click),
        close_area(),
        open_area({78, 5, 25, 20}),
        tooltip("Set Decision Height"),
        click_handler({0, 0, 12, 20}, CURSOR_DOWNARROW, MOUSE_CLICK_REPEAT, dh_knob_dec_click),
        click_handler({14, 0, 12, 20}, CURSOR_UPARROW, MOUSE_CLICK_REPEAT, dh_knob_inc_click),
        close_area(),
    close_area(),
    end_of_table(),
};

// The lights follow the modes at every update; the callout runs after them.
void HOST_CALL dh_service_callback(GaugeHeader* gauge, int32_t service, ServiceExtra extra) {
    switch (service) {
        case SERVICE_PRE_INSTALL:
            callout_install(extra);
            break;
        case SERVICE_PRE_UPDATE:
            set_element_visible(gauge, DhChain::index<dh_light>, cockpit.dh_mode == 1);
            set_element_visible(gauge, DhChain::index<gsa_light>, cockpit.gsa_mode == 1);
            callout_update();
            break;
        case SERVICE_PRE_KILL:
            callout_kill();
            break;
        default:
            break;
    }
}

constinit GaugeHeader dh_gauge = {
    .gauge_header_version = gauge_header_version_700,
    .gauge_name = "DH",
    .elements_list = DhChain::first(),
    ORVANE_GAUGE_ROUTINES,
    .size_x_mm = 109,
    .mouse_rect = dh_mouse_table,
    .gauge_callback = dh_service_callback,
};

}  // namespace orvane
