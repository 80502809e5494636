// panelhost render and panelhost reference: drawing, in the native build.
#include <filesystem>

#include "host/commands/commands.h"
#include "host/render/gauge_reference.h"
#include "host/layout/panel_cfg.h"
#include "host/render/pictures.h"

namespace panelhost {

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
    command.flag("--night", o.night,
                 "draws the panel at night with its lights on, in the colours of its [Color] section (else "
                 "the usual ones)");
    command.option("--screen", o.screen, "WxH",
                   "the screen that window_pos and window_size are shares of (default 1280x1024)");
    command.option("--out", o.out_dir, "DIR", "the folder for the pictures (default out/render)");
    command.footer("Exit status: 0 all drawn, 1 an expectation failed or the panel has problems (the rest still "
                   "drawn), 2 an unusable input.");
}

int render_command(const RenderOptions& o, std::FILE* out, std::FILE* err) {
    Diagnostics said("panelhost render", err);
    if (o.gauge.empty() == o.panel_cfg.empty()) {
        return unusable(said, "give either a PANEL.CFG or --gauge NAME\nRun 'panelhost render --help' for its usage.");
    }
    const std::optional<ScreenSize> screen = parse_screen_size(o.screen);
    if (!screen) {
        return unusable(said, "--screen " + o.screen + " is not a screen size (WxH, each a whole number from 1 to " +
                                  std::to_string(max_screen_side) + ")");
    }
    RenderSetup setup(o.module);
    if (!setup.ok()) return unusable(said, setup.error());
    Panel& panel = setup.panel();
    PanelConfig cfg;
    if (o.gauge.empty()) {
        cfg = read_panel_cfg(o.panel_cfg);
        said.report(cfg.problems);
        if (!cfg.unusable.empty()) return unusable(said, cfg.unusable);
    } else if (panel.gauge(o.gauge) == nullptr) {
        return unusable(said, "the module has no gauge named " + o.gauge);
    }
    if (o.night) setup.renderer().set_lighting(night_lighting(cfg));
    PanelRenderer drawing(setup.renderer(), cfg, setup.module_path(),
                          o.gauge.empty() ? files_beside(o.panel_cfg) : PanelFiles{}, *screen);
    // The scenario may name each placement: PFD:2 is the panel's second PFD.
    drawing.set_placements(panel);
    Scenario scenario;
    if (!o.scenario.empty()) {
        if (!scenario_usable(read_scenario(o.scenario, scenario), said) ||
            !scenario_usable(check_gauge_names(scenario, panel), said)) {
            return said.exit_status();
        }
        if (!updates_panel(scenario)) {
            return unusable(said, o.scenario + " never updates the panel, so there is nothing to draw (a scenario "
                                               "with an update)");
        }
    }
    // Everything that makes the pictures too large is found before any is drawn or written.
    if (o.gauge.empty() ? !ready_to_draw(drawing, panel, o.scale, o.out_dir, said)
                        : !ready_to_draw(setup.renderer(), panel, o.gauge, o.scale, o.out_dir, said)) {
        return said.exit_status();
    }
    const std::vector<NamedPicture> pictures =
        draw_after_run(setup, drawing, o.scenario.empty() ? nullptr : &scenario,
                       {.gauge = o.gauge, .scale = o.scale, .areas = o.areas}, said);
    for (const auto& [name, surface] : pictures) {
        const std::string path = (std::filesystem::path(o.out_dir) / name).string();
        if (const std::string error = write_png(surface.get(), path); !error.empty()) return unusable(said, error);
        print(out, "wrote " + path + "\n");
    }
    return said.exit_status();
}

void describe(CommandLine& command, ReferenceOptions& o) {
    command.operand("MODULE", o.module, "the gauge module (orvane.so)");
    command.footer("Exit status: 0 printed, 2 the module cannot be loaded.");
}

int reference_command(const ReferenceOptions& o, std::FILE* out, std::FILE* err) {
    Diagnostics said("panelhost reference", err);
    RenderSetup setup(o.module);
    if (!setup.ok()) return unusable(said, setup.error());
    print(out, gauge_reference(setup));
    return exit_ok;
}

}  // namespace panelhost
