// Reading a gauge's element chain and its failure lists, defensively: the
// records belong to the module, and a broken one must be reported, not
// followed forever.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "host/services/module_image.h"
#include "module/host_abi.h"

namespace panelhost {

inline constexpr size_t max_chain_length = 1024;
inline constexpr size_t max_failure_records = 64;

struct ChainWalk {
    std::vector<orvane::ElementHeader*> elements;  // in chain order, index = chain index
    std::string problem;                           // empty when the chain ends properly
    bool unreadable = false;  // the walk stopped at a pointer out of the module's image
};

// Follows the first entry of the gauge's element list, then each element's
// next-element list. A missing list or a null entry ends the chain; an element
// met twice, or more than max_length elements, is a problem. Given the
// module's image, every list and element is followed only when it lies in it
// whole, the element with room for the record of its kind; the walk stops at
// the first that does not.
ChainWalk walk_chain(const orvane::GaugeHeader* gauge, size_t max_length = max_chain_length,
                     const ModuleImage* image = nullptr);

// The chain's faults beyond its shape: unknown element kinds, failure lists
// without an end record; given the module's image, failure records out of
// it (which stop the check and set unreadable) and callbacks not in its
// code. Empty when there are none.
std::vector<std::string> check_elements(const std::vector<orvane::ElementHeader*>& chain,
                                        const ModuleImage* image = nullptr, bool* unreadable = nullptr);

// The bytes of the record an element of this kind needs; an unknown kind
// only its header.
size_t element_record_bytes(int32_t kind);

// True when an active failure in the list has the no-draw action. The list
// ends at a record with key 0, or after max_failure_records.
bool failure_stops_drawing(const orvane::FailureRecord* list, const std::set<int32_t>& active_failures);

// Drawn: the hide bit is clear and no active failure stops it.
bool element_drawn(const orvane::ElementHeader& element, const std::set<int32_t>& active_failures);

}  // namespace panelhost
