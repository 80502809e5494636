// Loading a gauge module and checking its two exported records, the only
// things the host knows of it.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "module/host_abi.h"

namespace panelhost {

class HostServices;

// A module as the host sees it: its two records and the instance handle the
// host passes at install (the HMODULE on Windows, the loaded object's base
// address natively).
struct ModuleRecords {
    orvane::GaugeModuleImports* imports = nullptr;
    orvane::GaugeModuleLinkage* linkage = nullptr;
    orvane::ServiceExtra instance = 0;
};

// A gauge table without its null end within this many entries is broken.
inline constexpr size_t max_gauges = 64;
inline constexpr size_t max_gauge_name_length = 63;

// The gauge table up to its null end, at most max_gauges entries.
std::vector<orvane::GaugeHeader*> gauge_table(const orvane::GaugeModuleLinkage* linkage);

// Every fault of the module's records, one sentence each naming the record,
// the gauge and the element or mouse row it concerns. Empty for a sound module.
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
