#include "platform/resource_table.h"

#include <strings.h>

#include <list>
#include <string>
#include <vector>

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

AddedResource* find(HMODULE module, const char* type, uint32_t id) {
    for (AddedResource& resource : added()) {
        // Resource type names are matched without regard to case.
        if (resource.module == module && resource.id == id && strcasecmp(resource.type.c_str(), type) == 0) {
            return &resource;
        }
    }
    return nullptr;
}

}  // namespace

namespace platform {

void add_resource(HMODULE module, const char* type, uint32_t id, const void* bytes, DWORD size) {
    const auto* first = static_cast<const BYTE*>(bytes);
    if (AddedResource* resource = find(module, type, id)) {
        resource->bytes.assign(first, first + size);
        return;
    }
    added().push_back({module, type, id, std::vector<BYTE>(first, first + size)});
}

void clear_added_resources() { added().clear(); }

HRSRC find_added_resource(HMODULE module, LPCSTR name, LPCSTR type) {
    if (name == nullptr || type == nullptr || !IS_INTRESOURCE(name) || IS_INTRESOURCE(type)) return nullptr;
    return reinterpret_cast<HRSRC>(find(module, type, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(name))));
}

bool added_resource_bytes(HRSRC handle, void** bytes, DWORD* size) {
    for (AddedResource& resource : added()) {
        if (reinterpret_cast<HRSRC>(&resource) != handle) continue;
        if (bytes != nullptr) *bytes = resource.bytes.data();
        if (size != nullptr) *size = static_cast<DWORD>(resource.bytes.size());
        return true;
    }
    return false;
}

}  // namespace platform
