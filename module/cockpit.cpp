#include "module/cockpit.h"

#include <bit>
#include <cmath>

namespace orvane {

CockpitState cockpit = cockpit_state_at_load;

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

}  // namespace orvane
