#include "module/cockpit.h"

#include <bit>
#include <cmath>

namespace orvane {

CockpitState cockpit = cockpit_state_at_load;

uint32_t truncate_to_u32(double value) {
    constexpr double two_to_63 = 9223372036854775808.0;
    if (!(std::fabs(value) < two_to_63)) return 0;  // NaN fails the test too
    return static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(value)));
}

ElementHeader* nth_element(ElementHeader* first, uint32_t n) {
    ElementHeader* element = first;
    for (uint32_t step = 0; element != nullptr && step < n; ++step) {
        if (element->next_element == nullptr) return nullptr;
        element = element->next_element[0];
    }
    return element;
}

void hide_element(ElementHeader* first, uint32_t n, uint32_t bits) {
    if (ElementHeader* element = nth_element(first, n)) element->image_flags |= bits;
}

void show_element(ElementHeader* first, uint32_t n, uint32_t bits) {
    if (ElementHeader* element = nth_element(first, n)) element->image_flags &= ~bits;
}

ElementHeader* first_element(GaugeHeader* gauge) {
    if (gauge == nullptr || gauge->elements_list == nullptr) return nullptr;
    return gauge->elements_list[0];
}

void set_element_visible(GaugeHeader* gauge, uint32_t n, bool visible) {
    if (visible) {
        show_element(first_element(gauge), n, IMAGE_HIDDEN);
    } else {
        hide_element(first_element(gauge), n, IMAGE_HIDDEN);
    }
}

ElementCursor element_cursor(GaugeHeader* gauge) {
    ElementHeader* first = first_element(gauge);
    return {.first = first, .element = first, .index = 0};
}

ElementHeader* cursor_element(ElementCursor& cursor, uint32_t n) {
    ElementHeader* element = n < cursor.index ? cursor.first : cursor.element;
    uint32_t index = n < cursor.index ? 0 : cursor.index;
    while (element != nullptr && index < n) {
        ElementHeader** next = element->next_element;
        element = next != nullptr ? next[0] : nullptr;
        ++index;
    }
    cursor.element = element;
    cursor.index = index;
    return element;
}

void set_element_visible(ElementCursor& cursor, uint32_t n, bool visible) {
    ElementHeader* element = cursor_element(cursor, n);
    if (element == nullptr) return;
    if (visible) {
        element->image_flags &= ~IMAGE_HIDDEN;
    } else {
        element->image_flags |= IMAGE_HIDDEN;
    }
}

}  // namespace orvane
