// Resources added to a module at run time, beside those linked into it: how a
// test hands the module a sound image of its own making. The resource calls
// look here before they look in the module's own resources.
#pragma once

#include "platform/win_types.h"

namespace platform {

// Adds (or replaces) resource id of a type name to the module's resources.
// The bytes are copied.
void add_resource(HMODULE module, const char* type, uint32_t id, const void* bytes, DWORD size);
// Removes every resource added to any module.
void clear_added_resources();

// For the resource calls: the added resource of that integer id and type
// name, or null; and an added resource's bytes, when the handle is one.
HRSRC find_added_resource(HMODULE module, LPCSTR name, LPCSTR type);
bool added_resource_bytes(HRSRC resource, void** bytes, DWORD* size);

}  // namespace platform
