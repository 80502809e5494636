// Resources added to a module at run time, beside those linked into it: how a
// test hands the module a sound image of its own making.
#pragma once

#include "platform/win_types.h"

namespace platform {

// Adds (or replaces) resource id of a type name to the module's resources.
// The bytes are copied.
void add_resource(HMODULE module, const char* type, uint32_t id, const void* bytes, DWORD size);
// Removes every resource added to any module.
void clear_added_resources();

}  // namespace platform
