#include "host/panel/gauge_copy.h"

#include <cstring>
#include <unordered_map>

#include "host/services/chain.h"

namespace panelhost {

using namespace orvane;

GaugeCopy::GaugeCopy(const GaugeHeader& original) : header_(original) {
    const ChainWalk chain = walk_chain(&original);
    elements_.resize(chain.elements.size());
    next_.resize(chain.elements.size());
    std::unordered_map<const ElementHeader*, ElementHeader*> copy_of;
    for (size_t i = 0; i < chain.elements.size(); ++i) {
        const ElementHeader* element = chain.elements[i];
        std::memcpy(&elements_[i], element, element_record_bytes(element->element_type));
        copy_of.emplace(element, &elements_[i].header);
    }
    auto copied = [&](ElementHeader* element) {
        const auto it = copy_of.find(element);
        return it != copy_of.end() ? it->second : element;
    };
    for (size_t i = 0; i < elements_.size(); ++i) {
        ElementHeader& copy = elements_[i].header;
        copy.gauge_header = &header_;
        copy.previous_element = copied(copy.previous_element);
        if (copy.next_element != nullptr) {
            next_[i] = {i + 1 < elements_.size() ? &elements_[i + 1].header : nullptr, nullptr};
            copy.next_element = next_[i].data();
        }
        // The text buffer is the host's, given at this placement's install.
        if (copy.element_type == ELEMENT_STRING) elements_[i].text.string = nullptr;
    }
    if (header_.elements_list != nullptr) {
        first_ = {elements_.empty() ? nullptr : &elements_[0].header, nullptr};
        header_.elements_list = first_.data();
    }
}

}  // namespace panelhost
