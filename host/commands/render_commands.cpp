#include "host/commands/render_commands.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/base/files.h"
#include "host/commands/commands.h"
#include "host/commands/demo.h"
#include "host/render/panel_cfg.h"
#include "host/render/panel_renderer.h"
#include "host/render/gauge_reference.h"
#include "host/render/render_setup.h"

namespace panelhost {
namespace {

constexpr int exit_ok = 0;
constexpr int exit_failed = 1;
constexpr int exit_unusable = 2;

constexpr const char* usage_text =
    "drawing (native build):\n"
    "  panelhost render MODULE PANEL.CFG [--scenario FILE] [--scale N] [--output DIR]\n"
    "      draws every window of the panel.cfg as DIR/windowNN.png and the visible ones as the\n"
    "      screen shows them as DIR/screen.png; with a scenario, as they stand after its last\n"
    "      update (the scenario installs the gauges), else after installing every gauge the\n"
    "      panel places and one update\n"
    "  panelhost render MODULE --gauge NAME [--scenario FILE] [--scale N] [--output DIR]\n"
    "      draws one gauge alone as DIR/NAME.png\n"
    "  panelhost demo MODULE [--out DIR] [--scenario FILE] [--panel PANEL.CFG] [--scale N]\n"
    "      flies the approach (or the scenario) on the panel and writes frames, a contact\n"
    "      sheet, an animation, the callout as heard and the trace to DIR (default out/demo)\n"
    "  panelhost reference MODULE\n"
    "      prints each gauge's size, clickable areas, host variables and key events (Markdown)\n";


struct Options {
    std::vector<std::string> positional;
    std::string scenario, output = ".", gauge, panel, out_dir = "out/demo";
    int scale = 1;
    std::string error;
};

Options parse_options(const std::vector<std::string>& args, int default_scale) {
    Options o;
    o.scale = default_scale;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool has_value = i + 1 < args.size();
        if (a == "--scenario" && has_value) {
            o.scenario = args[++i];
        } else if (a == "--output" && has_value) {
            o.output = args[++i];
        } else if (a == "--out" && has_value) {
            o.out_dir = args[++i];
        } else if (a == "--gauge" && has_value) {
            o.gauge = args[++i];
        } else if (a == "--panel" && has_value) {
            o.panel = args[++i];
        } else if (a == "--scale" && has_value) {
            const std::string& text = args[++i];
            const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), o.scale);
            if (ec != std::errc{} || end != text.data() + text.size() || o.scale < 1 || o.scale > 16) {
                o.error = "the scale must be a whole number from 1 to 16, not " + text;
            }
        } else if (a.starts_with("--")) {
            o.error = "unknown option " + a;
        } else {
            o.positional.push_back(a);
        }
    }
    return o;
}

// The last update of a scenario, counted as the observer sees it.
struct LastUpdate {
    size_t step = 0;  // index of the last step that updates
    int64_t cycles = 0;
    bool any = false;
};

LastUpdate last_update(const Scenario& scenario) {
    LastUpdate last;
    for (size_t i = 0; i < scenario.steps.size(); ++i) {
        const Step& s = scenario.steps[i];
        if (s.kind == StepKind::update || s.kind == StepKind::ramp) last = {i, s.count, true};
    }
    return last;
}

int render(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    const Options o = parse_options(args, 1);
    if (!o.error.empty()) {
        print(err, "panelhost: " + o.error + "\n" + usage_text);
        return exit_unusable;
    }
    const size_t wanted = o.gauge.empty() ? 2 : 1;
    if (o.positional.size() != wanted) {
        print(err, usage_text);
        return exit_unusable;
    }
    RenderSetup setup(o.positional[0]);
    if (!setup.ok()) {
        print(err, "panelhost: " + setup.error() + "\n");
        return exit_unusable;
    }
    Panel& panel = setup.panel();

    PanelConfig cfg;
    if (o.gauge.empty()) {
        std::string text;
        if (!read_file(o.positional[1], text)) {
            print(err, "panelhost: cannot read " + o.positional[1] + "\n");
            return exit_unusable;
        }
        cfg = parse_panel_cfg(text, o.positional[1]);
    } else {
        if (panel.gauge(o.gauge) == nullptr) {
            print(err, "panelhost: the module has no gauge named " + o.gauge + "\n");
            return exit_unusable;
        }
    }
    PanelRenderer drawing(setup.renderer(), cfg, setup.module_path(),
                          o.gauge.empty() ? files_beside(o.positional[1]) : PanelFiles{});
    int status = exit_ok;
    for (const std::string& problem : cfg.problems) print(err, problem + "\n");
    std::error_code ec;
    std::filesystem::create_directories(o.output, ec);

    std::vector<std::pair<std::string, Surface>> pictures;
    auto draw_all = [&] {
        pictures.clear();
        if (!o.gauge.empty()) {
            if (const InstalledGauge* g = panel.installed(o.gauge)) {
                pictures.emplace_back(o.gauge + ".png", render_gauge(setup.renderer(), panel, *g, o.scale));
            }
            return;
        }
        for (const PanelWindow& w : cfg.windows) {
            pictures.emplace_back("window" + std::string(w.number < 10 ? "0" : "") + std::to_string(w.number) + ".png",
                                  drawing.render_window(w, panel, o.scale));
        }
        pictures.emplace_back("screen.png", drawing.render_screen(panel, o.scale));
    };

    std::vector<std::string> failures;
    if (!o.scenario.empty()) {
        std::string text;
        if (!read_file(o.scenario, text)) {
            print(err, "panelhost: cannot read " + o.scenario + "\n");
            return exit_unusable;
        }
        Scenario scenario;
        if (const auto errors = setup.load_scenario(text, o.scenario, scenario); !errors.empty()) {
            for (const std::string& e : errors) print(err, e + "\n");
            return exit_unusable;
        }
        const LastUpdate last = last_update(scenario);
        int64_t seen = 0;
        failures = run_scenario(scenario, panel, setup.host(), nullptr, [&](const Step& step) {
            if (&step != &scenario.steps[last.step]) return;
            if (++seen == last.cycles) draw_all();
        });
        if (!last.any) print(err, "panelhost: " + o.scenario + " never updates the panel; nothing drawn\n");
    } else {
        std::vector<std::string> names = o.gauge.empty() ? drawing.gauge_names(panel) : std::vector{o.gauge};
        for (const std::string& name : names) panel.install(name);
        panel.update();
        draw_all();
        for (const std::string& name : names) panel.kill(name);
        failures = panel.take_faults();
    }
    if (o.gauge.empty()) {
        for (const std::string& problem : drawing.check(panel)) print(err, problem + "\n");
    }
    for (const std::string& report : setup.renderer().take_reports()) print(err, "panelhost: " + report + "\n");
    for (const std::string& f : failures) print(err, f + "\n");
    if (!failures.empty()) status = exit_failed;

    if (!o.gauge.empty() && pictures.empty()) {
        print(err, "panelhost: " + o.gauge + " was not installed at the last update; nothing drawn\n");
        status = exit_failed;
    }
    for (const auto& [name, surface] : pictures) {
        const std::string path = (std::filesystem::path(o.output) / name).string();
        if (const std::string error = write_png(surface.get(), path); !error.empty()) {
            print(err, "panelhost: " + error + "\n");
            return exit_unusable;
        }
        print(out, "wrote " + path + "\n");
    }
    return status;
}

}  // namespace

std::optional<int> render_command(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    if (args.empty()) return std::nullopt;
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "render") return render(rest, out, err);
    if (args[0] == "demo") return demo_command(rest, out, err);
    if (args[0] == "reference") {
        if (rest.size() != 1) {
            print(err, usage_text);
            return exit_unusable;
        }
        RenderSetup setup(rest[0]);
        if (!setup.ok()) {
            print(err, "panelhost: " + setup.error() + "\n");
            return exit_unusable;
        }
        print(out, gauge_reference(setup));
        return exit_ok;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        const int code = panelhost_command(args, out, err);
        print(out, usage_text);
        return code;
    }
    return std::nullopt;
}

}  // namespace panelhost
