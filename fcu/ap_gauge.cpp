// The Flight Control Unit gauge: its window texts, element chain, mouse table
// and header. Mode tracking is in fcu_service.cpp, the mouse handlers in
// fcu_controls.cpp.
#include "fcu/ap_gauge.h"

#include <array>
#include <iterator>
#include <span>

#include "module/cockpit.h"
#include "module/gauge_tables.h"
#include "module/host_vars.h"
#include "module/key_event_list.h"
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
        .font = window_font,
        .vars = {window.vars[0], window.vars[1], 0},
        .callback = window.callback,
        .next = window.next,
    });
}

// Each push-button's light, at the button, from its row.
constexpr ElementRecords<ElementIcon, std::size(fcu_push_buttons)> push_button_lights() {
    ElementRecords<ElementIcon, std::size(fcu_push_buttons)> made{};
    for (size_t k = 0; k < made.size(); ++k) {
        made.records[k] = {
            .header = {.element_type = ELEMENT_ICON,
                       .resource_id = BMP_AP_PUSH_BUTTON_LIGHT,
                       .position = fcu_push_buttons[k].position,
                       .gauge_header = &ap_gauge,
                       .next_element = ApChain::next<ap_lights>(k),
                       .image_flags = light_flags},
            .num_icons = 1,
        };
    }
    return made;
}

}  // namespace

constinit ElementStaticImage ap_background = {
    .header = {.element_type = ELEMENT_STATIC_IMAGE,
               .resource_id = BMP_AP_BACKGROUND,
               .position = {0, 0},
               .gauge_header = &ap_gauge,
               .next_element = ApChain::next<ap_background>(),
               .image_flags = face_flags},
};

constinit ElementString ap_speed_window = fcu_window({
    .position = {26, 14}, .box = {34, 16}, .chars = 3,
    .vars = {AIRSPEED_TARGET, MACH_TARGET}, .callback = speed_window_text,
    .next = ApChain::next<ap_speed_window>(),
});

constinit ElementString ap_altitude_window = fcu_window({
    .position = {90, 14}, .box = {51, 16}, .chars = 5,
    .vars = {ALTITUDE_TARGET}, .callback = altitude_window_text,
    .next = ApChain::next<ap_altitude_window>(),
});

constinit ElementString ap_heading_window = fcu_window({
    .position = {160, 14}, .box = {34, 16}, .chars = 3,
    .vars = {HEADING_TARGET}, .callback = heading_window_text,
    .next = ApChain::next<ap_heading_window>(),
});

constinit ElementString ap_vs_window = fcu_window({
    .position = {216, 14}, .box = {51, 16}, .chars = 5,
    .vars = {VS_TARGET}, .callback = vs_window_text,
    .next = ApChain::next<ap_vs_window>(),
});

// Shown while the autopilot is disengaged.
constinit ElementIcon ap_master_switch = {
    .header = {.element_type = ELEMENT_ICON,
               .resource_id = BMP_AP_MASTER_SWITCH,
               .position = {281, 22},
               .gauge_header = &ap_gauge,
               .next_element = ApChain::next<ap_master_switch>(),
               .image_flags = IMAGE_USE_LUMINOUS | IMAGE_USE_ERASE | IMAGE_USE_TRANSPARENCY},
    .num_icons = 1,
};

constinit ElementRecords<ElementIcon, std::size(fcu_push_buttons)> ap_lights = push_button_lights();

namespace {

// Each knob's halves leave a 3-pixel strip in its middle that takes no click.
constexpr PixBox knob_left_half = {0, 0, 13, 23};
constexpr PixBox knob_right_half = {16, 0, 13, 23};
constexpr PixBox push_button = {0, 0, 18, 18};

constexpr MouseRect click_row(PixBox box, int32_t cursor, uint32_t mouse_flags, FcuClick click) {
    return click.event != 0 ? click_event(box, cursor, mouse_flags, click.event)
                            : click_handler(box, cursor, mouse_flags, click.handler);
}

// A target knob: its left half steps the target down, its right half up,
// held down to repeat.
struct FcuKnob {
    PixPoint position;
    const char* tooltip;
    FcuClick down;
    FcuClick up;
};

constexpr FcuKnob fcu_knobs[] = {
    {.position = {28, 37}, .tooltip = "Set Autopilot Speed",
     .down = {.handler = speed_knob_dec_click}, .up = {.handler = speed_knob_inc_click}},
    {.position = {101, 37}, .tooltip = "Set Autopilot Altitude",
     .down = {.event = KEY_ALTITUDE_TARGET_DEC}, .up = {.event = KEY_ALTITUDE_TARGET_INC}},
    {.position = {162, 37}, .tooltip = "Set Autopilot Heading",
     .down = {.event = KEY_HEADING_TARGET_DEC}, .up = {.event = KEY_HEADING_TARGET_INC}},
    {.position = {228, 37}, .tooltip = "Set Autopilot V/S",
     .down = {.event = KEY_VS_TARGET_DEC}, .up = {.event = KEY_VS_TARGET_INC}},
};

constexpr std::array<MouseRect, 5 * std::size(fcu_knobs)> knob_areas() {
    std::array<MouseRect, 5 * std::size(fcu_knobs)> rows{};
    MouseRect* row = rows.data();
    for (const FcuKnob& knob : fcu_knobs) {
        *row++ = open_area({knob.position.x, knob.position.y, knob_right_half.x + knob_right_half.size_x,
                            knob_left_half.size_y});
        *row++ = tooltip(knob.tooltip);
        *row++ = click_row(knob_left_half, CURSOR_DOWNARROW, MOUSE_CLICK_REPEAT, knob.down);
        *row++ = click_row(knob_right_half, CURSOR_UPARROW, MOUSE_CLICK_REPEAT, knob.up);
        *row++ = close_area();
    }
    return rows;
}

// Each push-button's area, over its light: its tooltip and its one click row.
constexpr std::array<MouseRect, 4 * std::size(fcu_push_buttons)> push_button_areas() {
    std::array<MouseRect, 4 * std::size(fcu_push_buttons)> rows{};
    MouseRect* row = rows.data();
    for (const FcuPushButton& button : fcu_push_buttons) {
        *row++ = open_area({button.position.x, button.position.y, push_button.size_x, push_button.size_y});
        *row++ = tooltip(button.tooltip);
        *row++ = click_row(push_button, CURSOR_HAND, MOUSE_CLICK, button.click);
        *row++ = close_area();
    }
    return rows;
}

// The mouse table, in the order the host searches it.
constinit auto ap_mouse_table = join_rows(
    std::to_array<MouseRect>({
        open_area(whole_gauge),
        tooltip("Airbus A310 Flight Control Unit"),
    }),
    knob_areas(),
    std::to_array<MouseRect>({
        open_area({281, 22, 18, 32}),
        tooltip("Autopilot Master Switch"),
        click_event({0, 0, 18, 32}, CURSOR_UPARROW, MOUSE_CLICK, KEY_AP_MASTER_SWITCH),
        close_area(),
    }),
    push_button_areas(),
    std::to_array<MouseRect>({
        open_area({5, 17, 18, 18}),
        tooltip("Mach Switch"),
        click_handler(push_button, CURSOR_HAND, MOUSE_CLICK, mach_switch_click),
        close_area(),

        close_area(),
        end_of_table(),
    }));

}  // namespace

constinit GaugeHeader ap_gauge = {
    .gauge_header_version = gauge_header_version_700,
    .gauge_name = "AP",
    .elements_list = ApChain::first(),
    ORVANE_GAUGE_ROUTINES,
    .size_x_mm = 314,
    .mouse_rect = ap_mouse_table.data(),
    .gauge_callback = fcu_service,
};

}  // namespace orvane
