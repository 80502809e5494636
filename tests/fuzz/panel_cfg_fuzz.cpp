// Fuzz target: the input is a panel.cfg. The reader takes any bytes; the
// windows and textures it reads are laid out on the module linked in, their
// sizes checked at the smallest and the largest scale, and a panel small
// enough is drawn with its mouse areas.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/layout/panel_cfg.h"
#include "host/layout/panel_edit.h"
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

// Opened for editing, the file is its own bytes; each kind of edit on the
// first gauge read reads back as made, with no line refused that was not
// before, and undone gives the file's bytes again.
void check_edits(std::string_view text) {
    PanelDocument document{std::string(text), "fuzz.cfg"};
    if (document.text() != text) fault("a panel.cfg opened and left alone is not its own bytes");
    const PanelConfig& cfg = document.config();
    const size_t problems = cfg.problems.size();
    const PanelWindow* window = nullptr;
    for (const auto* list : {&cfg.windows, &cfg.virtual_cockpits}) {
        for (const PanelWindow& w : *list) {
            if (!window && !w.gauges.empty()) window = &w;
        }
    }
    if (!window) return;
    const WindowRef w{.virtual_cockpit = window->virtual_cockpit, .number = window->number};
    const GaugeRef g{.window = w, .number = window->gauges.front().number};
    auto undone = [&](const std::string& what, bool made) {
        if (!made) fault(what + " does not read back as made, or made a line the reader refuses");
        if (!document.undo() || document.text() != text) fault(what + " undone is not the file's bytes");
    };
    if (!document.move(g, 7, -3)) fault("a move of a gauge read was refused");
    const PanelGauge* moved = document.find(g);
    undone("a move", moved && moved->x == 7 && moved->y == -3 && document.config().problems.size() == problems);
    if (!document.resize(g, 11, 13)) fault("a resize of a gauge read was refused");
    const PanelGauge* resized = document.find(g);
    undone("a resize", resized && resized->width == 11 && resized->height == 13 &&
                           document.config().problems.size() == problems);
    // Refused only past gauge9999.
    GaugeRef added;
    if (document.add(w, {.module = "Orvane", .gauge = "FD", .x = 1, .y = 2}, &added)) {
        const PanelGauge* line = document.find(added);
        undone("an add", line && line->gauge == "FD" && line->x == 1 && document.config().problems.size() == problems);
    }
    if (!document.remove(g)) fault("a remove of a gauge read was refused");
    undone("a remove", document.text().size() < text.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Module module;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const PanelConfig cfg = parse_panel_cfg(text, "fuzz.cfg");
    for (const Diagnostic& problem : cfg.problems) {
        if (!problem.text.starts_with("fuzz.cfg:")) fault("a problem without its file: " + problem.text);
    }
    const bool nothing = cfg.windows.empty() && cfg.virtual_cockpits.empty();
    if (nothing != !cfg.unusable.empty()) fault("a panel with windows is unusable, or one without is not");
    for (const auto* list : {&cfg.windows, &cfg.virtual_cockpits}) {
        for (const PanelWindow& window : *list) {
            for (const std::optional<int>& side : {window.size_width, window.pixel_width, window.pixel_height}) {
                if (side && (*side < 1 || *side > max_window_side)) fault("a window's size beyond its bound");
            }
            for (const PanelGauge& g : window.gauges) {
                if (g.x < -max_window_side || g.y < -max_window_side || g.x >= max_window_side ||
                    g.y >= max_window_side) {
                    fault("a gauge off bounds");
                }
                // Each field's span lies in the line and holds what was read from it.
                for (const TextSpan& f : g.fields) {
                    if (f.offset + f.length > g.text.size()) fault("a gauge field beyond its line");
                }
                if (g.fields.size() < 3 || g.text.substr(g.fields[1].offset, g.fields[1].length).find_first_not_of(
                                               " \t+-0123456789") != std::string::npos) {
                    fault("a gauge's x field is not where the line holds it");
                }
            }
        }
    }
    check_edits(text);
    PanelRenderer layout(*module.gauges, cfg, "orvane.so", background, ScreenSize{160, 120});
    Diagnostics said("fuzz");
    layout.check(*module.panel, said);
    layout.notes(*module.panel, said);
    const bool fits = layout.fits(*module.panel, 1, said);
    layout.fits(*module.panel, 8, said);
    int64_t pixels = 0;
    for (const auto* list : {&cfg.windows, &cfg.virtual_cockpits}) {
        for (const PanelWindow& window : *list) {
            const PanelRenderer::Size size = layout.picture_size(window, *module.panel);
            pixels += size.x * size.y;
        }
    }
    if (layout.has_screen()) {
        const PanelRenderer::Size screen = layout.screen_size(*module.panel);
        pixels += screen.x * screen.y;
    }
    if (fits && pixels <= max_pixels_drawn) layout.render_pictures(*module.panel, 1, true);
    return 0;
}
