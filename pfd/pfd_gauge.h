// The Primary Flight Display gauge: its records and the callbacks the host
// calls on them.
#pragma once

#include <cstdint>

#include "module/gauge_tables.h"
#include "module/host_abi.h"

namespace orvane {

extern FailureRecord pfd_failures[];
extern FailureRecord pfd_attitude_failures[];
extern MouseRect pfd_mouse_table[];

// The element records, in the order the host draws them.
extern ElementStaticImage pfd_background;
extern ElementSprite pfd_attitude_sphere;
extern ElementMovingImage pfd_speed_tape;
extern ElementMovingImage pfd_heading_tape;
extern ElementString pfd_altitude;
extern ElementString pfd_speed_mode;
extern ElementString pfd_vertical_mode;
extern ElementString pfd_glideslope_mode;
extern ElementString pfd_lateral_mode;
extern ElementString pfd_nav_mode;
extern ElementString pfd_selected_heading;
extern ElementString pfd_selected_speed;
extern ElementString pfd_mach;
extern ElementString pfd_selected_altitude;
extern ElementString pfd_selected_vs;
extern ElementString pfd_vs_label;
extern ElementString pfd_ap1;
extern ElementString pfd_fd;
extern ElementString pfd_at;
extern ElementString pfd_dh_label;
extern ElementString pfd_dh_value;
extern ElementString pfd_dme_label;
extern ElementString pfd_dme_distance;
extern ElementString pfd_radio_altitude;
extern ElementIcon pfd_glideslope_scale;
extern ElementIcon pfd_localizer_scale;
extern ElementSlider pfd_localizer_diamond;
extern ElementSlider pfd_glideslope_diamond;
extern ElementSlider pfd_fd_pitch_bar;
extern ElementSlider pfd_fd_roll_bar;
extern ElementIcon pfd_aircraft_symbol;

// The element chain, in the order the host draws it.
using PfdChain = ElementChain<
    pfd_background, pfd_attitude_sphere, pfd_speed_tape, pfd_heading_tape,
    pfd_altitude, pfd_speed_mode, pfd_vertical_mode, pfd_glideslope_mode, pfd_lateral_mode, pfd_nav_mode,
    pfd_selected_heading, pfd_selected_speed, pfd_mach, pfd_selected_altitude, pfd_selected_vs, pfd_vs_label,
    pfd_ap1, pfd_fd, pfd_at, pfd_dh_label, pfd_dh_value, pfd_dme_label, pfd_dme_distance, pfd_radio_altitude,
    pfd_glideslope_scale, pfd_localizer_scale, pfd_localizer_diamond, pfd_glideslope_diamond,
    pfd_fd_pitch_bar, pfd_fd_roll_bar, pfd_aircraft_symbol>;

void HOST_CALL pfd_service_callback(GaugeHeader* gauge, int32_t service, ServiceExtra extra);

// Flight-director bars: the command relative to the aircraft, bounded so that
// the bars stay inside the attitude window.
double HOST_CALL pfd_pitch_bar_value(ElementSlider* element);
double HOST_CALL pfd_roll_bar_value(ElementSlider* element);

// Annunciations.
double HOST_CALL pfd_speed_mode_text(ElementString* element);
double HOST_CALL pfd_vertical_mode_text(ElementString* element);
double HOST_CALL pfd_glideslope_text(ElementString* element);
double HOST_CALL pfd_lateral_mode_text(ElementString* element);
double HOST_CALL pfd_nav_mode_text(ElementString* element);
double HOST_CALL pfd_vs_label_text(ElementString* element);
double HOST_CALL pfd_ap1_text(ElementString* element);
double HOST_CALL pfd_fd_text(ElementString* element);
double HOST_CALL pfd_at_text(ElementString* element);
double HOST_CALL pfd_dh_label_text(ElementString* element);
double HOST_CALL pfd_dme_label_text(ElementString* element);

// Numeric readouts.
double HOST_CALL pfd_altitude_text(ElementString* element);
double HOST_CALL pfd_selected_heading_text(ElementString* element);
double HOST_CALL pfd_selected_speed_text(ElementString* element);
double HOST_CALL pfd_mach_text(ElementString* element);
double HOST_CALL pfd_selected_altitude_text(ElementString* element);
double HOST_CALL pfd_selected_vs_text(ElementString* element);
double HOST_CALL pfd_dh_value_text(ElementString* element);
double HOST_CALL pfd_dme_distance_text(ElementString* element);
double HOST_CALL pfd_radio_altitude_text(ElementString* element);

}  // namespace orvane
