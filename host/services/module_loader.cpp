#include "host/services/module_loader.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <utility>

#include "host/services/chain.h"
#include "host/services/host_services.h"
#include "host/services/mouse_table.h"
#include "host/base/text_format.h"

#include "host/services/windows_api.h"

#if !defined(_WIN32)
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

ModuleRecords linked_module_records(orvane::GaugeModuleImports* imports, orvane::GaugeModuleLinkage* linkage,
                                    orvane::ServiceExtra instance) {
    ModuleRecords records{.imports = imports, .linkage = linkage, .instance = instance};
    records.image = ModuleImage::of_object_holding(linkage != nullptr ? static_cast<const void*>(linkage) : imports);
    return records;
}

namespace {

// The checks of one module, in the order the host reads its records.
class Checker {
public:
    explicit Checker(const ModuleRecords& module) : module_(module), image_(module.image) {}

    ModuleCheck run() {
        check_.readable = imports() && linkage();
        return std::move(check_);
    }

private:
    void fault(std::string message) { check_.faults.push_back(std::move(message)); }
    // A fault that leaves the rest unread.
    bool stop(std::string message) {
        fault(std::move(message));
        return false;
    }
    // "0x... lies outside the module's image (allowed)", or empty when the record can be read.
    std::string unreadable(const void* where, size_t bytes, size_t alignment, const char* allowed) const {
        const std::string fault = image_.record_fault(where, bytes, alignment);
        return fault.empty() ? fault : address_text(where) + " " + fault + " (" + allowed + ")";
    }

    // A record an export holds: as large as its type where the size is
    // recorded, and in the image either way.
    template <typename Record>
    bool export_readable(const char* name, const Record* record, size_t bytes, size_t needed) {
        if (bytes != 0 && bytes < needed) {
            return stop(std::string(name) + ": the export holds " + std::to_string(bytes) +
                        (bytes == 1 ? " byte" : " bytes") + " (its record takes " + std::to_string(needed) +
                        " bytes)");
        }
        if (const std::string fault = unreadable(record, needed, alignof(Record), "a record in the module, whole");
            !fault.empty()) {
            return stop(std::string(name) + ": the export at " + fault);
        }
        return true;
    }

    bool imports() {
        const orvane::GaugeModuleImports* imports = module_.imports;
        if (imports == nullptr) {
            fault("ImportTable: not exported");
            return true;
        }
        if (!export_readable("ImportTable", imports, module_.imports_bytes, sizeof *imports)) return false;
        bool sound = true;
        if (imports->entry[0].id != orvane::import_id_panels) {
            sound = stop("ImportTable: first entry id is " + format_hex32(imports->entry[0].id) + ", expected " +
                         format_hex32(orvane::import_id_panels));
        }
        if (imports->entry[1].id != 0 || imports->entry[1].table != nullptr) {
            sound = stop("ImportTable: second entry is not the end entry (id 0, null)");
        }
        // A wrong import table is refused before anything is walked.
        return sound;
    }

    bool linkage() {
        const orvane::GaugeModuleLinkage* linkage = module_.linkage;
        if (linkage == nullptr) return stop("Linkage: not exported");
        constexpr size_t fixed = offsetof(orvane::GaugeModuleLinkage, gauge_table);
        if (!export_readable("Linkage", linkage, module_.linkage_bytes, fixed + sizeof(GaugeHeader*))) return false;
        if (linkage->module_id != orvane::module_id_gauges) {
            return stop("Linkage: module id is " + format_hex32(linkage->module_id) + ", expected " +
                        format_hex32(orvane::module_id_gauges));
        }
        for (const auto& [what, routine] : {std::pair{"start routine", linkage->module_init},
                                            std::pair{"end routine", linkage->module_deinit}}) {
            const auto* code = reinterpret_cast<const void*>(routine);
            if (code != nullptr && !image_.holds_code(code)) {
                fault(std::string("Linkage: the ") + what + " " + address_text(code) +
                      " is not in the module's code (a function of the module, or none)");
            }
        }
        std::vector<GaugeHeader*> gauges;
        if (!table(*linkage, gauges)) return false;
        std::set<std::string> names;
        for (size_t i = 0; i < gauges.size(); ++i) {
            if (!gauge(i, gauges[i], names)) return false;
        }
        return true;
    }

    // The gauge table, entry by entry, each read only inside the export.
    bool table(const orvane::GaugeModuleLinkage& linkage, std::vector<GaugeHeader*>& gauges) {
        GaugeHeader* const* entries = linkage.gauge_table;
        for (size_t i = 0; i < max_gauges; ++i) {
            const size_t end = offsetof(orvane::GaugeModuleLinkage, gauge_table) + (i + 1) * sizeof(GaugeHeader*);
            if (module_.linkage_bytes != 0 && end > module_.linkage_bytes) {
                return stop("Linkage: the gauge table runs past the end of the export (" +
                            std::to_string(module_.linkage_bytes) + " bytes) at entry " + std::to_string(i) +
                            " (a table ended by a null entry)");
            }
            if (const std::string fault = unreadable(entries + i, sizeof entries[i], alignof(GaugeHeader*),
                                                     "a table ended by a null entry");
                !fault.empty()) {
                return stop("Linkage: gauge table entry " + std::to_string(i) + " at " + fault);
            }
            if (entries[i] == nullptr) {
                if (i == 0) fault("Linkage: the gauge table lists no gauge");
                return true;
            }
            gauges.push_back(entries[i]);
        }
        return stop("Linkage: the gauge table has no null end within " + std::to_string(max_gauges) + " entries");
    }

    bool gauge(size_t index, const GaugeHeader* gauge, std::set<std::string>& names) {
        std::string label = "gauge " + std::to_string(index);
        // A header grows with its version; the host reads up to the service callback.
        constexpr size_t header_read = offsetof(GaugeHeader, user_data);
        if (const std::string fault = unreadable(gauge, header_read, alignof(GaugeHeader), "a gauge header in the module");
            !fault.empty()) {
            return stop("Linkage: gauge table entry " + std::to_string(index) + " points to " + fault);
        }
        const char* name = gauge->gauge_name;
        size_t length = 0;
        if (name != nullptr) {
            const size_t room = image_.room_at(name);
            length = strnlen(name, std::min(room, max_gauge_name_length + 1));
            if (room == 0 || (length == room && room <= max_gauge_name_length)) {
                return stop(label + ": its name at " + address_text(name) +
                            (room == 0 ? " lies outside the module's image" : " runs past the end of the module's image") +
                            " (a text in the module, ended by a NUL)");
            }
            if (length <= max_gauge_name_length) label += " (" + std::string(name, length) + ")";
        }
        if (gauge->gauge_header_version == 0) fault(label + ": header version is 0");
        if (name == nullptr) {
            fault(label + ": has no name");
        } else if (length == 0) {
            fault(label + ": name is empty");
        } else if (length > max_gauge_name_length) {
            fault(label + ": name is longer than " + std::to_string(max_gauge_name_length) + " characters");
        }
        routines(label, *gauge);
        const ChainWalk chain = walk_chain(gauge, max_chain_length, &image_);
        if (!chain.problem.empty()) fault(label + ": element chain: " + chain.problem);
        if (chain.unreadable) return false;
        bool elements_unreadable = false;
        for (const std::string& problem : check_elements(chain.elements, &image_, &elements_unreadable)) {
            fault(label + ": " + problem);
        }
        if (elements_unreadable) return false;
        bool rows_unreadable = false;
        for (const MouseTableProblem& problem : validate_mouse_table(gauge->mouse_rect, max_mouse_rows, &image_)) {
            fault(label + ": mouse table row " + std::to_string(problem.row) + ": " + problem.message);
            rows_unreadable = rows_unreadable || problem.unreadable;
        }
        if (rows_unreadable) return false;
        if (name != nullptr && length > 0 && length <= max_gauge_name_length &&
            !names.insert(std::string(name, length)).second) {
            fault(label + ": another gauge has the same name");
        }
        return true;
    }

    // The header's own callbacks: each in the module's code, or none.
    void routines(const std::string& label, const GaugeHeader& gauge) {
        const std::pair<const char*, const void*> named[] = {
            {"service callback", reinterpret_cast<const void*>(gauge.gauge_callback)},
            {"query routine", reinterpret_cast<const void*>(gauge.query_routine)},
            {"install routine", reinterpret_cast<const void*>(gauge.install_routine)},
            {"initialise routine", reinterpret_cast<const void*>(gauge.initialize_routine)},
            {"update routine", reinterpret_cast<const void*>(gauge.update_routine)},
            {"generate routine", reinterpret_cast<const void*>(gauge.generate_routine)},
            {"draw routine", reinterpret_cast<const void*>(gauge.draw_routine)},
            {"kill routine", reinterpret_cast<const void*>(gauge.kill_routine)},
        };
        for (const auto& [what, code] : named) {
            if (code != nullptr && !image_.holds_code(code)) {
                fault(label + ": its " + what + " " + address_text(code) +
                      " is not in the module's code (a function of the module, or none)");
            }
        }
    }

    const ModuleRecords& module_;
    const ModuleImage& image_;
    ModuleCheck check_;
};

}  // namespace

ModuleCheck check_module(const ModuleRecords& module) { return Checker(module).run(); }

std::vector<std::string> validate_module(const ModuleRecords& module) { return check_module(module).faults; }

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
    // A PE image records no sizes of its exports: each must fit in the
    // section that holds it, which the image's ranges are.
    records.image = ModuleImage::of_library(library);
    return std::unique_ptr<LoadedModule>(new LoadedModule(library, records));
}

LoadedModule::~LoadedModule() { FreeLibrary(static_cast<HMODULE>(handle_)); }

#else

namespace {

// The size ELF records for the exported symbol at this address; 0 when it
// records none.
size_t symbol_bytes(const void* address) {
    if (address == nullptr) return 0;
    Dl_info info{};
    void* entry = nullptr;
    if (dladdr1(address, &info, &entry, RTLD_DL_SYMENT) == 0 || entry == nullptr ||
        info.dli_saddr != address) {
        return 0;
    }
    return static_cast<const ElfW(Sym)*>(entry)->st_size;
}

}  // namespace

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
    records.image = ModuleImage::of_library(library);
    records.imports_bytes = symbol_bytes(records.imports);
    records.linkage_bytes = symbol_bytes(records.linkage);
    return std::unique_ptr<LoadedModule>(new LoadedModule(library, records));
}

LoadedModule::~LoadedModule() { dlclose(handle_); }

#endif

}  // namespace panelhost
