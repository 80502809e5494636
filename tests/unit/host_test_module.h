// A small gauge module written in the test itself, so that the host can be
// tried on every kind of element and mouse row, and on broken records,
// without the real gauges.
#pragma once

#include <cstdio>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "host/services/host_services.h"
#include "host/services/module_loader.h"
#include "module/host_abi.h"
#include "module/host_vars.h"
#include "module/key_event_list.h"

namespace panelhost::testing {

using namespace orvane;

// How the test gauge's text callback behaves.
enum class TextMode { normal, past_end, before_start, unterminated, swap_pointer, trap };

struct TestCalls {
    std::vector<int32_t> services;
    std::vector<ServiceExtra> extras;
    std::vector<GaugeHeader*> service_gauges;  // the header each service call was given
    GaugeHeader* handler_gauge = nullptr;      // the gauge the last click record named
    int text_calls = 0;
    int handler_calls = 0;
    PixPoint handler_point{};
    uint32_t handler_flags = 0;
    TextMode text_mode = TextMode::normal;
};
inline TestCalls calls;

inline GaugeModuleImports test_imports = {.entry = {{.id = import_id_panels}, {}}};

inline void host_trigger(uint32_t event) {
    reinterpret_cast<HostTriggerKeyEvent>(test_imports.entry[0].table->slot[SLOT_TRIGGER_KEY_EVENT])(event, 0);
}

inline char stray_pointer_target[8];

inline double HOST_CALL test_text_cb(ElementString* text) {
    ++calls.text_calls;
    const size_t count = text->max_string_length;
    if (text->string == nullptr) return -1.0;
    switch (calls.text_mode) {
    case TextMode::normal:
        std::snprintf(text->string, count + 1, "%.0f", text->source_var[0].value.n);
        break;
    case TextMode::past_end: std::memset(text->string, 'x', count + 2); break;
    case TextMode::before_start: text->string[-1] = 'x'; break;
    case TextMode::unterminated: std::memset(text->string, 'x', count + 1); break;
    case TextMode::swap_pointer: text->string = stray_pointer_target; break;
    case TextMode::trap:
        // Slot 37 is a host operation the host does not provide.
        test_imports.entry[0].table->slot[37]();
        break;
    }
    return text->source_var[0].value.n + 1.0;
}

// Twice the pitch command, so that the result is told apart from the source.
inline double HOST_CALL test_slider_y_cb(ElementSlider* slider) { return 2.0 * slider->source_var_y.value.n; }

inline int32_t HOST_CALL test_handler(PixPoint* point, uint32_t flags) {
    ++calls.handler_calls;
    calls.handler_point = *point;
    calls.handler_flags = flags;
    calls.handler_gauge = reinterpret_cast<MouseCallback*>(point)->user_data;
    host_trigger(KEY_FLIGHT_DIRECTOR_TOGGLE);
    return 0;
}

inline void HOST_CALL test_service(GaugeHeader* gauge, int32_t code, ServiceExtra extra) {
    calls.services.push_back(code);
    calls.extras.push_back(extra);
    calls.service_gauges.push_back(gauge);
}

extern GaugeHeader test_gauge;
extern GaugeHeader second_gauge;

inline FailureRecord test_failures[] = {
    {.key = FAIL_SYSTEM_ELECTRICAL_PANELS, .action = FAIL_ACTION_NO_DRAW},
    {.key = FAIL_GAUGE_ATTITUDE, .action = 1},  // freeze: the host draws on
    {.key = FAIL_NONE},
};

// Chain: 0 background, 1 text, 2 slider, 3 moving image, 4 sprite, 5 icon.
inline ElementIcon test_icon = {
    .header = {.element_type = ELEMENT_ICON, .resource_id = 5005, .position = {5, 5},
               .gauge_header = &test_gauge, .image_flags = IMAGE_HIDDEN | IMAGE_USE_TRANSPARENCY},
    .num_icons = 1,
};
inline ElementHeader* test_icon_list[] = {&test_icon.header, nullptr};

inline ElementSprite test_sprite = {
    .header = {.element_type = ELEMENT_SPRITE, .resource_id = 5003, .position = {1, 2}, .ofs = {30, 40},
               .gauge_header = &test_gauge, .next_element = test_icon_list},
    .source_var_y = {.id = PITCH},
    .scale_y = 1.5,
    .source_var_0 = {.id = BANK},
    .scale_0 = -1.0,
    .texture_scale_x = 1.0f,
    .texture_scale_y = 1.0f,
};
inline ElementHeader* test_sprite_list[] = {&test_sprite.header, nullptr};

inline ElementMovingImage test_tape = {
    .header = {.element_type = ELEMENT_MOVING_IMAGE, .resource_id = 5001, .position = {14, 39},
               .gauge_header = &test_gauge, .next_element = test_sprite_list},
    .source_var_y = {.id = AIRSPEED},
    .min_y = 620.0,
    .max_y = 0.0,
};
inline ElementHeader* test_tape_list[] = {&test_tape.header, nullptr};

inline ElementSlider test_slider = {
    .header = {.element_type = ELEMENT_SLIDER, .resource_id = 4224, .position = {75, 86},
               .gauge_header = &test_gauge, .next_element = test_tape_list},
    .source_var_x = {.id = LOCALIZER_DEVIATION},
    .scale_x = 0.5,
    .source_var_y = {.id = FD_PITCH_COMMAND},
    .scale_y = 1.5,
    .update_y_cb = test_slider_y_cb,
};
inline ElementHeader* test_slider_list[] = {&test_slider.header, nullptr};

inline ElementString test_text = {
    .header = {.element_type = ELEMENT_STRING, .resource_id = -1, .position = {36, 8},
               .gauge_header = &test_gauge, .next_element = test_slider_list},
    .source_var = {{.id = DECISION_HEIGHT}, {.id = 0}, {.id = AIRSPEED_TARGET}},
    .img_size = {33, 14},
    .fg_color = rgb(246, 150, 13),
    .font_name = "QUARTZ",
    .font_weight = 400,
    .draw_text_flags = DRAW_TEXT_CENTRED_LINE,
    .max_string_length = 4,
    .update_cb = test_text_cb,
};
inline ElementHeader* test_text_list[] = {&test_text.header, nullptr};

inline ElementStaticImage test_background = {
    .header = {.element_type = ELEMENT_STATIC_IMAGE, .resource_id = 5000, .gauge_header = &test_gauge,
               .next_element = test_text_list, .failure_systems = test_failures,
               .image_flags = IMAGE_USE_TRANSPARENCY},
};
inline ElementHeader* test_elements[] = {&test_background.header, nullptr};

inline MouseRect test_mouse[] = {
    {.rect_type = MOUSE_OPEN_AREA, .cursor = CURSOR_NONE},
    {.rect_type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .action = {.tooltip = "Test Gauge"}},
    {.rect_type = MOUSE_OPEN_AREA, .relative_box = {10, 10, 40, 20}, .cursor = CURSOR_NONE},
    {.rect_type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .action = {.tooltip = "Test Knob"}},
    {.rect_type = MOUSE_CLICK_AREA, .relative_box = {0, 0, 18, 20}, .cursor = CURSOR_DOWNARROW,
     .mouse_flags = MOUSE_CLICK_REPEAT, .event_id = KEY_ALTITUDE_TARGET_DEC},
    {.rect_type = MOUSE_CLICK_AREA, .relative_box = {22, 0, 18, 20}, .cursor = CURSOR_UPARROW,
     .mouse_flags = MOUSE_CLICK, .action = {.handler = test_handler}},
    {.rect_type = MOUSE_CLOSE_AREA, .cursor = CURSOR_NONE},
    {.rect_type = MOUSE_CLOSE_AREA, .cursor = CURSOR_NONE},
    {.rect_type = MOUSE_END_OF_TABLE},
};

inline GaugeHeader test_gauge = {
    .gauge_header_version = gauge_header_version_700,
    .gauge_name = "T",
    .elements_list = test_elements,
    .size_x_mm = 50,
    .mouse_rect = test_mouse,
    .gauge_callback = test_service,
};

// A second gauge: one text element of no characters, no mouse table, no
// service callback.
inline ElementString second_text = {
    .header = {.element_type = ELEMENT_STRING, .resource_id = -1, .gauge_header = &second_gauge},
    .max_string_length = 0,
};
inline ElementHeader* second_elements[] = {&second_text.header, nullptr};

inline GaugeHeader second_gauge = {
    .gauge_header_version = gauge_header_version_700,
    .gauge_name = "U",
    .elements_list = second_elements,
    .size_x_mm = 10,
};

inline GaugeModuleLinkage test_linkage = {
    .module_id = module_id_gauges,
    .gauge_table = {&test_gauge, &second_gauge, nullptr},
};

inline constexpr ServiceExtra test_instance = 0x5150000;

inline ModuleRecords test_records() { return linked_module_records(&test_imports, &test_linkage, test_instance); }

// Puts back every field the host or a test changes.
inline void reset_test_module() {
    calls = TestCalls{};
    test_background.header.image_flags = IMAGE_USE_TRANSPARENCY;
    test_text.header.image_flags = 0;
    test_slider.header.image_flags = 0;
    test_tape.header.image_flags = 0;
    test_sprite.header.image_flags = 0;
    test_icon.header.image_flags = IMAGE_HIDDEN | IMAGE_USE_TRANSPARENCY;
    test_text.string = nullptr;
    second_text.string = nullptr;
}

// A host attached to the test module for the length of one test.
class HostedTestModule : public ::testing::Test {
protected:
    void SetUp() override {
        reset_test_module();
        start_module(host, test_records());
    }
    void TearDown() override {
        stop_module(host, test_records());
        reset_test_module();
    }

    HostServices host;
};

}  // namespace panelhost::testing
