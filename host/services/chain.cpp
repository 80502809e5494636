#include "host/services/chain.h"

#include <unordered_map>

#include "host/services/names.h"

namespace panelhost {

using orvane::ElementHeader;

ChainWalk walk_chain(const orvane::GaugeHeader* gauge, size_t max_length) {
    ChainWalk walk;
    if (gauge == nullptr || gauge->elements_list == nullptr) return walk;
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
        seen.emplace(element, walk.elements.size());
        walk.elements.push_back(element);
        element = element->next_element != nullptr ? element->next_element[0] : nullptr;
    }
    return walk;
}

std::vector<std::string> check_elements(const std::vector<ElementHeader*>& chain) {
    std::vector<std::string> problems;
    for (size_t i = 0; i < chain.size(); ++i) {
        const ElementHeader& element = *chain[i];
        if (element.element_type < orvane::ELEMENT_STATIC_IMAGE || element.element_type > orvane::ELEMENT_SPRITE) {
            problems.push_back("element " + std::to_string(i) + " has unknown " +
                               element_kind_name(element.element_type));
        }
        if (element.failure_systems != nullptr) {
            size_t n = 0;
            while (n < max_failure_records && element.failure_systems[n].key != orvane::FAIL_NONE) ++n;
            if (n == max_failure_records) {
                problems.push_back("element " + std::to_string(i) + ": failure list has no end record within " +
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
