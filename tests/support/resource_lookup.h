// A resource of the one resource list found by its name.
#pragma once

#include <string_view>

#include "res/resource_table.h"

namespace resources::testing {

// The entry of that name, or null.
constexpr const ResourceEntry* find_resource(std::string_view name) {
    for (const ResourceEntry& entry : resource_entries) {
        if (name == entry.name) return &entry;
    }
    return nullptr;
}

}  // namespace resources::testing
