// Loading a gauge module and checking its two exported records, the only
// things the host knows of it.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "host/services/module_image.h"
#include "module/host_abi.h"

namespace panelhost {

class HostServices;

// A module as the host sees it: its two records, the instance handle the
// host passes at install (the HMODULE on Windows, the loaded object's base
// address natively), the memory it was loaded into, and the sizes of its
// two exports where the format records them (ELF does; 0: not recorded).
struct ModuleRecords {
    orvane::GaugeModuleImports* imports = nullptr;
    orvane::GaugeModuleLinkage* linkage = nullptr;
    orvane::ServiceExtra instance = 0;
    ModuleImage image;
    size_t imports_bytes = 0;
    size_t linkage_bytes = 0;
};

// The records of a module linked into the program itself, which is then its
// image.
ModuleRecords linked_module_records(orvane::GaugeModuleImports* imports, orvane::GaugeModuleLinkage* linkage,
                                    orvane::ServiceExtra instance);

// A gauge table without its null end within this many entries is broken.
inline constexpr size_t max_gauges = 64;
inline constexpr size_t max_gauge_name_length = 63;

// The gauge table up to its null end, at most max_gauges entries, of a
// module whose records were checked.
std::vector<orvane::GaugeHeader*> gauge_table(const orvane::GaugeModuleLinkage* linkage);

struct ModuleCheck {
    // Every fault, one sentence each naming the record, the gauge and the
    // element or mouse row it concerns.
    std::vector<std::string> faults;
    // Every record could be read whole within the module's image, so that a
    // view may walk them (the module may still be refused for its faults).
    // False when the check stopped at a wrong identifier, a record cut short
    // or a pointer out of the image, and read nothing behind it.
    bool readable = false;
};

// Checks the module's records in the order the host reads them, following
// a pointer only into the module's image, with room for the record it names.
ModuleCheck check_module(const ModuleRecords& module);
// The faults alone; empty for a sound module.
std::vector<std::string> validate_module(const ModuleRecords& module);

// Writes the host's function table into the module and calls its start
// routine, as the simulator does after loading it; stop_module undoes both.
void start_module(HostServices& host, const ModuleRecords& module);
void stop_module(HostServices& host, const ModuleRecords& module);

// A loaded library. Unloaded when destroyed.
class LoadedModule {
public:
    // Loads the library and finds its two records by symbol. On failure
    // returns null and says why in error.
    static std::unique_ptr<LoadedModule> open(const std::string& path, std::string& error);
    ~LoadedModule();
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    const ModuleRecords& records() const { return records_; }

private:
    LoadedModule(void* handle, ModuleRecords records) : handle_(handle), records_(records) {}
    void* handle_;
    ModuleRecords records_;
};

}  // namespace panelhost
