// The Flight Control Unit gauge: its window texts, element chain and header.
// Mode tracking is in fcu_service.cpp, the mouse table and its handlers in
// fcu_controls.cpp.
#include "fcu/ap_gauge.h"

#include <span>

#include "module/cockpit.h"
#include "module/gauge_tables.h"
#include "module/host_vars.h"
#include "module/linkage.h"
#include "module/text_writer.h"

namespace orvane {
namespace {

// A window shows its target zero-padded to its width: a ladder of tests on the
// value, each test that holds rewriting the text, so the last one decides.
struct LadderRung {
    enum Test { BELOW, ABOVE, AT_LEAST } test;
    double threshold;
    const char* format;
    const char* zeros;  // the leading zeros the format prints first; null for a bare number
};

constexpr LadderRung three_digit_ladder[] = {
    {.test = LadderRung::BELOW, .threshold = 100, .format = "%s%2.0f", .zeros = "0"},
    {.test = LadderRung::BELOW, .threshold = 10, .format = "%s%1.0f", .zeros = "00"},
    {.test = LadderRung::ABOVE, .threshold = 99, .format = "%3.0f", .zeros = nullptr},
};

constexpr LadderRung five_digit_ladder[] = {
    {.test = LadderRung::BELOW, .threshold = 10000, .format = "%s%4.0f", .zeros = "0"},
    {.test = LadderRung::BELOW, .threshold = 1000, .format = "%s%3.0f", .zeros = "00"},
    {.test = LadderRung::BELOW, .threshold = 100, .format = "%s%2.0f", .zeros = "000"},
    {.test = LadderRung::BELOW, .threshold = 10, .format = "%s%1.0f", .zeros = "0000"},
    {.test = LadderRung::BELOW, .threshold = 0, .format = "%5.0f", .zeros = nullptr},
    {.test = LadderRung::AT_LEAST, .threshold = 10000, .format = "%5.0f", .zeros = nullptr},
};

bool holds(const LadderRung& rung, double value) {
    switch (rung.test) {
        case LadderRung::BELOW: return value < rung.threshold;
        case LadderRung::ABOVE: return value > rung.threshold;
        case LadderRung::AT_LEAST: return value >= rung.threshold;
    }
    return false;
}

void write_rung(ElementString* element, const LadderRung& rung, double value) {
    if (rung.zeros != nullptr) {
        write_text(element, rung.format, rung.zeros, value);
    } else {
        write_text(element, rung.format, value);
    }
}

// Only the deciding rung is written, the last that holds, found from the
// end: the host reads the text once the callback has returned, so the
// rewrites before it would show nowhere.
void write_ladder(ElementString* element, std::span<const LadderRung> ladder, double value) {
    for (size_t i = ladder.size(); i-- > 0;) {
        if (holds(ladder[i], value)) {
            write_rung(element, ladder[i], value);
            return;
        }
    }
    // A NaN from the host passes no test; printing it as the last rung does
    // keeps the window from going on showing the previous target.
    write_rung(element, ladder.back(), value);
}

// A window whose live flag is 0 shows dashes instead of its target.
bool write_dashes_unless_live(ElementString* element, int32_t live, const char* dashes) {
    if (live != 0) return false;
    write_text(element, "%s", dashes);
    return true;
}

}  // namespace

double HOST_CALL speed_window_text(ElementString* element) {
    if (element == nullptr) return 0.0;
    const double speed_target = element->source_var[0].value.n;
    const double mach_target = element->source_var[1].value.n;
    if (write_dashes_unless_live(element, cockpit.speed_window_live, "---")) return speed_target;
    if (cockpit.mach_mode == 0) {
        write_ladder(element, three_digit_ladder, speed_target);
        return speed_target;
    }
    // Mach 0.78 shows as ".78"; the knob stops at 0.99, so it stays three characters.
    const double hundredths = mach_target * 100;
    if (hundredths > 10) {
        write_text(element, "%s%2.0f", ".", hundredths);
    } else {
        write_text(element, "%s%1.0f", ".0", hundredths);
    }
    return hundredths;
}

double HOST_CALL altitude_window_text(ElementString* element) {
    if (element == nullptr) return 0.0;
    const double target = element->source_var[0].value.n;
    if (!write_dashes_unless_live(element, cockpit.altitude_window_live, "-----")) {
        write_ladder(element, five_digit_ladder, target);
    }
    return target;
}

double HOST_CALL heading_window_text(ElementString* element) {
    if (element == nullptr) return 0.0;
    const double target = element->source_var[0].value.n;
    if (!write_dashes_unless_live(element, cockpit.heading_window_live, "---")) {
        write_ladder(element, three_digit_ladder, target);
    }
    return target;
}

double HOST_CALL vs_window_text(ElementString* element) {
    if (element == nullptr) return 0.0;
    const double target = element->source_var[0].value.n;
    if (!write_dashes_unless_live(element, cockpit.vs_window_live, "-----")) {
        write_ladder(element, five_digit_ladder, target);
    }
    return target;
}

namespace {

constexpr uint32_t window_flags = IMAGE_USE_ERASE | IMAGE_USE_BRIGHT;                             // 0x6
constexpr uint32_t light_flags = IMAGE_USE_TRANSPARENCY | IMAGE_USE_ERASE | IMAGE_USE_BRIGHT;     // 0x7
constexpr uint32_t window_amber = rgb(246, 150, 13);
constexpr uint32_t window_maroon = rgb(105, 25, 25);

// What sets one FCU window apart from the others.
struct FcuWindow {
    PixPoint position;
    PixPoint box;
    uint16_t chars;
    int32_t vars[2];
    StringCallback callback;
    ElementHeader** next;
};

// Every window: amber seven-segment digits on maroon, centred on one line.
constexpr ElementString fcu_window(const FcuWindow& window) {
    return text_element({
        .gauge = &ap_gauge,
        .position = window.position,
        .box = window.box,
        .chars = window.chars,
        .image_flags = window_flags,
        .foreground = window_amber,
        .background = window_maroon,
        .font = "QUARTZ",
        .vars = {window.vars[0], window.vars[1], 0},
        .callback = window.callback,
        .next = window.next,
    });
}

}  // namespace

// The element chain, in drawing order. Every light sits on its push-button.
constinit ElementStaticImage ap_background = {
    .header = {.element_type = ELEMENT_STATIC_IMAGE,
               .resource_id = BMP_AP_BACKGROUND,
               .position = {0, 0},
               .gauge_header = &ap_gauge,
               .next_element = element_list_of<ap_speed_window>,
               .image_flags = IMAGE_USE_LUMINOUS | IMAGE_USE_TRANSPARENCY},
};

constinit ElementString ap_speed_window = fcu_window({
    .position = {26, 14}, .box = {34, 16}, .chars = 3,
    .vars = {AIRSPEED_TARGET, MACH_TARGET}, .callback = speed_window_text,
    .next = element_list_of<ap_altitude_window>,
});

constinit ElementString ap_altitude_window = fcu_window({
    .position = {90, 14}, .box = {51, 16}, .chars = 5,
    .vars = {ALTITUDE_TARGET}, .callback = altitude_window_text,
    .next = element_list_of<ap_heading_window>,
});

constinit ElementString ap_heading_window = fcu_window({
    .position = {160, 14}, .box = {34, 16}, .chars = 3,
    .vars = {HEADING_TARGET}, .callback = heading_window_text,
    .next = element_list_of<ap_vs_window>,
});

constinit ElementString ap_vs_window = fcu_window({
    .position = {216, 14}, .box = {51, 16}, .chars = 5,
    .vars = {VS_TARGET}, .callback = vs_window_text,
    .next = element_list_of<ap_master_switch>,
});

// Shown while the autopilot is disengaged.
constinit ElementIcon ap_master_switch = {
    .header = {.element_type = ELEMENT_ICON,
               .resource_id = BMP_AP_MASTER_SWITCH,
               .position = {281, 22},
               .gauge_header = &ap_gauge,
               .next_element = element_list_of<ap_approach_light>,
               .image_flags = IMAGE_USE_LUMINOUS | IMAGE_USE_ERASE | IMAGE_USE_TRANSPARENCY},
    .num_icons = 1,
};

constinit ElementIcon ap_approach_light = {
    .header = {.element_type = ELEMENT_ICON,
               .resource_id = BMP_AP_PUSH_BUTTON_LIGHT,
               .position = {244, 71},
               .gauge_header = &ap_gauge,
               .next_element = element_list_of<ap_nav1_light>,
               .image_flags = light_flags},
    .num_icons = 1,
};

constinit ElementIcon ap_nav1_light = {
    .header = {.element_type = ELEMENT_ICON,
               .resource_id = BMP_AP_PUSH_BUTTON_LIGHT,
               .position = {186, 71},
               .gauge_header = &ap_gauge,
               .next_element = element_list_of<ap_heading_hold_light>,
               .image_flags = light_flags},
    .num_icons = 1,
};

constinit ElementIcon ap_heading_hold_light = {
    .header = {.element_type = ELEMENT_ICON,
               .resource_id = BMP_AP_PUSH_BUTTON_LIGHT,
               .position = {167, 71},
               .gauge_header = &ap_gauge,
               .next_element = element_list_of<ap_yaw_damper_light>,
               .image_flags = light_flags},
    .num_icons = 1,
};

constinit ElementIcon ap_yaw_damper_light = {
    .header = {.element_type = ELEMENT_ICON,
               .resource_id = BMP_AP_PUSH_BUTTON_LIGHT,
               .position = {125, 71},
               .gauge_header = &ap_gauge,
               .next_element = element_list_of<ap_wing_leveler_light>,
               .image_flags = light_flags},
    .num_icons = 1,
};

constinit ElementIcon ap_wing_leveler_light = {
    .header = {.element_type = ELEMENT_ICON,
               .resource_id = BMP_AP_PUSH_BUTTON_LIGHT,
               .position = {106, 71},
               .gauge_header = &ap_gauge,
               .next_element = element_list_of<ap_altitude_hold_light>,
               .image_flags = light_flags},
    .num_icons = 1,
};

constinit ElementIcon ap_altitude_hold_light = {
    .header = {.element_type = ELEMENT_ICON,
               .resource_id = BMP_AP_PUSH_BUTTON_LIGHT,
               .position = {87, 71},
               .gauge_header = &ap_gauge,
               .next_element = element_list_of<ap_autothrottle_light>,
               .image_flags = light_flags},
    .num_icons = 1,
};

constinit ElementIcon ap_autothrottle_light = {
    .header = {.element_type = ELEMENT_ICON,
               .resource_id = BMP_AP_PUSH_BUTTON_LIGHT,
               .position = {34, 71},
               .gauge_header = &ap_gauge,
               .next_element = element_list_of<ap_speed_hold_light>,
               .image_flags = light_flags},
    .num_icons = 1,
};

// Lit for the speed hold of either mode; the last element of the chain.
constinit ElementIcon ap_speed_hold_light = {
    .header = {.element_type = ELEMENT_ICON,
               .resource_id = BMP_AP_PUSH_BUTTON_LIGHT,
               .position = {15, 71},
               .gauge_header = &ap_gauge,
               .image_flags = light_flags},
    .num_icons = 1,
};

constinit GaugeHeader ap_gauge = {
    .gauge_header_version = gauge_header_version_700,
    .gauge_name = "AP",
    .elements_list = element_list_of<ap_background>,
    ORVANE_GAUGE_ROUTINES,
    .size_x_mm = 314,
    .mouse_rect = ap_mouse_table,
    .gauge_callback = fcu_service,
};

}  // namespace orvane
