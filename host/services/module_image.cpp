#include "host/services/module_image.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "host/services/windows_api.h"

#if !defined(_WIN32)
#include <dlfcn.h>
#include <link.h>
#endif

namespace panelhost {

std::string address_text(const void* p) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%0*llX", static_cast<int>(2 * sizeof p),
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(p)));
    return text;
}

void ModuleImage::add(const void* start, size_t bytes, bool code) {
    const auto from = reinterpret_cast<uintptr_t>(start);
    if (bytes == 0 || from + bytes < from) return;
    ranges_.push_back({from, from + bytes, code});
}

bool ModuleImage::holds(const void* p, size_t bytes) const {
    const auto at = reinterpret_cast<uintptr_t>(p);
    for (const ImageRange& range : ranges_) {
        if (at >= range.start && at < range.end) return bytes <= range.end - at;
    }
    return false;
}

std::string ModuleImage::record_fault(const void* p, size_t bytes, size_t alignment) const {
    if (room_at(p) == 0) return "lies outside the module's image";
    if (!holds(p, bytes)) return "runs past the end of the module's image";
    if (reinterpret_cast<uintptr_t>(p) % alignment != 0) {
        return "is not aligned for its record (at a multiple of " + std::to_string(alignment) + ")";
    }
    return {};
}

bool ModuleImage::holds_code(const void* p) const {
    const auto at = reinterpret_cast<uintptr_t>(p);
    for (const ImageRange& range : ranges_) {
        if (at >= range.start && at < range.end) return range.code;
    }
    return false;
}

size_t ModuleImage::room_at(const void* p) const {
    const auto at = reinterpret_cast<uintptr_t>(p);
    for (const ImageRange& range : ranges_) {
        if (at >= range.start && at < range.end) return range.end - at;
    }
    return 0;
}

#if defined(_WIN32)

namespace {

// The sections of the module at this base, read from its PE headers, which
// the loader mapped with it.
ModuleImage sections_of(HMODULE module) {
    ModuleImage image;
    if (module == nullptr) return image;
    const auto base = reinterpret_cast<const BYTE*>(module);
    IMAGE_DOS_HEADER dos;
    std::memcpy(&dos, base, sizeof dos);
    if (dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew <= 0) return image;
    const BYTE* nt_at = base + dos.e_lfanew;
    IMAGE_NT_HEADERS nt;
    std::memcpy(&nt, nt_at, sizeof nt);
    if (nt.Signature != IMAGE_NT_SIGNATURE) return image;
    const BYTE* sections_at = nt_at + offsetof(IMAGE_NT_HEADERS, OptionalHeader) + nt.FileHeader.SizeOfOptionalHeader;
    for (WORD i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
        IMAGE_SECTION_HEADER section;
        std::memcpy(&section, sections_at + i * sizeof section, sizeof section);
        const DWORD size = section.Misc.VirtualSize != 0 ? section.Misc.VirtualSize : section.SizeOfRawData;
        if (section.VirtualAddress + size > nt.OptionalHeader.SizeOfImage) continue;
        image.add(base + section.VirtualAddress, size, (section.Characteristics & IMAGE_SCN_MEM_EXECUTE) != 0);
    }
    return image;
}

}  // namespace

ModuleImage ModuleImage::of_object_holding(const void* address) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCSTR>(address), &module)) {
        return {};
    }
    return sections_of(module);
}

ModuleImage ModuleImage::of_library(void* handle) { return sections_of(static_cast<HMODULE>(handle)); }

#else

namespace {

struct Search {
    const void* address = nullptr;         // the object holding it, or
    uintptr_t bias = 0;                    // the object loaded with this bias
    const char* name = nullptr;            // and this name
    ModuleImage image;
};

// The loadable segments of one object, at the addresses it was loaded to.
ModuleImage segments_of(const dl_phdr_info& info) {
    ModuleImage image;
    for (ElfW(Half) i = 0; i < info.dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info.dlpi_phdr[i];
        if (segment.p_type != PT_LOAD) continue;
        image.add(reinterpret_cast<const void*>(info.dlpi_addr + segment.p_vaddr), segment.p_memsz,
                  (segment.p_flags & PF_X) != 0);
    }
    return image;
}

int visit_object(dl_phdr_info* info, size_t, void* data) {
    auto& search = *static_cast<Search*>(data);
    ModuleImage image = segments_of(*info);
    const bool found = search.address != nullptr
                           ? image.holds(search.address, 1)
                           : info->dlpi_addr == search.bias && info->dlpi_name != nullptr &&
                                 std::strcmp(info->dlpi_name, search.name) == 0;
    if (!found) return 0;
    search.image = std::move(image);
    return 1;
}

}  // namespace

ModuleImage ModuleImage::of_object_holding(const void* address) {
    Search search;
    search.address = address;
    dl_iterate_phdr(visit_object, &search);
    return std::move(search.image);
}

ModuleImage ModuleImage::of_library(void* handle) {
    link_map* map = nullptr;
    if (handle == nullptr || dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr) return {};
    Search search;
    search.bias = map->l_addr;
    search.name = map->l_name;
    dl_iterate_phdr(visit_object, &search);
    return std::move(search.image);
}

#endif

}  // namespace panelhost
