#include "host/services/module_loader.h"

#include <cstring>
#include <set>

#include "host/services/chain.h"
#include "host/services/host_services.h"
#include "host/services/mouse_table.h"
#include "host/base/text_format.h"

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <dlfcn.h>
#include <link.h>
#endif

namespace panelhost {

using orvane::GaugeHeader;

std::vector<GaugeHeader*> gauge_table(const orvane::GaugeModuleLinkage* linkage) {
    std::vector<GaugeHeader*> gauges;
    if (linkage == nullptr) return gauges;
    // The table is open-ended in the module's record: read it as the host
    // does, entry by entry from its start, up to the null end.
    GaugeHeader* const* entries = linkage->gauge_table;
    for (size_t i = 0; i < max_gauges && entries[i] != nullptr; ++i) gauges.push_back(entries[i]);
    return gauges;
}

namespace {

std::string gauge_label(size_t index, const GaugeHeader& gauge) {
    std::string label = "gauge " + std::to_string(index);
    if (gauge.gauge_name != nullptr) {
        const size_t length = strnlen(gauge.gauge_name, max_gauge_name_length + 1);
        if (length <= max_gauge_name_length) label += " (" + std::string(gauge.gauge_name, length) + ")";
    }
    return label;
}

void validate_gauge(size_t index, const GaugeHeader& gauge, std::vector<std::string>& problems) {
    const std::string label = gauge_label(index, gauge);
    if (gauge.gauge_header_version == 0) problems.push_back(label + ": header version is 0");
    if (gauge.gauge_name == nullptr) {
        problems.push_back(label + ": has no name");
    } else {
        const size_t length = strnlen(gauge.gauge_name, max_gauge_name_length + 1);
        if (length == 0) problems.push_back(label + ": name is empty");
        if (length > max_gauge_name_length) {
            problems.push_back(label + ": name is longer than " + std::to_string(max_gauge_name_length) +
                               " characters");
        }
    }
    const ChainWalk chain = walk_chain(&gauge);
    if (!chain.problem.empty()) problems.push_back(label + ": element chain: " + chain.problem);
    for (const std::string& problem : check_elements(chain.elements)) problems.push_back(label + ": " + problem);
    for (const MouseTableProblem& problem : validate_mouse_table(gauge.mouse_rect)) {
        problems.push_back(label + ": mouse table row " + std::to_string(problem.row) + ": " + problem.message);
    }
}

}  // namespace

std::vector<std::string> validate_module(const ModuleRecords& module) {
    std::vector<std::string> problems;
    if (module.imports == nullptr) {
        problems.push_back("ImportTable: not exported");
    } else {
        if (module.imports->entry[0].id != orvane::import_id_panels) {
            problems.push_back("ImportTable: first entry id is " + format_hex32(module.imports->entry[0].id) +
                               ", expected " + format_hex32(orvane::import_id_panels));
        }
        if (module.imports->entry[1].id != 0 || module.imports->entry[1].table != nullptr) {
            problems.push_back("ImportTable: second entry is not the end entry (id 0, null)");
        }
    }
    if (module.linkage == nullptr) {
        problems.push_back("Linkage: not exported");
        return problems;
    }
    if (module.linkage->module_id != orvane::module_id_gauges) {
        problems.push_back("Linkage: module id is " + format_hex32(module.linkage->module_id) + ", expected " +
                           format_hex32(orvane::module_id_gauges));
    }
    const std::vector<GaugeHeader*> gauges = gauge_table(module.linkage);
    if (gauges.size() == max_gauges) {
        problems.push_back("Linkage: the gauge table has no null end within " + std::to_string(max_gauges) +
                           " entries");
        return problems;
    }
    if (gauges.empty()) problems.push_back("Linkage: the gauge table lists no gauge");
    std::set<std::string> names;
    for (size_t i = 0; i < gauges.size(); ++i) {
        validate_gauge(i, *gauges[i], problems);
        const char* name = gauges[i]->gauge_name;
        if (name != nullptr && strnlen(name, max_gauge_name_length + 1) <= max_gauge_name_length &&
            !names.insert(name).second) {
            problems.push_back(gauge_label(i, *gauges[i]) + ": another gauge has the same name");
        }
    }
    return problems;
}

void start_module(HostServices& host, const ModuleRecords& module) {
    host.attach(module.imports);
    if (module.linkage != nullptr && module.linkage->module_init != nullptr) module.linkage->module_init();
}

void stop_module(HostServices& host, const ModuleRecords& module) {
    if (module.linkage != nullptr && module.linkage->module_deinit != nullptr) module.linkage->module_deinit();
    host.detach();
}

#if defined(_WIN32)

std::unique_ptr<LoadedModule> LoadedModule::open(const std::string& path, std::string& error) {
    HMODULE library = LoadLibraryA(path.c_str());
    if (library == nullptr) {
        error = "cannot load " + path + ": Windows error " + std::to_string(GetLastError());
        return nullptr;
    }
    ModuleRecords records;
    records.imports = reinterpret_cast<orvane::GaugeModuleImports*>(GetProcAddress(library, "ImportTable"));
    records.linkage = reinterpret_cast<orvane::GaugeModuleLinkage*>(GetProcAddress(library, "Linkage"));
    records.instance = reinterpret_cast<orvane::ServiceExtra>(library);
    return std::unique_ptr<LoadedModule>(new LoadedModule(library, records));
}

LoadedModule::~LoadedModule() { FreeLibrary(static_cast<HMODULE>(handle_)); }

#else

std::unique_ptr<LoadedModule> LoadedModule::open(const std::string& path, std::string& error) {
    // A bare file name means the file here, as LoadLibrary would find it, not
    // a search of the system's library paths.
    const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* reason = dlerror();
        error = "cannot load " + path + ": " + (reason != nullptr ? reason : "unknown reason");
        return nullptr;
    }
    ModuleRecords records;
    records.imports = static_cast<orvane::GaugeModuleImports*>(dlsym(library, "ImportTable"));
    records.linkage = static_cast<orvane::GaugeModuleLinkage*>(dlsym(library, "Linkage"));
    // The platform layer takes a module's base address as its HMODULE.
    link_map* map = nullptr;
    if (dlinfo(library, RTLD_DI_LINKMAP, &map) == 0 && map != nullptr) records.instance = map->l_addr;
    return std::unique_ptr<LoadedModule>(new LoadedModule(library, records));
}

LoadedModule::~LoadedModule() { dlclose(handle_); }

#endif

}  // namespace panelhost
