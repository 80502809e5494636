// The Primary Flight Display gauge, top to bottom in the order the host draws
// it: the attitude sphere, the speed and heading tapes, the mode annunciations
// and numeric readouts, the landing-system scales and diamonds, the
// flight-director bars and the aircraft symbol, each next to its callback.
#include "pfd/pfd_gauge.h"

#include <cmath>
#include <initializer_list>

#include "module/cockpit.h"
#include "module/glideslope_angle.h"
#include "module/gauge_tables.h"
#include "module/host_vars.h"
#include "module/linkage.h"
#include "module/text_writer.h"

namespace orvane {

// A failed electrical panel blanks the whole display.
constinit FailureRecord pfd_failures[] = {
    {.key = FAIL_SYSTEM_ELECTRICAL_PANELS, .action = FAIL_ACTION_NO_DRAW},
    {.key = FAIL_NONE, .action = FAIL_ACTION_NONE},
};

// A failed vacuum or attitude gyro takes the sphere away alone and uncovers
// the ATT flag painted on the background.
constinit FailureRecord pfd_attitude_failures[] = {
    {.key = FAIL_SYSTEM_ELECTRICAL_PANELS, .action = FAIL_ACTION_NO_DRAW},
    {.key = FAIL_SYSTEM_VACUUM, .action = FAIL_ACTION_NO_DRAW},
    {.key = FAIL_GAUGE_ATTITUDE, .action = FAIL_ACTION_NO_DRAW},
    {.key = FAIL_NONE, .action = FAIL_ACTION_NONE},
};

namespace {

constexpr uint32_t green = rgb(55, 231, 55);
constexpr uint32_t blue = rgb(0, 153, 230);
constexpr uint32_t white = rgb(255, 255, 255);

constexpr uint32_t pfd_image_flags = IMAGE_USE_BRIGHT | IMAGE_USE_ERASE | IMAGE_USE_TRANSPARENCY;  // 0x7
constexpr uint32_t pfd_smoothed_flags = pfd_image_flags | IMAGE_BILINEAR_COLOR;                     // 0x87
constexpr uint32_t pfd_slider_flags = IMAGE_USE_ERASE | IMAGE_USE_TRANSPARENCY;                     // 0x3

// What sets one PFD text apart from the others.
struct PfdText {
    PixPoint position;
    PixPoint box;
    uint16_t chars;
    uint32_t colour;
    int32_t vars[2];  // the element's own host variables, refreshed by the host
    StringCallback callback;
    ElementHeader** next;
};

// Every PFD text is drawn in the same font, centred on one line over black.
constexpr ElementString pfd_text(const PfdText& text) {
    return text_element({
        .gauge = &pfd_gauge,
        .position = text.position,
        .box = text.box,
        .chars = text.chars,
        .image_flags = pfd_image_flags,
        .failures = pfd_failures,
        .foreground = text.colour,
        .background = rgb(0, 0, 0),
        .font = "Glass Gauge",
        .vars = {text.vars[0], text.vars[1], 0},
        .callback = text.callback,
        .next = text.next,
    });
}

// The value of the element's own record i, which the host has refreshed
// before calling the element's callback.
double own_value(const ElementString* element, int i) {
    return element != nullptr ? element->source_var[i].value.n : 0.0;
}

// The flight-director bars never leave the attitude window: 25 degrees moves
// the pitch bar 37.5 pixels and the roll bar 40.
constexpr double fd_bar_limit = 25.0;

double clamp_fd_bar(double difference) {
    // No command to follow: the bar rests at its place rather than wherever
    // the host would put a value that is not a number.
    if (std::isnan(difference)) return 0.0;
    if (difference > fd_bar_limit) difference = fd_bar_limit;
    if (difference < -fd_bar_limit) difference = -fd_bar_limit;
    return difference;
}

}  // namespace

constinit ElementStaticImage pfd_background = {
    .header = {.element_type = ELEMENT_STATIC_IMAGE,
               .resource_id = BMP_PFD_BACKGROUND,
               .position = {0, 0},
               .gauge_header = &pfd_gauge,
               .next_element = PfdChain::next<pfd_background>(),
               .failure_systems = pfd_failures,
               .image_flags = IMAGE_USE_BRIGHT | IMAGE_USE_TRANSPARENCY},
};

// The ball turns with the bank and slides 1.5 pixels per degree of pitch
// behind its window (the bitmap after the ball's).
constinit ElementSprite pfd_attitude_sphere = {
    .header = {.element_type = ELEMENT_SPRITE,
               .resource_id = BMP_PFD_ATTITUDE_BALL,
               .position = {56, 36},
               .ofs = {99, 87},
               .gauge_header = &pfd_gauge,
               .next_element = PfdChain::next<pfd_attitude_sphere>(),
               .failure_systems = pfd_attitude_failures,
               .image_flags = pfd_smoothed_flags},
    .source_var_x = {.id = 0},
    .scale_x = 0.0,
    .source_var_y = {.id = PITCH},
    .scale_y = 1.5,
    .source_var_0 = {.id = BANK},
    .scale_0 = -1.0,
    .texture_scale_x = 1.0f,
    .texture_scale_y = 1.0f,
};

// The tape's labels run from 640 at the top down to 000, so the higher
// airspeed maps to the texture's start.
constinit ElementMovingImage pfd_speed_tape = {
    .header = {.element_type = ELEMENT_MOVING_IMAGE,
               .resource_id = BMP_PFD_SPEED_TAPE,
               .position = {14, 39},
               .gauge_header = &pfd_gauge,
               .next_element = PfdChain::next<pfd_speed_tape>(),
               .failure_systems = pfd_failures,
               .image_flags = IMAGE_USE_BRIGHT | IMAGE_USE_ERASE},
    .source_var_x = {.id = 0},
    .min_x = 0.0,
    .max_x = 0.0,
    .source_var_y = {.id = AIRSPEED},
    .min_y = 620.0,
    .max_y = 0.0,
};

constinit ElementMovingImage pfd_heading_tape = {
    .header = {.element_type = ELEMENT_MOVING_IMAGE,
               .resource_id = BMP_PFD_HEADING_TAPE,
               .position = {60, 144},
               .gauge_header = &pfd_gauge,
               .next_element = PfdChain::next<pfd_heading_tape>(),
               .failure_systems = pfd_failures,
               .image_flags = IMAGE_USE_BRIGHT | IMAGE_USE_ERASE},
    .source_var_x = {.id = HEADING},
    .min_x = 0.0,
    .max_x = 360.0,
    .source_var_y = {.id = 0},
    .min_y = 0.0,
    .max_y = 0.0,
};

// Five digits with leading zeros. The ladder decides on the value as the
// format will print it, rounded to the nearest foot (a tie to the even one),
// so that 999.6 feet reads 01000: deciding on the raw value would print
// 001000 and the cut to five characters would show 00100. Below zero, and
// for values that are not a number, the plain format; a value that rounds
// to zero from below reads 00000 rather than 0000-0 cut to 0000-.
double HOST_CALL pfd_altitude_text(ElementString* element) {
    const double feet = own_value(element, 0);
    if (std::isnan(feet) || feet < -0.5 || feet >= 9999.5) {
        write_text(element, "%5.0f", feet);
    } else if (feet >= 999.5) {
        write_text(element, "%s%4.0f", "0", feet);
    } else if (feet >= 99.5) {
        write_text(element, "%s%3.0f", "00", feet);
    } else if (feet >= 9.5) {
        write_text(element, "%s%2.0f", "000", feet);
    } else {
        write_text(element, "%s%1.0f", "0000", std::fabs(feet));
    }
    return feet;
}

constinit ElementString pfd_altitude = pfd_text({
    .position = {153, 82}, .box = {32, 11}, .chars = 5, .colour = green,
    .vars = {BARO_ALTITUDE, 0}, .callback = pfd_altitude_text,
    .next = PfdChain::next<pfd_altitude>(),
});

// Later steps overwrite earlier ones, so with both holds on the Mach hold
// wins. Neither on nor both zero (a hold at 0.5, say) matches no step, and
// the text stays as the last update left it.
double HOST_CALL pfd_speed_mode_text(ElementString* element) {
    const double airspeed_hold = own_value(element, 0);
    const double mach_hold = own_value(element, 1);
    const char* mode = nullptr;
    if (is_zero(airspeed_hold) && is_zero(mach_hold)) mode = "MAN";
    if (is_on(airspeed_hold)) mode = "SPD";
    if (is_on(mach_hold)) mode = "MCH";
    if (mode != nullptr) write_text(element, "%s", mode);
    return airspeed_hold;
}

constinit ElementString pfd_speed_mode = pfd_text({
    .position = {22, 5}, .box = {22, 12}, .chars = 3, .colour = green,
    .vars = {AIRSPEED_HOLD, MACH_HOLD}, .callback = pfd_speed_mode_text,
    .next = PfdChain::next<pfd_speed_mode>(),
});

double HOST_CALL pfd_vertical_mode_text(ElementString* element) {
    const double vs_target = read_var(VS_TARGET);
    const double altitude_hold = own_value(element, 0);
    if (is_zero(altitude_hold)) {
        write_text(element, "");
    } else if (is_zero(vs_target)) {
        write_text(element, "ALT");
    } else {
        write_text(element, "V/S");
    }
    return altitude_hold;
}

constinit ElementString pfd_vertical_mode = pfd_text({
    .position = {54, 5}, .box = {22, 12}, .chars = 3, .colour = green,
    .vars = {ALTITUDE_HOLD, 0}, .callback = pfd_vertical_mode_text,
    .next = PfdChain::next<pfd_vertical_mode>(),
});

double HOST_CALL pfd_glideslope_text(ElementString* element) {
    write_text(element, is_on(read_var(APPROACH_HOLD)) ? "G/S" : "");
    return own_value(element, 0);
}

constinit ElementString pfd_glideslope_mode = pfd_text({
    .position = {54, 20}, .box = {22, 12}, .chars = 3, .colour = green,
    .vars = {ALTITUDE_HOLD, 0}, .callback = pfd_glideslope_text,
    .next = PfdChain::next<pfd_glideslope_mode>(),
});

double HOST_CALL pfd_lateral_mode_text(ElementString* element) {
    const double heading_hold = read_var(HEADING_HOLD);
    const double wing_leveler = read_var(WING_LEVELER);
    if (is_on(heading_hold)) {
        write_text(element, "HDG");
    } else if (is_on(wing_leveler)) {
        write_text(element, "LVL");
    } else {
        write_text(element, "");
    }
    return own_value(element, 0);
}

constinit ElementString pfd_lateral_mode = pfd_text({
    .position = {88, 5}, .box = {22, 12}, .chars = 3, .colour = green,
    .vars = {NAV1_HOLD, 0}, .callback = pfd_lateral_mode_text,
    .next = PfdChain::next<pfd_lateral_mode>(),
});

// Decides on the module's own fresh records, not on the element's record of
// the NAV1 hold, which it only hands back.
double HOST_CALL pfd_nav_mode_text(ElementString* element) {
    const double nav1_hold = read_var(NAV1_HOLD);
    const double gps_drives_nav1 = read_var(GPS_DRIVES_NAV1);
    const double approach_hold = read_var(APPROACH_HOLD);
    if (is_on(nav1_hold)) {
        write_text(element, is_on(gps_drives_nav1) ? "GPS" : "NAV");
    } else if (is_on(approach_hold)) {
        write_text(element, "LOC");
    } else {
        write_text(element, "");
    }
    return own_value(element, 0);
}

constinit ElementString pfd_nav_mode = pfd_text({
    .position = {88, 20}, .box = {22, 12}, .chars = 3, .colour = green,
    .vars = {NAV1_HOLD, 0}, .callback = pfd_nav_mode_text,
    .next = PfdChain::next<pfd_nav_mode>(),
});

// The localizer scale covers this box while the landing system is shown.
double HOST_CALL pfd_selected_heading_text(ElementString* element) {
    const double heading_hold = read_var(HEADING_HOLD);
    const double target = own_value(element, 0);
    if (is_on(heading_hold) && cockpit.ls_display != 1) {
        write_text(element, "%3.0f", target);
    } else {
        write_text(element, "");
    }
    return target;
}

constinit ElementString pfd_selected_heading = pfd_text({
    .position = {60, 139}, .box = {20, 10}, .chars = 3, .colour = blue,
    .vars = {HEADING_TARGET, 0}, .callback = pfd_selected_heading_text,
    .next = PfdChain::next<pfd_selected_heading>(),
});

// The airspeed target wins when both holds are on. The Mach target shows as
// hundredths after a point, its decimals cut off by the three-character box
// rather than rounded: 0.785 reads .78.
double HOST_CALL pfd_selected_speed_text(ElementString* element) {
    const double airspeed_hold = read_var(AIRSPEED_HOLD);
    const double mach_hold = read_var(MACH_HOLD);
    const double airspeed_target = own_value(element, 0);
    if (is_on(airspeed_hold)) {
        write_text(element, "%3.0f", airspeed_target);
    } else if (is_on(mach_hold)) {
        write_text(element, "%s%f", ".", own_value(element, 1) * 100.0);
    } else {
        write_text(element, "");
    }
    return airspeed_target;
}

constinit ElementString pfd_selected_speed = pfd_text({
    .position = {14, 27}, .box = {20, 10}, .chars = 3, .colour = blue,
    .vars = {AIRSPEED_TARGET, MACH_TARGET}, .callback = pfd_selected_speed_text,
    .next = PfdChain::next<pfd_selected_speed>(),
});

// The host's Mach value divided by 200 gives hundredths; shown from above
// Mach .45, its decimals cut off by the box.
double HOST_CALL pfd_mach_text(ElementString* element) {
    const double hundredths = own_value(element, 0) / 200.0;
    if (hundredths > 45.0) {
        write_text(element, "%s%f", ".", hundredths);
    } else {
        write_text(element, "");
    }
    return hundredths;
}

constinit ElementString pfd_mach = pfd_text({
    .position = {14, 138}, .box = {20, 10}, .chars = 3, .colour = blue,
    .vars = {MACH, 0}, .callback = pfd_mach_text,
    .next = PfdChain::next<pfd_mach>(),
});

double HOST_CALL pfd_selected_altitude_text(ElementString* element) {
    const double altitude_hold = read_var(ALTITUDE_HOLD);
    const double target = own_value(element, 0);
    if (is_on(altitude_hold)) {
        write_text(element, "%5.0f", target);
    } else {
        write_text(element, "");
    }
    return target;
}

constinit ElementString pfd_selected_altitude = pfd_text({
    .position = {152, 51}, .box = {33, 10}, .chars = 5, .colour = blue,
    .vars = {ALTITUDE_TARGET, 0}, .callback = pfd_selected_altitude_text,
    .next = PfdChain::next<pfd_selected_altitude>(),
});

// Follows the target alone, like its "V/S" label; 0 means no target.
double HOST_CALL pfd_selected_vs_text(ElementString* element) {
    const double target = own_value(element, 0);
    if (is_zero(target)) {
        write_text(element, "");
    } else {
        write_text(element, "%5.0f", target);
    }
    return target;
}

constinit ElementString pfd_selected_vs = pfd_text({
    .position = {152, 39}, .box = {33, 10}, .chars = 5, .colour = blue,
    .vars = {VS_TARGET, 0}, .callback = pfd_selected_vs_text,
    .next = PfdChain::next<pfd_selected_vs>(),
});

// The label follows the target alone, whatever the altitude hold.
double HOST_CALL pfd_vs_label_text(ElementString* element) {
    const double vs_target = own_value(element, 0);
    write_text(element, is_zero(vs_target) ? "" : "V/S");
    return vs_target;
}

constinit ElementString pfd_vs_label = pfd_text({
    .position = {130, 39}, .box = {20, 10}, .chars = 3, .colour = blue,
    .vars = {VS_TARGET, 0}, .callback = pfd_vs_label_text,
    .next = PfdChain::next<pfd_vs_label>(),
});

double HOST_CALL pfd_ap1_text(ElementString* element) {
    write_text(element, is_on(read_var(AUTOPILOT_ENGAGED)) ? "AP1" : "");
    return own_value(element, 0);
}

constinit ElementString pfd_ap1 = pfd_text({
    .position = {156, 5}, .box = {20, 10}, .chars = 3, .colour = white,
    .vars = {AIRSPEED_HOLD, 0}, .callback = pfd_ap1_text,
    .next = PfdChain::next<pfd_ap1>(),
});

double HOST_CALL pfd_fd_text(ElementString* element) {
    write_text(element, is_on(read_var(FLIGHT_DIRECTOR)) ? "F/D" : "");
    return own_value(element, 0);
}

constinit ElementString pfd_fd = pfd_text({
    .position = {156, 16}, .box = {20, 10}, .chars = 3, .colour = white,
    .vars = {AIRSPEED_HOLD, 0}, .callback = pfd_fd_text,
    .next = PfdChain::next<pfd_fd>(),
});

double HOST_CALL pfd_at_text(ElementString* element) {
    write_text(element, is_on(read_var(AUTOTHROTTLE_ARMED)) ? "A/T" : "");
    return own_value(element, 0);
}

constinit ElementString pfd_at = pfd_text({
    .position = {156, 27}, .box = {20, 10}, .chars = 3, .colour = white,
    .vars = {AIRSPEED_HOLD, 0}, .callback = pfd_at_text,
    .next = PfdChain::next<pfd_at>(),
});

// The decision-height unit's mode names the value shown under the label.
double HOST_CALL pfd_dh_label_text(ElementString* element) {
    if (cockpit.dh_mode == 1) {
        write_text(element, "DH ");
    } else if (cockpit.gsa_mode == 1) {
        write_text(element, "GSA");
    } else {
        write_text(element, "");
    }
    return own_value(element, 0);
}

constinit ElementString pfd_dh_label = pfd_text({
    .position = {156, 149}, .box = {20, 10}, .chars = 3, .colour = white,
    .vars = {AIRSPEED_HOLD, 0}, .callback = pfd_dh_label_text,
    .next = PfdChain::next<pfd_dh_label>(),
});

// The decision height in feet, or the glideslope angle with its sign.
double HOST_CALL pfd_dh_value_text(ElementString* element) {
    const double decision_height = own_value(element, 0);
    if (cockpit.dh_mode == 1) {
        write_text(element, "%3.0f%s", decision_height, " ");
    } else if (cockpit.gsa_mode == 1) {
        write_glideslope_angle(element, cockpit.gsa_angle);
    } else {
        write_text(element, "");
    }
    return decision_height;
}

constinit ElementString pfd_dh_value = pfd_text({
    .position = {156, 160}, .box = {27, 10}, .chars = 4, .colour = blue,
    .vars = {DECISION_HEIGHT, 0}, .callback = pfd_dh_value_text,
    .next = PfdChain::next<pfd_dh_value>(),
});

double HOST_CALL pfd_dme_label_text(ElementString* element) {
    write_text(element, cockpit.dme_source == 1 ? "DME1" : "DME2");
    return own_value(element, 0);
}

constinit ElementString pfd_dme_label = pfd_text({
    .position = {24, 149}, .box = {27, 10}, .chars = 4, .colour = white,
    .vars = {DME1_DISTANCE, 0}, .callback = pfd_dme_label_text,
    .next = PfdChain::next<pfd_dme_label>(),
});

// Fewer decimals as the distance grows; no distance (zero, below, or not a
// number) reads "N/A ". Hands back the DME1 distance whichever is shown.
double HOST_CALL pfd_dme_distance_text(ElementString* element) {
    const double dme1 = own_value(element, 0);
    const double distance = cockpit.dme_source == 1 ? dme1 : own_value(element, 1);
    if (distance > 99.999) {
        write_text(element, "%3.0f", distance);
    } else if (distance > 9.999) {
        write_text(element, "%2.1f", distance);
    } else if (distance > 0.0) {
        write_text(element, "%1.2f", distance);
    } else {
        write_text(element, "N/A ");
    }
    return dme1;
}

constinit ElementString pfd_dme_distance = pfd_text({
    .position = {24, 160}, .box = {27, 10}, .chars = 4, .colour = blue,
    .vars = {DME1_DISTANCE, DME2_DISTANCE}, .callback = pfd_dme_distance_text,
    .next = PfdChain::next<pfd_dme_distance>(),
});

// Blank from 2500 ft up.
double HOST_CALL pfd_radio_altitude_text(ElementString* element) {
    const double height = radio_altitude_feet(own_value(element, 0), own_value(element, 1));
    if (!(height >= 2500.0)) {
        write_text(element, "%4.0f", height);
    } else {
        write_text(element, "");
    }
    return height;
}

constinit ElementString pfd_radio_altitude = pfd_text({
    .position = {156, 129}, .box = {27, 10}, .chars = 4, .colour = blue,
    .vars = {ALTITUDE, GROUND_ALTITUDE}, .callback = pfd_radio_altitude_text,
    .next = PfdChain::next<pfd_radio_altitude>(),
});

constinit ElementIcon pfd_glideslope_scale = {
    .header = {.element_type = ELEMENT_ICON,
               .resource_id = BMP_PFD_GS_SCALE,
               .position = {143, 50},
               .gauge_header = &pfd_gauge,
               .next_element = PfdChain::next<pfd_glideslope_scale>(),
               .failure_systems = pfd_failures,
               .image_flags = pfd_smoothed_flags},
    .num_icons = 1,
};

constinit ElementIcon pfd_localizer_scale = {
    .header = {.element_type = ELEMENT_ICON,
               .resource_id = BMP_PFD_LOC_SCALE,
               .position = {62, 140},
               .gauge_header = &pfd_gauge,
               .next_element = PfdChain::next<pfd_localizer_scale>(),
               .failure_systems = pfd_failures,
               .image_flags = pfd_smoothed_flags},
    .num_icons = 1,
};

// The diamonds take the host's deviation as it comes, 0.3 pixel per unit.
constinit ElementSlider pfd_localizer_diamond = {
    .header = {.element_type = ELEMENT_SLIDER,
               .resource_id = BMP_PFD_LOC_DIAMOND,
               .position = {96, 138},
               .gauge_header = &pfd_gauge,
               .next_element = PfdChain::next<pfd_localizer_diamond>(),
               .failure_systems = pfd_failures,
               .image_flags = pfd_slider_flags},
    .source_var_x = {.id = LOCALIZER_DEVIATION},
    .scale_x = 0.3,
    .source_var_y = {.id = 0},
    .scale_y = 0.0,
};

constinit ElementSlider pfd_glideslope_diamond = {
    .header = {.element_type = ELEMENT_SLIDER,
               .resource_id = BMP_PFD_GS_DIAMOND,
               .position = {141, 84},
               .gauge_header = &pfd_gauge,
               .next_element = PfdChain::next<pfd_glideslope_diamond>(),
               .failure_systems = pfd_failures,
               .image_flags = pfd_slider_flags},
    .source_var_x = {.id = 0},
    .scale_x = 0.0,
    .source_var_y = {.id = GLIDESLOPE_DEVIATION},
    .scale_y = 0.3,
};

// The bar follows the pitch command relative to the aircraft's pitch. The
// element's own record of the command is not used: both values come from the
// module's records, refreshed together here.
double HOST_CALL pfd_pitch_bar_value(ElementSlider*) {
    const double pitch = read_var(PITCH);
    const double command = read_var(FD_PITCH_COMMAND);
    return clamp_fd_bar(command - pitch);
}

constinit ElementSlider pfd_fd_pitch_bar = {
    .header = {.element_type = ELEMENT_SLIDER,
               .resource_id = BMP_PFD_FD_PITCH_BAR,
               .position = {75, 86},
               .gauge_header = &pfd_gauge,
               .next_element = PfdChain::next<pfd_fd_pitch_bar>(),
               .failure_systems = pfd_failures,
               .image_flags = pfd_slider_flags},
    .source_var_x = {.id = 0},
    .scale_x = 0.0,
    .source_var_y = {.id = FD_PITCH_COMMAND},
    .scale_y = 1.5,
    .update_y_cb = pfd_pitch_bar_value,
};

// The bank command comes from the element's own record, which the host has
// just refreshed; the negative scale moves the bar toward the command.
double HOST_CALL pfd_roll_bar_value(ElementSlider* element) {
    const double command = element != nullptr ? element->source_var_x.value.n : 0.0;
    const double bank = read_var(BANK);
    return clamp_fd_bar(command - bank);
}

constinit ElementSlider pfd_fd_roll_bar = {
    .header = {.element_type = ELEMENT_SLIDER,
               .resource_id = BMP_PFD_FD_ROLL_BAR,
               .position = {100, 65},
               .gauge_header = &pfd_gauge,
               .next_element = PfdChain::next<pfd_fd_roll_bar>(),
               .failure_systems = pfd_failures,
               .image_flags = pfd_slider_flags},
    .source_var_x = {.id = FD_BANK_COMMAND},
    .scale_x = -1.6,
    .source_var_y = {.id = 0},
    .scale_y = 0.0,
    .update_x_cb = pfd_roll_bar_value,
};

// Drawn last, over the sphere and the bars; the module never hides it.
constinit ElementIcon pfd_aircraft_symbol = {
    .header = {.element_type = ELEMENT_ICON,
               .resource_id = BMP_PFD_AIRCRAFT_SYMBOL,
               .position = {58, 79},
               .gauge_header = &pfd_gauge,
               .next_element = PfdChain::next<pfd_aircraft_symbol>(),
               .failure_systems = pfd_failures,
               .image_flags = pfd_image_flags},
    .num_icons = 1,
};

constinit MouseRect pfd_mouse_table[] = {
    open_area(whole_gauge),
    tooltip("Airbus A310 Primary Flight Display"),
    close_area(),
    end_of_table(),
};

// Before every update: the landing-system scales and diamonds follow the ILS
// switch, the flight-director bars follow the flight director.
void HOST_CALL pfd_service_callback(GaugeHeader* gauge, int32_t service, ServiceExtra) {
    if (service != SERVICE_PRE_UPDATE) return;
    // In rising chain order, so that the chain is walked once.
    ElementCursor chain = element_cursor(gauge);
    const bool landing_system_shown = cockpit.ls_display == 1;
    for (uint32_t n : {PfdChain::index<pfd_glideslope_scale>, PfdChain::index<pfd_localizer_scale>,
                       PfdChain::index<pfd_localizer_diamond>, PfdChain::index<pfd_glideslope_diamond>}) {
        set_element_visible(chain, n, landing_system_shown);
    }
    const bool flight_director_on = is_on(read_var(FLIGHT_DIRECTOR));
    set_element_visible(chain, PfdChain::index<pfd_fd_pitch_bar>, flight_director_on);
    set_element_visible(chain, PfdChain::index<pfd_fd_roll_bar>, flight_director_on);
}

constinit GaugeHeader pfd_gauge = {
    .gauge_header_version = gauge_header_version_700,
    .gauge_name = "PFD",
    .elements_list = PfdChain::first(),
    ORVANE_GAUGE_ROUTINES,
    .size_x_mm = 189,
    .mouse_rect = pfd_mouse_table,
    .gauge_callback = pfd_service_callback,
};

}  // namespace orvane
