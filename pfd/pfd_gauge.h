// The Primary Flight Display gauge: its records and the callbacks the host
// calls on them.
#pragma once

#include <cstdint>

#include "module/host_abi.h"

namespace orvane {

// Chain index of each PFD element, in the order the host draws them.
enum PfdChainIndex : uint32_t {
    PFD_BACKGROUND = 0,
    PFD_ATTITUDE_SPHERE = 1,
    PFD_SPEED_TAPE = 2,
    PFD_HEADING_TAPE = 3,
    PFD_ALTITUDE = 4,
    PFD_SPEED_MODE = 5,
    PFD_VERTICAL_MODE = 6,
    PFD_GLIDESLOPE_MODE = 7,
    PFD_LATERAL_MODE = 8,
    PFD_NAV_MODE = 9,
    PFD_SELECTED_HEADING = 10,
    PFD_SELECTED_SPEED = 11,
    PFD_MACH = 12,
    PFD_SELECTED_ALTITUDE = 13,
    PFD_SELECTED_VS = 14,
    PFD_VS_LABEL = 15,
    PFD_AP1 = 16,
    PFD_FD = 17,
    PFD_AT = 18,
    PFD_DH_LABEL = 19,
    PFD_DH_VALUE = 20,
    PFD_DME_LABEL = 21,
    PFD_DME_DISTANCE = 22,
    PFD_RADIO_ALTITUDE = 23,
    PFD_GLIDESLOPE_SCALE = 24,
    PFD_LOCALIZER_SCALE = 25,
    PFD_LOCALIZER_DIAMOND = 26,
    PFD_GLIDESLOPE_DIAMOND = 27,
    PFD_FD_PITCH_BAR = 28,
    PFD_FD_ROLL_BAR = 29,
    PFD_AIRCRAFT_SYMBOL = 30,
    PFD_ELEMENT_COUNT = 31,
};

extern FailureRecord pfd_failures[];
extern FailureRecord pfd_attitude_failures[];
extern MouseRect pfd_mouse_table[];

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
