#include "platform/win_kernel.h"

#include <link.h>
#include <strings.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "platform/failure_switches.h"

namespace {

// Copies at most limit - 1 characters and a NUL; a null destination takes nothing.
void copy_part(char* destination, int limit, const char* begin, const char* end) {
    if (destination == nullptr) return;
    size_t length = static_cast<size_t>(end - begin);
    if (length > static_cast<size_t>(limit - 1)) length = static_cast<size_t>(limit - 1);
    std::memcpy(destination, begin, length);
    destination[length] = '\0';
}

// Copies a path into a caller's buffer the way the Windows call does.
DWORD copy_path(const std::string& path, LPSTR file_name, DWORD size) {
    if (file_name == nullptr || size == 0) return 0;
    if (path.size() >= size) {
        std::memcpy(file_name, path.data(), size - 1);
        file_name[size - 1] = '\0';
        return size;
    }
    std::memcpy(file_name, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}

std::string pretended_executable;

std::string executable_path() {
    if (!pretended_executable.empty()) return pretended_executable;
    char buffer[4096];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof buffer) return {};
    return std::string(buffer, static_cast<size_t>(length));
}

struct ModuleSearch {
    uintptr_t base;
    std::string path;
    bool found;
};

// The lowest address a loaded object maps: its base, which is its handle.
int match_module_base(dl_phdr_info* info, size_t, void* data) {
    auto* search = static_cast<ModuleSearch*>(data);
    uintptr_t lowest = UINTPTR_MAX;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        if (info->dlpi_phdr[i].p_type != PT_LOAD) continue;
        const uintptr_t start = info->dlpi_addr + info->dlpi_phdr[i].p_vaddr;
        if (start < lowest) lowest = start;
    }
    if (lowest != search->base) return 0;
    search->found = true;
    search->path = info->dlpi_name != nullptr ? info->dlpi_name : "";
    return 1;
}

struct MainWindow {
    std::string class_name;
    bool registered;
};

MainWindow main_window;

struct GlobalBlock {
    void* memory;
    SIZE_T bytes;
    bool moveable;
    int lock_count;
};

// Every live block by its handle: a fixed block's handle is its memory.
std::map<HGLOBAL, GlobalBlock>& global_blocks() {
    static std::map<HGLOBAL, GlobalBlock> blocks;
    return blocks;
}

}  // namespace

DWORD GetModuleFileNameA(HMODULE module, LPSTR file_name, DWORD size) {
    if (platform::call_fails(platform::Call::GetModuleFileNameA)) return 0;
    if (module == nullptr) {
        const std::string path = executable_path();
        return path.empty() ? 0 : copy_path(path, file_name, size);
    }
    ModuleSearch search{.base = reinterpret_cast<uintptr_t>(module), .path = {}, .found = false};
    dl_iterate_phdr(match_module_base, &search);
    if (!search.found) return 0;
    // The executable itself is listed without a name.
    return copy_path(search.path.empty() ? executable_path() : search.path, file_name, size);
}

void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext) {
    if (path == nullptr) path = "";
    const char* rest = path;
    if (rest[0] != '\0' && rest[1] == ':') {
        copy_part(drive, _MAX_DRIVE, rest, rest + 2);
        rest += 2;
    } else {
        copy_part(drive, _MAX_DRIVE, rest, rest);
    }
    const char* name = rest;
    for (const char* c = rest; *c != '\0'; ++c) {
        if (*c == '/' || *c == '\\') name = c + 1;
    }
    copy_part(dir, _MAX_DIR, rest, name);
    const char* end = name + std::strlen(name);
    const char* dot = std::strrchr(name, '.');
    if (dot == nullptr) dot = end;
    copy_part(fname, _MAX_FNAME, name, dot);
    copy_part(ext, _MAX_EXT, dot, end);
}

HWND FindWindowA(LPCSTR class_name, LPCSTR window_name) {
    if (platform::call_fails(platform::Call::FindWindowA)) return nullptr;
    if (!main_window.registered || class_name == nullptr || IS_INTRESOURCE(class_name)) return nullptr;
    // Window classes and titles are matched without regard to case; the
    // main window has no title.
    if (strcasecmp(class_name, main_window.class_name.c_str()) != 0) return nullptr;
    if (window_name != nullptr && window_name[0] != '\0') return nullptr;
    return reinterpret_cast<HWND>(&main_window);
}

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
    if (platform::call_fails(platform::Call::GlobalAlloc)) return nullptr;
    const bool moveable = (flags & GMEM_MOVEABLE) != 0;
    void* memory = nullptr;
    if (bytes != 0 || !moveable) {
        memory = (flags & GMEM_ZEROINIT) != 0 ? std::calloc(1, bytes == 0 ? 1 : bytes)
                                              : std::malloc(bytes == 0 ? 1 : bytes);
        if (memory == nullptr) return nullptr;
    }
    if (!moveable) {
        global_blocks()[memory] = {.memory = memory, .bytes = bytes, .moveable = false, .lock_count = 0};
        return memory;
    }
    // A movable block's handle is a small record of its own, never its memory.
    auto* handle = static_cast<HGLOBAL>(std::malloc(1));
    if (handle == nullptr) {
        std::free(memory);
        return nullptr;
    }
    global_blocks()[handle] = {.memory = memory, .bytes = bytes, .moveable = true, .lock_count = 0};
    return handle;
}

LPVOID GlobalLock(HGLOBAL memory) {
    if (platform::call_fails(platform::Call::GlobalLock)) return nullptr;
    const auto found = global_blocks().find(memory);
    if (found == global_blocks().end() || found->second.memory == nullptr) return nullptr;
    if (found->second.moveable) ++found->second.lock_count;
    return found->second.memory;
}

BOOL GlobalUnlock(HGLOBAL memory) {
    const auto found = global_blocks().find(memory);
    if (found == global_blocks().end()) {
        platform::note_stale_release();
        return FALSE;
    }
    if (!found->second.moveable) return TRUE;
    if (found->second.lock_count == 0) return FALSE;
    return --found->second.lock_count > 0 ? TRUE : FALSE;
}

HGLOBAL GlobalFree(HGLOBAL memory) {
    const auto found = global_blocks().find(memory);
    if (found == global_blocks().end()) {
        platform::note_stale_release();
        return memory;
    }
    std::free(found->second.memory);
    if (found->second.moveable) std::free(memory);
    global_blocks().erase(found);
    return nullptr;
}

namespace platform {

HWND set_main_window_class(const char* class_name) {
    if (class_name == nullptr) {
        main_window = {};
        return nullptr;
    }
    main_window = {.class_name = class_name, .registered = true};
    return reinterpret_cast<HWND>(&main_window);
}

void set_executable_path(const char* path) { pretended_executable = path != nullptr ? path : ""; }

int global_blocks_in_use() { return static_cast<int>(global_blocks().size()); }

}  // namespace platform
