// Loads a built gauge module as the host does and checks, through the
// platform's resource calls, that every resource of the one list is in it
// byte for byte as committed: a bitmap as its file without the 14-byte file
// header, anything else whole. The same source runs natively on orvane.so
// and under Wine on Orvane.gau.
//
//   orvane_resource_check MODULE RES_DIR
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/base/command_line.h"
#include "host/base/files.h"
#include "host/services/module_loader.h"
#include "host/services/resources.h"
#include "res/resource_table.h"

int main(int argc, char** argv) {
    std::string module_path, res_dir;
    panelhost::CommandLine cli("orvane_resource_check",
                               "Checks that a built gauge module carries every listed resource as committed.");
    cli.operand("MODULE", module_path, "the built module (orvane.so, Orvane.gau)");
    cli.operand("RES_DIR", res_dir, "the folder the resource list's files are in (res/)");
    cli.footer("Exit status: 0 every resource is there, 1 one is missing or differs, 2 unusable input.");
    if (const auto status = cli.parse(argc, argv, stdout, stderr)) return *status;

    std::string error;
    const auto module = panelhost::LoadedModule::open(module_path, error);
    if (!module) {
        std::fprintf(stderr, "orvane_resource_check: %s\n", error.c_str());
        return panelhost::exit_unusable;
    }
    // Its resources are found through its instance handle, as the simulator finds them.
    const auto handle = reinterpret_cast<HMODULE>(module->records().instance);

    int passed = 0, failed = 0;
    for (const resources::ResourceEntry& e : resources::resource_entries) {
        const bool bitmap = e.type == resources::ResourceType::bitmap;
        const LPCSTR name = e.named() ? e.name : MAKEINTRESOURCEA(e.id);
        HRSRC found = FindResourceA(handle, name, bitmap ? MAKEINTRESOURCEA(2) : e.type_name());
        HGLOBAL loaded = found ? LoadResource(handle, found) : nullptr;
        const auto* bytes = static_cast<const uint8_t*>(loaded ? LockResource(loaded) : nullptr);
        const DWORD size = found ? SizeofResource(handle, found) : 0;

        const std::string path = res_dir + "/" + e.file;
        const std::optional<std::vector<uint8_t>> file = panelhost::read_file_bytes(path, &error);
        const size_t skip = bitmap ? 14 : 0;
        std::string problem;
        if (!bytes) {
            problem = "not found in the module";
        } else if (!file || file->size() < skip) {
            problem = file ? path + " is cut short" : error;
        } else if (size != file->size() - skip || std::memcmp(bytes, file->data() + skip, size) != 0) {
            problem = "differs from " + path;
        } else if (bitmap) {
            const panelhost::BitmapLookup decoded = panelhost::load_bitmap(handle, name);
            if (decoded.error != panelhost::BitmapError::none) problem = panelhost::describe(decoded.error);
        }
        if (problem.empty()) {
            ++passed;
        } else {
            ++failed;
            std::printf("%s %s: %s\n", e.type_name(), e.name, problem.c_str());
        }
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 && passed > 0 ? panelhost::exit_ok : panelhost::exit_failed;
}
