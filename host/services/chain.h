// Reading a gauge's element chain and its failure lists, defensively: the
// records belong to the module, and a broken one must be reported, not
// followed forever.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "module/host_abi.h"

namespace panelhost {

inline constexpr size_t max_chain_length = 1024;
inline constexpr size_t max_failure_records = 64;

struct ChainWalk {
    std::vector<orvane::ElementHeader*> elements;  // in chain order, index = chain index
    std::string problem;                           // empty when the chain ends properly
};

// Follows the first entry of the gauge's element list, then each element's
// next-element list. A missing list or a null entry ends the chain; an element
// met twice, or more than max_length elements, is a problem.
ChainWalk walk_chain(const orvane::GaugeHeader* gauge, size_t max_length = max_chain_length);

// The chain's faults beyond its shape: unknown element kinds, failure lists
// without an end record. Empty when there are none.
std::vector<std::string> check_elements(const std::vector<orvane::ElementHeader*>& chain);

// True when an active failure in the list has the no-draw action. The list
// ends at a record with key 0, or after max_failure_records.
bool failure_stops_drawing(const orvane::FailureRecord* list, const std::set<int32_t>& active_failures);

// Drawn: the hide bit is clear and no active failure stops it.
bool element_drawn(const orvane::ElementHeader& element, const std::set<int32_t>& active_failures);

}  // namespace panelhost
