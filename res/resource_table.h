// The one resource list as a table, for the programs that pack, check, draw
// and test the module's resources.
#pragma once

#include <cstdint>

#include "res/resources.h"

namespace resources {

inline constexpr uint16_t resource_language = ORVANE_RESOURCE_LANGUAGE;

enum class ResourceType { bitmap, wave };

struct ResourceEntry {
    const char* name;  // the list's name; a named bitmap is found by it
    uint16_t id;       // 0 for a resource found by name
    ResourceType type;
    const char* file;  // relative to res/

    bool named() const { return id == 0; }
    // As the resource compiler writes the type: BITMAP is the standard type 2,
    // WAVE a type of the module's own, found by its name.
    const char* type_name() const { return type == ResourceType::bitmap ? "BITMAP" : "WAVE"; }
};

inline constexpr ResourceEntry resource_entries[] = {
#define ORVANE_TABLE_BITMAP(name, id, file) {#name, id, ResourceType::bitmap, file},
#define ORVANE_TABLE_NAMED_BITMAP(name, file) {#name, 0, ResourceType::bitmap, file},
#define ORVANE_TABLE_SOUND(name, id, file) {#name, id, ResourceType::wave, file},
    ORVANE_BITMAPS(ORVANE_TABLE_BITMAP) ORVANE_NAMED_BITMAPS(ORVANE_TABLE_NAMED_BITMAP)
        ORVANE_SOUNDS(ORVANE_TABLE_SOUND)
#undef ORVANE_TABLE_BITMAP
#undef ORVANE_TABLE_NAMED_BITMAP
#undef ORVANE_TABLE_SOUND
};

}  // namespace resources
