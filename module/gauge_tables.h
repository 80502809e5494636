// Building blocks for the gauges' tables: element lists and mouse-table rows.
// The tables themselves live in each gauge's folder, written as data.
#pragma once

#include "module/host_abi.h"
#include "res/resources.h"

namespace orvane {

// A null-terminated list holding one element: a gauge header's element list,
// or an element's next-element list naming the element that follows it.
template <auto& Element>
inline ElementHeader* element_list_of[] = {&Element.header, nullptr};

// What sets one text element apart from another. Every text in the module is
// drawn in weight 400, character set 1, centred on one line, its highlight in
// its own colour; everything else in the record is the host's.
struct TextElement {
    GaugeHeader* gauge;
    PixPoint position;
    PixPoint box;
    uint16_t chars;
    uint32_t image_flags;
    FailureRecord* failures;
    uint32_t foreground;
    uint32_t background;
    const char* font;
    int32_t vars[3];  // the element's own host variables, refreshed by the host
    StringCallback callback;
    ElementHeader** next;  // the following element's list; null on the last
};

constexpr ElementString text_element(const TextElement& text) {
    ElementString element = {
        .header = {.element_type = ELEMENT_STRING,
                   .resource_id = -1,
                   .position = text.position,
                   .gauge_header = text.gauge,
                   .next_element = text.next,
                   .failure_systems = text.failures,
                   .image_flags = text.image_flags},
        .source_var = {{.id = text.vars[0]}, {.id = text.vars[1]}, {.id = text.vars[2]}},
        .img_size = text.box,
        .fg_color = text.foreground,
        .bg_color = text.background,
        .hilite_color = text.foreground,
        .font_weight = 400,
        .font_charset = 1,
        .draw_text_flags = DRAW_TEXT_CENTRED_LINE,
        .max_string_length = text.chars,
        .update_cb = text.callback,
    };
    for (size_t i = 0; text.font != nullptr && text.font[i] != '\0' && i + 1 < sizeof element.font_name; ++i) {
        element.font_name[i] = text.font[i];
    }
    return element;
}

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

// Bitmap ids of the module's resources, from the one resource list.
enum BitmapId : int32_t {
#define ORVANE_BITMAP_ID(name, id, file) name = id,
    ORVANE_BITMAPS(ORVANE_BITMAP_ID)
#undef ORVANE_BITMAP_ID
};

inline constexpr int32_t TEXT_NO_BITMAP = -1;

}  // namespace orvane
