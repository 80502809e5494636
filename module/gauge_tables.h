// Building blocks for the gauges' tables: element lists and mouse-table rows.
// The tables themselves live in each gauge's folder, written as data.
#pragma once

#include "module/host_abi.h"

namespace orvane {

// A null-terminated list holding one element: a gauge header's element list,
// or an element's next-element list naming the element that follows it.
template <auto& Element>
inline ElementHeader* element_list_of[] = {&Element.header, nullptr};

constexpr MouseRect open_area(PixBox box) {
    return {.rect_type = MOUSE_OPEN_AREA, .relative_box = box, .cursor = CURSOR_NONE};
}

// Labels the area opened just before it.
constexpr MouseRect tooltip(const char* text) {
    return {.rect_type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .action = {.tooltip = text}};
}

// A click area whose key event the host sends itself.
constexpr MouseRect click_event(PixBox box, int32_t cursor, uint32_t mouse_flags, uint32_t event) {
    return {.rect_type = MOUSE_CLICK_AREA, .relative_box = box, .cursor = cursor, .mouse_flags = mouse_flags,
            .event_id = event};
}

// A click area handled by the module.
constexpr MouseRect click_handler(PixBox box, int32_t cursor, uint32_t mouse_flags, MouseFunction handler) {
    return {.rect_type = MOUSE_CLICK_AREA, .relative_box = box, .cursor = cursor, .mouse_flags = mouse_flags,
            .action = {.handler = handler}};
}

constexpr MouseRect close_area() { return {.rect_type = MOUSE_CLOSE_AREA, .cursor = CURSOR_NONE}; }

constexpr MouseRect end_of_table() { return {.rect_type = MOUSE_END_OF_TABLE}; }

inline constexpr PixBox whole_gauge = {0, 0, 0, 0};

// Bitmap ids of the module's resources.
enum BitmapId : int32_t {
    BMP_AP_MASTER_SWITCH = 4096,
    BMP_AP_BACKGROUND = 4112,
    BMP_AP_PUSH_BUTTON_LIGHT = 4128,
    BMP_PFD_BACKGROUND = 4144,
    BMP_PFD_ATTITUDE_BALL = 4160,
    BMP_PFD_ATTITUDE_WINDOW = 4161,
    BMP_PFD_SPEED_TAPE = 4176,
    BMP_PFD_SPEED_WINDOW = 4177,
    BMP_PFD_HEADING_TAPE = 4192,
    BMP_PFD_HEADING_WINDOW = 4193,
    BMP_PFD_FD_ROLL_BAR = 4208,
    BMP_PFD_FD_PITCH_BAR = 4224,
    BMP_DH_BACKGROUND = 4240,
    BMP_DH_MODE_LIGHT = 4352,
    BMP_FD_BUTTONS_UNLIT = 4368,
    BMP_FD_BUTTON_LIT = 4384,
    BMP_ILS_BUTTON_LIT = 4400,
    BMP_DME_BUTTON_LIT = 4416,
    BMP_DME_BACKGROUND = 4432,
    BMP_PFD_LOC_SCALE = 4448,
    BMP_PFD_GS_SCALE = 4464,
    BMP_PFD_GS_DIAMOND = 4480,
    BMP_PFD_LOC_DIAMOND = 4496,
    BMP_PFD_AIRCRAFT_SYMBOL = 4608,
};

inline constexpr int32_t TEXT_NO_BITMAP = -1;

}  // namespace orvane
