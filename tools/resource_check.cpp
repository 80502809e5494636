// Loads a built gauge module and checks, through the platform's resource
// calls, that every resource of the list is in it byte for byte as committed:
// a bitmap as its file without the 14-byte file header, anything else whole.
// The same source runs natively on orvane.so and under Wine on Orvane.gau.
//
//   orvane_resource_check MODULE RESOURCE_LIST
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/services/resources.h"
#include "tools/resource_list.h"

#if !defined(_WIN32)
#include <dlfcn.h>
#endif

namespace {

HMODULE load_module(const char* path) {
#if defined(_WIN32)
    return LoadLibraryA(path);
#else
    // A bare file name would send dlopen to the library search path.
    const std::string file = std::strchr(path, '/') ? std::string(path) : "./" + std::string(path);
    void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) return nullptr;
    // A module handle is the loaded object's base address.
    Dl_info info{};
    void* linkage = dlsym(library, "Linkage");
    if (!linkage || !dladdr(linkage, &info)) return nullptr;
    return static_cast<HMODULE>(info.dli_fbase);
#endif
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: orvane_resource_check MODULE RESOURCE_LIST\n");
        return 2;
    }
    HMODULE module = load_module(argv[1]);
    if (!module) {
        std::fprintf(stderr, "cannot load %s\n", argv[1]);
        return 1;
    }
    const resources::ParseResult list = resources::load_resource_list(argv[2]);
    if (!list.error.empty()) {
        std::fprintf(stderr, "%s\n", list.error.c_str());
        return 1;
    }

    int passed = 0, failed = 0;
    for (const resources::ResourceEntry& e : list.entries) {
        const bool bitmap = e.type == "BITMAP";
        const LPCSTR name = e.named() ? e.identifier.c_str() : MAKEINTRESOURCEA(e.id);
        HRSRC found = FindResourceA(module, name, bitmap ? MAKEINTRESOURCEA(2) : e.type.c_str());
        HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
        const auto* bytes = static_cast<const uint8_t*>(loaded ? LockResource(loaded) : nullptr);
        const DWORD size = found ? SizeofResource(module, found) : 0;

        std::vector<uint8_t> file;
        const size_t skip = bitmap ? 14 : 0;
        std::string problem;
        if (!bytes)
            problem = "not found in the module";
        else if (!resources::read_file(e.file, &file) || file.size() < skip)
            problem = "cannot read " + e.file;
        else if (size != file.size() - skip || std::memcmp(bytes, file.data() + skip, size) != 0)
            problem = "differs from " + e.file;
        else if (bitmap) {
            const panelhost::BitmapLookup decoded = panelhost::load_bitmap(module, name);
            if (decoded.error != panelhost::BitmapError::none) problem = panelhost::describe(decoded.error);
        }
        if (problem.empty()) {
            ++passed;
        } else {
            ++failed;
            std::printf("%s %s: %s\n", e.type.c_str(), e.identifier.c_str(), problem.c_str());
        }
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 && passed > 0 ? 0 : 1;
}
