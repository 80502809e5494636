#include "platform/resource_table.h"

#include <strings.h>

#include <list>
#include <string>
#include <vector>

#include "platform/failure_switches.h"
#include "platform/win_resources.h"

namespace {

struct AddedResource {
    HMODULE module;
    std::string type;
    uint32_t id;
    std::vector<BYTE> bytes;
};

// A list, so that a resource's address (its handle) stays put as others come.
std::list<AddedResource>& added() {
    static std::list<AddedResource> resources;
    return resources;
}

AddedResource* from_handle(const void* handle) {
    for (AddedResource& resource : added()) {
        if (&resource == handle) return &resource;
    }
    return nullptr;
}

}  // namespace

namespace platform {

void add_resource(HMODULE module, const char* type, uint32_t id, const void* bytes, DWORD size) {
    const auto* first = static_cast<const BYTE*>(bytes);
    for (AddedResource& resource : added()) {
        if (resource.module == module && resource.id == id && strcasecmp(resource.type.c_str(), type) == 0) {
            resource.bytes.assign(first, first + size);
            return;
        }
    }
    added().push_back({module, type, id, std::vector<BYTE>(first, first + size)});
}

void clear_added_resources() { added().clear(); }

}  // namespace platform

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
    if (platform::call_fails(platform::Call::FindResourceA)) return nullptr;
    if (name == nullptr || type == nullptr || !IS_INTRESOURCE(name) || IS_INTRESOURCE(type)) return nullptr;
    const auto id = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(name));
    for (AddedResource& resource : added()) {
        // Resource type names are matched without regard to case.
        if (resource.module == module && resource.id == id && strcasecmp(resource.type.c_str(), type) == 0) {
            return reinterpret_cast<HRSRC>(&resource);
        }
    }
    return nullptr;
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) {
    if (platform::call_fails(platform::Call::LoadResource)) return nullptr;
    return from_handle(resource) != nullptr ? static_cast<HGLOBAL>(resource) : nullptr;
}

LPVOID LockResource(HGLOBAL loaded) {
    if (platform::call_fails(platform::Call::LockResource)) return nullptr;
    AddedResource* resource = from_handle(loaded);
    return resource != nullptr ? resource->bytes.data() : nullptr;
}

DWORD SizeofResource(HMODULE, HRSRC handle) {
    if (platform::call_fails(platform::Call::SizeofResource)) return 0;
    AddedResource* resource = from_handle(handle);
    return resource != nullptr ? static_cast<DWORD>(resource->bytes.size()) : 0;
}

// Resources live as long as their module; there is nothing to free.
BOOL FreeResource(HGLOBAL) { return FALSE; }
