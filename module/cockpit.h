// Cockpit state the host does not model, shared by the five gauges, and the
// helpers every gauge uses to read host values and show or hide elements.
#pragma once

#include <bit>
#include <cstdint>

#include "module/host_abi.h"

namespace orvane {

struct CockpitState {
    int32_t mach_mode;             // 1: FCU speed window and knob work on the Mach target
    int32_t speed_window_live;     // 1: the FCU window shows its target; 0: dashes
    int32_t heading_window_live;
    int32_t altitude_window_live;
    int32_t vs_window_live;
    int32_t dh_mode;               // decision-height unit sets the decision height
    int32_t gsa_mode;              // decision-height unit sets the glideslope angle
    double gsa_angle;              // degrees, -9.9 to +9.9
    int32_t ls_display;            // 1: landing-system scales shown on the PFD
    int32_t dme_source;            // 1: DME1, 2: DME2
    int32_t dh_callout_armed;      // 1: the decision-height callout may sound
};

inline constexpr CockpitState cockpit_state_at_load = {
    .mach_mode = 0,
    .speed_window_live = 0,
    .heading_window_live = 0,
    .altitude_window_live = 0,
    .vs_window_live = 0,
    .dh_mode = 0,
    .gsa_mode = 0,
    .gsa_angle = 0.0,
    .ls_display = 0,
    .dme_source = 1,
    .dh_callout_armed = 0,
};

extern CockpitState cockpit;

// On: the value is exactly 1.0, compared as the whole 64-bit pattern.
constexpr bool is_on(double value) { return std::bit_cast<uint64_t>(value) == std::bit_cast<uint64_t>(1.0); }

// Zero: neither below nor above 0.0, so -0.0 and NaN count as zero.
constexpr bool is_zero(double value) { return !(value < 0.0) && !(value > 0.0); }

inline constexpr double feet_per_metre = 3.28083989501312;

// Height above the ground in feet, from the aircraft's altitude in metres and
// the ground's in 1/256 m, as the host gives them.
constexpr double radio_altitude_feet(double altitude_metres, double ground_256ths_of_metre) {
    return (altitude_metres - ground_256ths_of_metre / 256.0) * feet_per_metre;
}

// A host value truncated toward zero into an unsigned 32-bit state, defined for
// every input: the low 32 bits of the truncated integer, as the x86 conversion
// through a 64-bit integer gives them; NaN, infinities and magnitudes of 2^63
// or more give 0.
inline uint32_t truncate_to_u32(double value) {
    constexpr double two_to_63 = 9223372036854775808.0;
    if (!(value < two_to_63 && value > -two_to_63)) return 0;  // NaN fails the test too
    return static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(value)));
}

// The element n steps down the chain from first, or null where the chain
// ends: the one walk down a gauge's chain.
inline ElementHeader* nth_element(ElementHeader* first, uint32_t n) {
    ElementHeader* element = first;
    for (uint32_t step = 0; element != nullptr && step < n; ++step) {
        if (element->next_element == nullptr) return nullptr;
        element = element->next_element[0];
    }
    return element;
}

inline void hide_element(ElementHeader* first, uint32_t n, uint32_t bits) {
    if (ElementHeader* element = nth_element(first, n)) element->image_flags |= bits;
}

inline void show_element(ElementHeader* first, uint32_t n, uint32_t bits) {
    if (ElementHeader* element = nth_element(first, n)) element->image_flags &= ~bits;
}

// The first element of a gauge's element list, or null.
inline ElementHeader* first_element(GaugeHeader* gauge) {
    if (gauge == nullptr || gauge->elements_list == nullptr) return nullptr;
    return gauge->elements_list[0];
}

// Where a service callback stopped on its gauge's chain, so that showing and
// hiding elements in rising chain order walks the chain once: each element is
// found by nth_element from the last one found, or from the first when it
// lies behind. Lives for one callback: the chain is the module's, but not the
// cursor's to keep.
struct ElementCursor {
    ElementHeader* first;
    ElementHeader* element;  // the element at `index`; null when the chain ended before it
    uint32_t index;
};

inline ElementCursor element_cursor(GaugeHeader* gauge) {
    ElementHeader* first = first_element(gauge);
    return {.first = first, .element = first, .index = 0};
}

// Element n of the chain, as nth_element finds it from the first.
inline ElementHeader* cursor_element(ElementCursor& cursor, uint32_t n) {
    if (n < cursor.index) cursor = {.first = cursor.first, .element = cursor.first, .index = 0};
    cursor.element = nth_element(cursor.element, n - cursor.index);
    cursor.index = n;
    return cursor.element;
}

inline void set_element_visible(ElementCursor& cursor, uint32_t n, bool visible) {
    if (visible) {
        show_element(cursor_element(cursor, n), 0, IMAGE_HIDDEN);
    } else {
        hide_element(cursor_element(cursor, n), 0, IMAGE_HIDDEN);
    }
}

// Shows or hides chain element n of the gauge with the hide bit.
inline void set_element_visible(GaugeHeader* gauge, uint32_t n, bool visible) {
    ElementCursor cursor = element_cursor(gauge);
    set_element_visible(cursor, n, visible);
}

}  // namespace orvane
