// panelhost demo: an approach flown on the example panel, drawn frame by
// frame, with a contact sheet of its key moments, an animation, the callout
// as the platform played it and the trace.
#include <filesystem>

#include "host/commands/commands.h"
#include "host/commands/demo_assets.h"
#include "host/layout/panel_cfg.h"
#include "host/render/recording.h"

namespace panelhost {

namespace fs = std::filesystem;

namespace {

std::string as_text(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// The scenario file named, else the approach built in; false when it cannot be used (said).
bool load_scenario(const std::string& path, Scenario& scenario, Diagnostics& said) {
    if (!path.empty()) return scenario_usable(read_scenario(path, scenario), said);
    scenario.file = "approach.scn";
    return scenario_usable(parse_scenario(as_text(demo_asset("approach.scn").value_or(std::vector<uint8_t>{})), scenario),
                           said);
}

// The panel.cfg named, else the example built in; its problems said.
PanelConfig load_panel(const std::string& path, Diagnostics& said) {
    PanelConfig cfg = path.empty() ? parse_panel_cfg(as_text(demo_asset("panel.cfg").value_or(std::vector<uint8_t>{})),
                                                     "panel.cfg")
                                   : read_panel_cfg(path);
    said.report(cfg.problems);
    if (!cfg.unusable.empty()) said.report(Severity::unusable, cfg.unusable);
    return cfg;
}

}  // namespace

std::optional<std::vector<uint8_t>> demo_asset(std::string_view name) {
    for (size_t i = 0; i < demo_file_count; ++i) {
        if (name == demo_files[i].name) {
            return std::vector<uint8_t>(demo_files[i].data, demo_files[i].data + demo_files[i].size);
        }
    }
    return std::nullopt;
}

PanelFiles panel_files_for(const std::string& cfg_path) {
    if (!cfg_path.empty()) return files_beside(cfg_path);
    return [](const std::string& name, std::string&) { return demo_asset(name); };
}

void describe(CommandLine& command, DemoOptions& o) {
    command.operand("MODULE", o.module, "the gauge module (orvane.so)");
    command.option("--out", o.out_dir, "DIR", "the folder for what the demo writes (default out/demo)");
    command.option("--scenario", o.scenario, "FILE", "flies this scenario instead of the built-in approach");
    command.option("--panel", o.panel_cfg, "PANEL.CFG", "flies on this panel instead of the built-in example");
    command.option("--scale", o.scale, "pixels per gauge pixel (default 2)", 1, max_scale);
    command.flag("--night", o.night,
                 "flies at night with the panel lights on, in the colours of the panel's [Color] section (else the "
                 "usual ones); the contact sheet ends with the last frame by day (without it, at night)");
    command.footer("Writes DIR/frames/frame_NNNN.png, DIR/contact-sheet.png, DIR/NAME.apng, DIR/NAME.trace and, "
                   "when the callout sounded, DIR/callout.wav.\n"
                   "Exit status: 0 every expectation held and every file was written, 1 not, 2 an unusable input.");
}

int demo_command(const DemoOptions& o, std::FILE* out, std::FILE* err) {
    Diagnostics said("panelhost demo", err);
    Scenario scenario;
    if (!load_scenario(o.scenario, scenario, said)) return said.exit_status();
    if (scenario.updates > max_recorded_frames) {
        return unusable(said, scenario.file + " asks for " + std::to_string(scenario.updates) +
                                  " updates (the demo draws at most " + std::to_string(max_recorded_frames) +
                                  " frames)");
    }
    const PanelConfig cfg = load_panel(o.panel_cfg, said);
    if (said.unusable()) return said.exit_status();
    RenderSetup setup(o.module);
    if (!setup.ok()) return unusable(said, setup.error());
    const Lighting night = night_lighting(cfg);
    if (o.night) setup.renderer().set_lighting(night);
    PanelRenderer drawing(setup.renderer(), cfg, o.module, panel_files_for(o.panel_cfg));
    drawing.set_placements(setup.panel());
    if (!scenario_usable(check_gauge_names(scenario, setup.panel()), said)) return said.exit_status();
    const std::string title = o.scenario.empty() ? "Orvane: an ILS approach on the A310 panel"
                                                 : "Orvane: " + fs::path(scenario.file).filename().string();
    Recording recording(setup, drawing, scenario,
                        {.dir = o.out_dir,
                         .scale = o.scale,
                         .sheet_title = title,
                         .also_under = o.night ? Lighting{} : night},
                        said);
    recording.record();
    if (said.unusable()) return said.exit_status();

    const std::string held = recording.failures() == 0 ? "every expectation of " + scenario.file + " held"
                                                       : std::to_string(recording.failures()) +
                                                             " expectation(s) of " + scenario.file + " failed";
    print(out, "panelhost demo: " + std::to_string(setup.panel().update_count()) + " updates of " + scenario.file +
                   " on " + o.module + ", " + std::to_string(recording.frames()) + " of them drawn, " + held + "\n");
    for (const ResolvedFace* face : setup.renderer().fonts().faces()) {
        print(out, "  font \"" + face->windows_face + "\": " + face->family + " (" + face->file + ")\n");
    }
    print(out, "wrote:\n");
    for (const std::string& w : recording.written()) print(out, "  " + w + "\n");
    return said.exit_status();
}

}  // namespace panelhost
