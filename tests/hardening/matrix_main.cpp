// The bad-input matrix on a built module, loaded as a host loads it: the
// native library, or the DLL under Wine. Only what the host sees is checked.
#include <cstdio>
#include <memory>
#include <string>

#include "host/services/host_services.h"
#include "host/services/module_loader.h"
#include "host/panel/panel.h"
#include "tests/hardening/matrix_walk.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s MODULE\n", argv[0]);
        return 2;
    }
    std::string error;
    std::unique_ptr<panelhost::LoadedModule> module = panelhost::LoadedModule::open(argv[1], error);
    if (!module) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 2;
    }
    panelhost::HostServices host;
    panelhost::start_module(host, module->records());
    orvane::hardening::MatrixResult result;
    {
        panelhost::Panel panel(host, module->records());
        result = orvane::hardening::walk_bad_input_matrix(panel, host, module->records(), nullptr);
    }
    panelhost::stop_module(host, module->records());
    for (const std::string& fault : result.faults) std::printf("%s\n", fault.c_str());
    std::printf("matrix: %zu cases, %zu steps checked, %zu faults\n", result.cases, result.steps, result.fault_count);
    return result.fault_count == 0 ? 0 : 1;
}
