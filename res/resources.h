// The module's resources: the one list that the module's bitmap ids, the
// Windows build's resource script, the native build's resource packer, the
// art generator and the tests all read. It holds only macros and includes
// nothing, so that the resource compiler reads it as the C++ compiler does.
//
// The bitmaps are drawn by tools/art: after changing the art, run
// build/native/tools/orvane_art res and commit the files. The callout
// is recorded by tools/make_callout.sh res/callout.wav.
#pragma once

// Every resource is US English (0x0409).
#define ORVANE_RESOURCE_LANGUAGE 0x0409

// Bitmaps by number: name, identifier, file (relative to res/).
#define ORVANE_BITMAPS(X)                                                        \
    /* FCU */                                                                    \
    X(BMP_AP_MASTER_SWITCH, 4096, "bitmaps/ap_master_switch.bmp")                \
    X(BMP_AP_BACKGROUND, 4112, "bitmaps/ap_background.bmp")                      \
    X(BMP_AP_PUSH_BUTTON_LIGHT, 4128, "bitmaps/ap_push_button_light.bmp")        \
    /* PFD */                                                                    \
    X(BMP_PFD_BACKGROUND, 4144, "bitmaps/pfd_background.bmp")                    \
    X(BMP_PFD_ATTITUDE_BALL, 4160, "bitmaps/pfd_attitude_ball.bmp")              \
    X(BMP_PFD_ATTITUDE_WINDOW, 4161, "bitmaps/pfd_attitude_window.bmp")          \
    X(BMP_PFD_SPEED_TAPE, 4176, "bitmaps/pfd_speed_tape.bmp")                    \
    X(BMP_PFD_SPEED_WINDOW, 4177, "bitmaps/pfd_speed_window.bmp")                \
    X(BMP_PFD_HEADING_TAPE, 4192, "bitmaps/pfd_heading_tape.bmp")                \
    X(BMP_PFD_HEADING_WINDOW, 4193, "bitmaps/pfd_heading_window.bmp")            \
    X(BMP_PFD_FD_ROLL_BAR, 4208, "bitmaps/pfd_fd_roll_bar.bmp")                  \
    X(BMP_PFD_FD_PITCH_BAR, 4224, "bitmaps/pfd_fd_pitch_bar.bmp")                \
    /* decision-height unit, FD and DME units */                                 \
    X(BMP_DH_BACKGROUND, 4240, "bitmaps/dh_background.bmp")                      \
    X(BMP_DH_MODE_LIGHT, 4352, "bitmaps/dh_mode_light.bmp")                      \
    X(BMP_FD_BUTTONS_UNLIT, 4368, "bitmaps/fd_buttons_unlit.bmp")                \
    X(BMP_FD_BUTTON_LIT, 4384, "bitmaps/fd_button_lit.bmp")                      \
    X(BMP_ILS_BUTTON_LIT, 4400, "bitmaps/ils_button_lit.bmp")                    \
    X(BMP_DME_BUTTON_LIT, 4416, "bitmaps/dme_button_lit.bmp")                    \
    X(BMP_DME_BACKGROUND, 4432, "bitmaps/dme_background.bmp")                    \
    /* PFD landing-system scales and diamonds, aircraft symbol */                \
    X(BMP_PFD_LOC_SCALE, 4448, "bitmaps/pfd_loc_scale.bmp")                      \
    X(BMP_PFD_GS_SCALE, 4464, "bitmaps/pfd_gs_scale.bmp")                        \
    X(BMP_PFD_GS_DIAMOND, 4480, "bitmaps/pfd_gs_diamond.bmp")                    \
    X(BMP_PFD_LOC_DIAMOND, 4496, "bitmaps/pfd_loc_diamond.bmp")                  \
    X(BMP_PFD_AIRCRAFT_SYMBOL, 4608, "bitmaps/pfd_aircraft_symbol.bmp")

// Bitmaps by name, which no element draws: name, file.
#define ORVANE_NAMED_BITMAPS(X)                                                  \
    X(BMP_PFD_FDHORMASK, "bitmaps/pfd_fd_horizontal_mask.bmp")                   \
    X(BMP_PFD_FDVERMASK, "bitmaps/pfd_fd_vertical_mask.bmp")

// Sounds, of the custom type WAVE: name, identifier, file.
#define ORVANE_SOUNDS(X) X(WAVE_DH_CALLOUT, 20480, "callout.wav")
