// Resources of the native build live in an ELF note of each module (see
// resources_blob.h). A lookup walks the loaded objects' program headers to
// the module whose base address is the handle, then to its note, and checks
// every offset before it trusts it.
#include <link.h>

#include <cstring>
#include <strings.h>

#include "platform/failure_switches.h"
#include "platform/resource_table.h"
#include "platform/resources_blob.h"
#include "platform/win_resources.h"

namespace {

namespace blob = platform::resource_blob;

struct Blob {
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    uint32_t count = 0;
};

uint32_t read32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// The address of the object's first byte: its lowest loadable segment, moved
// back by that segment's file offset.
uintptr_t base_address(const dl_phdr_info* info) {
    bool found = false;
    ElfW(Addr) lowest = 0, offset = 0;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& ph = info->dlpi_phdr[i];
        if (ph.p_type != PT_LOAD) continue;
        if (!found || ph.p_vaddr < lowest) lowest = ph.p_vaddr, offset = ph.p_offset;
        found = true;
    }
    return found ? info->dlpi_addr + lowest - offset : 0;
}

bool valid_string(const Blob& b, uint32_t offset) {
    if (offset == 0 || offset >= b.size) return false;
    return std::memchr(b.data + offset, 0, b.size - offset) != nullptr;
}

// A blob is used only when every entry lies inside it.
bool validate(const uint8_t* data, size_t available, Blob* out) {
    if (available < sizeof(blob::Header)) return false;
    Blob b{data, read32(data + 12), read32(data + 8)};
    if (read32(data) != blob::magic || read32(data + 4) != blob::version) return false;
    if (b.size < sizeof(blob::Header) || b.size > available) return false;
    if (b.count > (b.size - sizeof(blob::Header)) / sizeof(blob::Entry)) return false;
    for (uint32_t i = 0; i < b.count; ++i) {
        const uint8_t* e = data + sizeof(blob::Header) + i * sizeof(blob::Entry);
        const uint32_t type_id = read32(e), type_name = read32(e + 4), name_id = read32(e + 8), name = read32(e + 12);
        const uint32_t offset = read32(e + 20), size = read32(e + 24);
        if ((type_id == 0) == (type_name == 0) || (name_id == 0) == (name == 0)) return false;
        if (type_name != 0 && !valid_string(b, type_name)) return false;
        if (name != 0 && !valid_string(b, name)) return false;
        if (offset > b.size || size > b.size - offset) return false;
    }
    *out = b;
    return true;
}

size_t align_up(size_t n, size_t alignment) { return (n + alignment - 1) & ~(alignment - 1); }

// Looks through the object's note segments for the resource note.
bool find_note(const dl_phdr_info* info, Blob* out) {
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& ph = info->dlpi_phdr[i];
        if (ph.p_type != PT_NOTE) continue;
        const auto* notes = reinterpret_cast<const uint8_t*>(info->dlpi_addr + ph.p_vaddr);
        const size_t length = ph.p_memsz;
        const size_t alignment = ph.p_align == 8 ? 8 : 4;
        size_t at = 0;
        while (length - at >= 12) {
            const uint32_t name_size = read32(notes + at), desc_size = read32(notes + at + 4);
            const uint32_t type = read32(notes + at + 8);
            const size_t desc = at + 12 + align_up(name_size, alignment);
            if (desc > length || desc_size > length - desc) break;
            if (type == blob::note_type && name_size == sizeof blob::note_name &&
                std::memcmp(notes + at + 12, blob::note_name, sizeof blob::note_name) == 0)
                return validate(notes + desc, desc_size, out);
            at = desc + align_up(desc_size, alignment);
        }
    }
    return false;
}

struct Search {
    uintptr_t handle;  // 0: the main program, the first object listed
    const char* name;  // when set, search by file name instead
    uintptr_t found_base;
    Blob blob;
    bool has_blob;
};

const char* file_name(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

int visit(dl_phdr_info* info, size_t, void* data) {
    auto* s = static_cast<Search*>(data);
    const uintptr_t base = base_address(info);
    if (s->name) {
        if (info->dlpi_name == nullptr || strcasecmp(file_name(info->dlpi_name), s->name) != 0) return 0;
    } else if (s->handle != 0 && base != s->handle) {
        return 0;
    }
    s->found_base = base;
    s->has_blob = find_note(info, &s->blob);
    return 1;
}

bool module_blob(HMODULE module, Blob* out) {
    Search s{reinterpret_cast<uintptr_t>(module), nullptr, 0, {}, false};
    dl_iterate_phdr(visit, &s);
    if (!s.has_blob) return false;
    *out = s.blob;
    return true;
}

// An identifier argument: an integer, a "#number" string or a name.
struct Key {
    uint32_t id;       // 0 when a name
    const char* name;  // null when an id
};

bool parse_key(LPCSTR arg, Key* key) {
    if (IS_INTRESOURCE(arg)) {
        *key = {static_cast<uint32_t>(reinterpret_cast<uintptr_t>(arg)), nullptr};
        return key->id != 0;
    }
    if (arg[0] == '#') {
        uint32_t v = 0;
        const char* p = arg + 1;
        for (; *p >= '0' && *p <= '9' && v <= 0xFFFF; ++p) v = v * 10 + static_cast<uint32_t>(*p - '0');
        if (p == arg + 1 || *p != '\0' || v == 0 || v > 0xFFFF) return false;
        *key = {v, nullptr};
        return true;
    }
    *key = {0, arg};
    return arg[0] != '\0';
}

bool matches(const Blob& b, uint32_t id, uint32_t name_offset, const Key& key) {
    if (key.name == nullptr) return id == key.id;
    return name_offset != 0 && strcasecmp(reinterpret_cast<const char*>(b.data + name_offset), key.name) == 0;
}

// The entry that `resource` points at, when it is one of the module's.
const uint8_t* entry_of(HMODULE module, HRSRC resource, Blob* b) {
    if (resource == nullptr || !module_blob(module, b)) return nullptr;
    const auto at = reinterpret_cast<uintptr_t>(resource);
    const auto first = reinterpret_cast<uintptr_t>(b->data) + sizeof(blob::Header);
    if (at < first || (at - first) % sizeof(blob::Entry) != 0 || (at - first) / sizeof(blob::Entry) >= b->count)
        return nullptr;
    return reinterpret_cast<const uint8_t*>(resource);
}

}  // namespace

HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
    if (platform::call_fails(platform::Call::FindResourceA)) return nullptr;
    if (HRSRC added = platform::find_added_resource(module, name, type)) return added;
    Key name_key, type_key;
    if (!parse_key(name, &name_key) || !parse_key(type, &type_key)) return nullptr;
    Blob b;
    if (!module_blob(module, &b)) return nullptr;
    for (uint32_t i = 0; i < b.count; ++i) {
        const uint8_t* e = b.data + sizeof(blob::Header) + i * sizeof(blob::Entry);
        if (matches(b, read32(e), read32(e + 4), type_key) && matches(b, read32(e + 8), read32(e + 12), name_key))
            return reinterpret_cast<HRSRC>(const_cast<uint8_t*>(e));
    }
    return nullptr;
}

HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource) {
    if (platform::call_fails(platform::Call::LoadResource)) return nullptr;
    if (void* bytes; platform::added_resource_bytes(resource, &bytes, nullptr)) return bytes;
    Blob b;
    const uint8_t* e = entry_of(module, resource, &b);
    if (!e) return nullptr;
    return const_cast<uint8_t*>(b.data + read32(e + 20));
}

LPVOID WINAPI LockResource(HGLOBAL data) {
    if (platform::call_fails(platform::Call::LockResource)) return nullptr;
    return data;
}

DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource) {
    if (platform::call_fails(platform::Call::SizeofResource)) return 0;
    if (DWORD size; platform::added_resource_bytes(resource, nullptr, &size)) return size;
    Blob b;
    const uint8_t* e = entry_of(module, resource, &b);
    return e ? read32(e + 24) : 0;
}

BOOL WINAPI FreeResource(HGLOBAL) { return FALSE; }

HMODULE WINAPI GetModuleHandleA(LPCSTR module_name) {
    Search s{0, module_name, 0, {}, false};
    if (module_name != nullptr && module_name[0] == '\0') return nullptr;
    dl_iterate_phdr(visit, &s);
    return reinterpret_cast<HMODULE>(s.found_base);
}
