// panelhost render and panelhost reference: drawing, in the native build.
#include <filesystem>

#include "host/base/files.h"
#include "host/commands/commands.h"
#include "host/render/area_map.h"
#include "host/render/gauge_reference.h"
#include "host/render/panel_cfg.h"
#include "host/render/panel_renderer.h"
#include "host/render/render_setup.h"
#include "host/scenario/scenario.h"

namespace panelhost {
namespace {

// The last update of a scenario, counted as the observer sees it.
struct LastUpdate {
    size_t step = 0;  // index of the last step that updates
    bool any = false;
};

LastUpdate last_update(const Scenario& scenario) {
    LastUpdate last;
    for (size_t i = 0; i < scenario.steps.size(); ++i) {
        const Step& s = scenario.steps[i];
        if (s.kind == StepKind::update || s.kind == StepKind::ramp || s.kind == StepKind::fly) last = {i, true};
    }
    return last;
}

}  // namespace

void describe(CommandLine& command, RenderOptions& o) {
    command.operand("MODULE", o.module, "the gauge module (orvane.so)");
    command.optional_operand("PANEL.CFG", o.panel_cfg,
                             "the panel to draw: every window as DIR/windowNN.png, every virtual-cockpit texture as "
                             "DIR/vcockpitNN.png, the visible windows as the screen shows them as DIR/screen.png");
    command.option("--gauge", o.gauge, "NAME", "draws one gauge alone as DIR/NAME.png (instead of a PANEL.CFG)");
    command.option("--scenario", o.scenario, "FILE",
                   "draws the panel as it stands after the scenario's last update (the scenario installs the "
                   "gauges); without it, after installing every gauge the panel places and one update");
    command.option("--scale", o.scale, "pixels per gauge pixel", 1, max_scale);
    command.flag("--areas", o.areas,
                 "outlines and numbers every mouse area of every drawn gauge, its click rows dashed, with a key of "
                 "the areas' tooltips under the picture");
    command.option("--screen", o.screen, "WxH",
                   "the screen that window_pos and window_size are shares of (default 1280x1024)");
    command.option("--out", o.out_dir, "DIR", "the folder for the pictures (default out/render)");
    command.footer("Exit status: 0 all drawn, 1 an expectation failed or the panel has problems (the rest still "
                   "drawn), 2 an unusable input.");
}

int render_command(const RenderOptions& o, std::FILE* out, std::FILE* err) {
    if (o.gauge.empty() == o.panel_cfg.empty()) {
        print(err, "panelhost render: give either a PANEL.CFG or --gauge NAME\n"
                   "Run 'panelhost render --help' for its usage.\n");
        return exit_unusable;
    }
    auto unusable = [&](const std::string& message) {
        print(err, message + "\n");
        return exit_unusable;
    };
    const std::optional<ScreenSize> screen = parse_screen_size(o.screen);
    if (!screen) {
        return unusable("panelhost render: --screen " + o.screen + " is not a screen size (WxH, each a whole number "
                        "from 1 to " + std::to_string(max_screen_side) + ")");
    }
    RenderSetup setup(o.module);
    if (!setup.ok()) return unusable("panelhost render: " + setup.error());
    Panel& panel = setup.panel();

    PanelConfig cfg;
    if (o.gauge.empty()) {
        cfg = read_panel_cfg(o.panel_cfg);
        if (!cfg.unusable.empty()) {
            for (const std::string& problem : cfg.problems) print(err, problem + "\n");
            return unusable("panelhost render: " + cfg.unusable);
        }
    } else if (panel.gauge(o.gauge) == nullptr) {
        return unusable("panelhost render: the module has no gauge named " + o.gauge);
    }
    Scenario scenario;
    LastUpdate last;
    if (!o.scenario.empty()) {
        if (!scenario_usable(read_scenario(o.scenario, scenario), err)) return exit_unusable;
        if (!scenario_usable(check_gauge_names(scenario, panel), err)) return exit_unusable;
        last = last_update(scenario);
        if (!last.any) {
            return unusable("panelhost render: " + o.scenario +
                            " never updates the panel, so there is nothing to draw (a scenario with an update)");
        }
    }
    // Everything that makes the pictures too large is found before any is drawn or written.
    PanelRenderer drawing(setup.renderer(), cfg, setup.module_path(),
                          o.gauge.empty() ? files_beside(o.panel_cfg) : PanelFiles{}, *screen);
    std::vector<std::string> too_large;
    if (o.gauge.empty()) {
        too_large = drawing.check_size(panel, o.scale);
    } else {
        const orvane::PixPoint size = setup.renderer().gauge_size(*panel.gauge(o.gauge));
        if (int64_t{size.x} * o.scale > max_surface_side || int64_t{size.y} * o.scale > max_surface_side) {
            too_large.push_back("panelhost render: " + o.gauge + " would be " + std::to_string(size.x * o.scale) +
                                " x " + std::to_string(size.y * o.scale) + " pixels at scale " +
                                std::to_string(o.scale) + " (at most " + std::to_string(max_surface_side) +
                                " a side: a smaller --scale)");
        }
    }
    if (!too_large.empty()) {
        for (const std::string& problem : too_large) print(err, problem + "\n");
        return exit_unusable;
    }
    std::error_code ec;
    std::filesystem::create_directories(o.out_dir, ec);
    if (ec || !std::filesystem::is_directory(o.out_dir)) {
        return unusable("panelhost render: cannot make the folder " + o.out_dir + ": " +
                        (ec ? ec.message() : std::string("a file of that name is there")));
    }
    int status = exit_ok;
    for (const std::string& problem : cfg.problems) print(err, problem + "\n");
    if (!cfg.problems.empty()) status = exit_failed;

    std::vector<std::pair<std::string, Surface>> pictures;
    auto add = [&](std::string name, Surface picture, const std::vector<MappedGauge>& gauges) {
        pictures.emplace_back(std::move(name), o.areas ? area_map(picture.get(), gauges) : std::move(picture));
    };
    auto draw_all = [&] {
        pictures.clear();
        if (!o.gauge.empty()) {
            if (const InstalledGauge* g = panel.installed(o.gauge)) {
                const MappedGauge mapped{.title = o.gauge,
                                         .header = g->header,
                                         .size = setup.renderer().gauge_size(*g->header),
                                         .scale_x = double(o.scale),
                                         .scale_y = double(o.scale)};
                add(o.gauge + ".png", render_gauge(setup.renderer(), panel, *g, o.scale), {mapped});
            }
            return;
        }
        for (auto& [name, picture] : drawing.render_pictures(panel, o.scale, o.areas)) {
            pictures.emplace_back(std::move(name), std::move(picture));
        }
    };

    std::vector<std::string> failures;
    if (!o.scenario.empty()) {
        const RunOutcome result =
            run_scenario(scenario, panel, setup.host(), nullptr, [&](const Step& step, int64_t cycle) {
                if (&step == &scenario.steps[last.step] && cycle + 1 == step.count) draw_all();
            });
        failures = result.failures;
        if (!result.stopped.empty()) {
            for (const std::string& f : failures) print(err, f + "\n");
            return unusable(result.stopped);
        }
    } else {
        std::vector<std::string> names = o.gauge.empty() ? drawing.gauge_names(panel) : std::vector{o.gauge};
        for (const std::string& name : names) panel.install(name);
        panel.update();
        draw_all();
        for (const std::string& name : names) panel.kill(name);
        failures = panel.take_faults();
    }
    if (o.gauge.empty()) {
        const std::vector<std::string> problems = drawing.check(panel);
        for (const std::string& problem : problems) print(err, problem + "\n");
        if (!problems.empty()) status = exit_failed;
    }
    for (const std::string& report : setup.renderer().take_reports()) print(err, "panelhost render: " + report + "\n");
    for (const std::string& f : failures) print(err, f + "\n");
    if (!failures.empty()) status = exit_failed;

    if (!o.gauge.empty() && pictures.empty()) {
        print(err, "panelhost render: " + o.gauge + " was not installed at the last update; nothing drawn\n");
        status = exit_failed;
    }
    for (const auto& [name, surface] : pictures) {
        const std::string path = (std::filesystem::path(o.out_dir) / name).string();
        if (const std::string error = write_png(surface.get(), path); !error.empty()) {
            print(err, "panelhost render: " + error + "\n");
            return exit_unusable;
        }
        print(out, "wrote " + path + "\n");
    }
    if (o.gauge.empty()) {
        for (const std::string& note : drawing.notes(panel)) print(err, note + "\n");
    }
    return status;
}

void describe(CommandLine& command, ReferenceOptions& o) {
    command.operand("MODULE", o.module, "the gauge module (orvane.so)");
    command.footer("Exit status: 0 printed, 2 the module cannot be loaded.");
}

int reference_command(const ReferenceOptions& o, std::FILE* out, std::FILE* err) {
    RenderSetup setup(o.module);
    if (!setup.ok()) {
        print(err, "panelhost reference: " + setup.error() + "\n");
        return exit_unusable;
    }
    print(out, gauge_reference(setup));
    return exit_ok;
}

}  // namespace panelhost
