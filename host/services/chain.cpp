#include "host/services/chain.h"

#include <unordered_map>

#include "host/services/names.h"

namespace panelhost {

using orvane::ElementHeader;

size_t element_record_bytes(int32_t kind) {
    switch (kind) {
    case orvane::ELEMENT_STATIC_IMAGE: return sizeof(orvane::ElementStaticImage);
    case orvane::ELEMENT_STRING: return sizeof(orvane::ElementString);
    case orvane::ELEMENT_SLIDER: return sizeof(orvane::ElementSlider);
    case orvane::ELEMENT_ICON: return sizeof(orvane::ElementIcon);
    case orvane::ELEMENT_MOVING_IMAGE: return sizeof(orvane::ElementMovingImage);
    case orvane::ELEMENT_SPRITE: return sizeof(orvane::ElementSprite);
    default: return sizeof(ElementHeader);
    }
}

namespace {

// Why an element list's first entry cannot be read; empty when it can.
std::string list_fault(ElementHeader* const* list, const ModuleImage* image) {
    return image == nullptr ? std::string() : image->record_fault(list);
}

// Why an element cannot be read whole, the record of its kind; empty when it can.
std::string element_fault(const ElementHeader* element, const ModuleImage* image) {
    if (image == nullptr) return {};
    if (std::string fault = image->record_fault(element); !fault.empty()) return fault;
    return image->record_fault(element, element_record_bytes(element->element_type), alignof(ElementHeader));
}

}  // namespace

ChainWalk walk_chain(const orvane::GaugeHeader* gauge, size_t max_length, const ModuleImage* image) {
    ChainWalk walk;
    if (gauge == nullptr || gauge->elements_list == nullptr) return walk;
    auto unreadable = [&](const std::string& what, const void* where, const std::string& fault) {
        walk.problem = what + " " + address_text(where) + " " + fault + " (a record in the module, whole)";
        walk.unreadable = true;
    };
    if (const std::string fault = list_fault(gauge->elements_list, image); !fault.empty()) {
        unreadable("the element list at", gauge->elements_list, fault);
        return walk;
    }
    std::unordered_map<const ElementHeader*, size_t> seen;
    for (ElementHeader* element = gauge->elements_list[0]; element != nullptr;) {
        if (const auto earlier = seen.find(element); earlier != seen.end()) {
            walk.problem = "element " + std::to_string(walk.elements.size() - 1) + " leads back to element " +
                           std::to_string(earlier->second) + ": the chain is a cycle";
            break;
        }
        if (walk.elements.size() == max_length) {
            walk.problem = "the chain is longer than " + std::to_string(max_length) + " elements";
            break;
        }
        if (const std::string fault = element_fault(element, image); !fault.empty()) {
            unreadable("element " + std::to_string(walk.elements.size()) + " at", element, fault);
            break;
        }
        seen.emplace(element, walk.elements.size());
        walk.elements.push_back(element);
        if (const std::string fault = element->next_element != nullptr ? list_fault(element->next_element, image) : "";
            !fault.empty()) {
            unreadable("element " + std::to_string(walk.elements.size() - 1) + ": its next-element list at",
                       element->next_element, fault);
            break;
        }
        element = element->next_element != nullptr ? element->next_element[0] : nullptr;
    }
    return walk;
}

namespace {

// The callbacks an element's record names, with what the host calls them.
std::vector<std::pair<const char*, const void*>> element_callbacks(const ElementHeader& element) {
    using namespace orvane;
    auto fn = [](auto callback) { return reinterpret_cast<const void*>(callback); };
    switch (element.element_type) {
    case ELEMENT_STRING: return {{"text callback", fn(reinterpret_cast<const ElementString&>(element).update_cb)}};
    case ELEMENT_ICON: return {{"icon callback", fn(reinterpret_cast<const ElementIcon&>(element).update_cb)}};
    case ELEMENT_SLIDER: {
        const auto& slider = reinterpret_cast<const ElementSlider&>(element);
        return {{"x callback", fn(slider.update_x_cb)}, {"y callback", fn(slider.update_y_cb)}};
    }
    case ELEMENT_MOVING_IMAGE: {
        const auto& image = reinterpret_cast<const ElementMovingImage&>(element);
        return {{"x callback", fn(image.update_x_cb)}, {"y callback", fn(image.update_y_cb)}};
    }
    case ELEMENT_SPRITE: {
        const auto& sprite = reinterpret_cast<const ElementSprite&>(element);
        return {{"x callback", fn(sprite.update_x_cb)},
                {"y callback", fn(sprite.update_y_cb)},
                {"rotation callback", fn(sprite.update_0_cb)}};
    }
    default: return {};
    }
}

}  // namespace

std::vector<std::string> check_elements(const std::vector<ElementHeader*>& chain, const ModuleImage* image,
                                        bool* unreadable) {
    std::vector<std::string> problems;
    for (size_t i = 0; i < chain.size(); ++i) {
        const ElementHeader& element = *chain[i];
        const std::string label = "element " + std::to_string(i);
        if (element.element_type < orvane::ELEMENT_STATIC_IMAGE || element.element_type > orvane::ELEMENT_SPRITE) {
            problems.push_back(label + " has unknown " + element_kind_name(element.element_type));
        }
        if (image != nullptr) {
            for (const auto& [what, callback] : element_callbacks(element)) {
                if (callback != nullptr && !image->holds_code(callback)) {
                    problems.push_back(label + ": its " + what + " " + address_text(callback) +
                                       " is not in the module's code (a function of the module, or none)");
                }
            }
        }
        if (element.failure_systems != nullptr) {
            size_t n = 0;
            for (; n < max_failure_records; ++n) {
                const orvane::FailureRecord* record = element.failure_systems + n;
                if (const std::string fault = image != nullptr ? image->record_fault(record) : ""; !fault.empty()) {
                    problems.push_back(label + ": failure record " + std::to_string(n) + " at " +
                                       address_text(record) + " " + fault + " (a list in the module, ended by key 0)");
                    if (unreadable != nullptr) *unreadable = true;
                    return problems;
                }
                if (record->key == orvane::FAIL_NONE) break;
            }
            if (n == max_failure_records) {
                problems.push_back(label + ": failure list has no end record within " +
                                   std::to_string(max_failure_records) + " records");
            }
        }
    }
    return problems;
}

bool failure_stops_drawing(const orvane::FailureRecord* list, const std::set<int32_t>& active_failures) {
    if (list == nullptr || active_failures.empty()) return false;
    for (size_t i = 0; i < max_failure_records && list[i].key != orvane::FAIL_NONE; ++i) {
        if (list[i].action == orvane::FAIL_ACTION_NO_DRAW && active_failures.contains(list[i].key)) return true;
    }
    return false;
}

bool element_drawn(const ElementHeader& element, const std::set<int32_t>& active_failures) {
    return (element.image_flags & orvane::IMAGE_HIDDEN) == 0 &&
           !failure_stops_drawing(element.failure_systems, active_failures);
}

}  // namespace panelhost
