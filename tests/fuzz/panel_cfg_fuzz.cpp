// Fuzz target: the input is a panel.cfg. The reader takes any bytes; the
// windows it reads are laid out on the module linked in, their sizes checked
// at the smallest and the largest scale, and a panel small enough is drawn.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/render/panel_cfg.h"
#include "host/render/panel_renderer.h"
#include "host/services/host_services.h"
#include "host/services/module_loader.h"
#include "module/linkage.h"
#include "tests/hardening/linked_module.h"
#include "tests/support/bmp_files.h"

namespace {

using namespace panelhost;

[[noreturn]] void fault(const std::string& what) {
    std::fprintf(stderr, "%s\n", what.c_str());
    std::abort();
}

// A panel drawn whole in its target is at most this large at scale 1.
constexpr int64_t max_pixels_drawn = int64_t{1} << 16;

// The backgrounds a panel may name: one of each kind the reader meets.
std::optional<std::vector<uint8_t>> background(const std::string& name, std::string& error) {
    if (name == "a.bmp") return testing::bmp_file({.width = 6, .height = 3});
    if (name == "b.bmp") return testing::bmp_file({.width = 2, .height = -5, .bits = 8, .palette = 2});
    if (name == "c.bmp") return testing::bmp_file({.bits = 8, .compression = 1, .palette = 256});
    error = "no such file";
    return std::nullopt;
}

struct Module {
    ModuleRecords records{&ImportTable, &Linkage, orvane::hardening::linked_module_instance()};
    HostServices host;
    std::unique_ptr<Panel> panel;
    std::unique_ptr<GaugeRenderer> gauges;
    Module() {
        start_module(host, records);
        panel = std::make_unique<Panel>(host, records);
        gauges = std::make_unique<GaugeRenderer>(reinterpret_cast<HMODULE>(records.instance));
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Module module;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const PanelConfig cfg = parse_panel_cfg(text, "fuzz.cfg");
    for (const std::string& problem : cfg.problems) {
        if (!problem.starts_with("fuzz.cfg:")) fault("a problem without its file: " + problem);
    }
    if (cfg.windows.empty() != !cfg.unusable.empty()) fault("a panel with windows is unusable, or one without is not");
    for (const PanelWindow& window : cfg.windows) {
        if (window.size_width && (*window.size_width < 1 || *window.size_width > max_window_side)) {
            fault("a window's size_mm beyond its bound");
        }
        for (const PanelGauge& g : window.gauges) {
            if (g.x < 0 || g.y < 0 || g.x >= max_window_side || g.y >= max_window_side) fault("a gauge off bounds");
        }
    }
    PanelRenderer layout(*module.gauges, cfg, "orvane.so", background);
    layout.check(*module.panel);
    const bool fits = layout.check_size(*module.panel, 1).empty();
    layout.check_size(*module.panel, 8);
    int64_t pixels = 0;
    for (const PanelWindow& window : cfg.windows) {
        const PanelRenderer::Size size = layout.window_size(window, *module.panel);
        pixels += size.x * size.y;
    }
    if (fits && pixels <= max_pixels_drawn) {
        for (const PanelWindow& window : cfg.windows) layout.render_window(window, *module.panel, 1);
        layout.render_screen(*module.panel, 1);
    }
    return 0;
}
