#include "module/cockpit.h"

#include <bit>
#include <cmath>

namespace orvane {

CockpitState cockpit = cockpit_state_at_load;

bool is_on(double value) { return std::bit_cast<uint64_t>(value) == std::bit_cast<uint64_t>(1.0); }

bool is_zero(double value) { return !(value < 0.0) && !(value > 0.0); }

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

}  // namespace orvane
