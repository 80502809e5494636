// Fuzz target: the input is a module image (module_image.h), its records at
// fixed places. The validator checks them, following a pointer only into the
// image; when it finds them readable, the designer's view walks them and
// the mouse is tried on every gauge, none of which may read outside.
#include <cstdint>
#include <span>
#include <string>

#include "host/panel/inspect.h"
#include "host/panel/panel.h"
#include "host/services/host_services.h"
#include "host/services/module_loader.h"
#include "tests/fuzz/module_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const panelhost::ModuleRecords records = orvane::fuzzing::load_image({data, size});
    const panelhost::ModuleCheck check = panelhost::check_module(records);
    if (!check.readable) return 0;
    panelhost::inspect_module(records, false);
    panelhost::HostServices host;
    const panelhost::Panel panel(host, records);
    for (const orvane::GaugeHeader* gauge : panel.gauges()) {
        if (gauge->gauge_name == nullptr) continue;
        for (const orvane::PixPoint point : {orvane::PixPoint{0, 0}, {15, 15}, {35, 20}, {-1, 3}}) {
            panel.probe(gauge->gauge_name, point);
        }
    }
    return 0;
}
