// panelhost edit: the gauges of a panel.cfg placed, the file written back as
// its author wrote it. A scenario of edit steps, or a dry run, works without
// a window and prints the change saving makes, as diff -u writes it.
#include "host/base/files.h"
#include "host/commands/commands.h"
#include "host/layout/panel_edit.h"
#include "host/panel/loaded_panel.h"
#include "host/scenario/scenario.h"

#if defined(ORVANE_RENDERING)
#include "host/commands/demo_assets.h"
#include "host/live/live_flight.h"
#include "host/live/live_window.h"
#include "host/live/panel_editing.h"
#include "host/render/render.h"
#endif

namespace panelhost {

namespace {

// The scenario's steps run on the module loaded, its edit steps on the
// document; false when it could not run (said).
bool run_edits(const EditOptions& o, PanelDocument& document, Diagnostics& said) {
    Scenario scenario;
    if (!scenario_usable(read_scenario(o.scenario, scenario), said)) return false;
    std::string error;
    const std::unique_ptr<LoadedPanel> loaded = LoadedPanel::open(o.module, error);
    if (!loaded) {
        said.report(Severity::unusable, error);
        return false;
    }
    if (!scenario_usable(check_gauge_names(scenario, loaded->panel()), said)) return false;
    const RunOutcome result = run_scenario(scenario, loaded->panel(), loaded->host(), &loaded->trace(), {},
                                           LayoutEditing{.document = &document, .dry_run = o.dry_run});
    said.report(result.failures);
    if (result.stopped) said.report(*result.stopped);
    return true;
}

#if defined(ORVANE_RENDERING)
// The window the gauges are placed in: the panel flown from fly's built-in
// start, so that every gauge is installed and works, with placing on top.
int edit_in_window(const EditOptions& o, PanelDocument& document, std::FILE* out, Diagnostics& said) {
    const std::vector<uint8_t> start = demo_asset("fly_start.scn").value_or(std::vector<uint8_t>{});
    const std::unique_ptr<LiveFlight> live = LiveFlight::open({.module_path = o.module,
                                                               .cfg_name = o.panel_cfg,
                                                               .cfg_text = document.text(),
                                                               .files = panel_files_for(o.panel_cfg),
                                                               .scenario_name = "fly_start.scn",
                                                               .scenario_text = {start.begin(), start.end()},
                                                               .scale = o.scale},
                                                              said);
    if (!live) return exit_unusable;
    if (o.night) live->toggle_night();
    PanelEditing editing(document, *live);
    const LiveWindowEnd end = run_live_window(*live, {.title = "panelhost edit: " + o.panel_cfg, .editing = &editing}, said);
    if (!end.error.empty()) return unusable(said, end.error);
    live->renderer().report(said);
    if (document.unsaved()) {
        print(out, "panelhost edit: " + o.panel_cfg + ": the changes since it was last saved were discarded\n");
    } else if (document.changed()) {
        print(out, "wrote " + o.panel_cfg + " (the file as it was: " + o.panel_cfg + ".orig)\n");
    } else {
        print(out, "panelhost edit: " + o.panel_cfg + " unchanged\n");
    }
    return said.exit_status();
}
#endif

}  // namespace

void describe(CommandLine& command, EditOptions& o) {
    command.operand("MODULE", o.module, "the gauge module (orvane.so, Orvane.gau), loaded to run a scenario and "
                                        "to draw the panel");
    command.operand("PANEL.CFG", o.panel_cfg, "the panel whose gauges are placed, written back in place");
    command.option("--scenario", o.scenario, "FILE",
                   "runs the scenario without a window: its move, resize, remove and add steps edit the panel.cfg, "
                   "its save steps write it (host/README.md)");
    command.flag("--dry-run", o.dry_run, "writes nothing, not even at a save step: only prints the change");
#if defined(ORVANE_RENDERING)
    command.option("--scale", o.scale, "window pixels per screen pixel (default 1)", 1, max_scale);
    command.flag("--night", o.night, "opens the window by night, the panel lights on");
#endif
    command.footer(
        "With --scenario or --dry-run no window opens: what saving would change in PANEL.CFG, from the file as it "
        "was read, is printed as diff -u writes it (nothing when it would change nothing). Every line no edit "
        "touches is written back byte for byte; a moved or resized gauge has only its numbers rewritten; a gauge "
        "taken out renumbers the gauges after it in its window; an added one goes after its window's last gauge "
        "line. The first save keeps the file as it was as PANEL.CFG.orig (never overwritten); a panel.cfg changed "
        "on disk since it was read is not overwritten (a save force step overwrites it).\n"
        "Without them the panel opens in fly's window, flying from fly's built-in start, to be placed with the "
        "mouse: the pointer over a gauge outlines it and names its line; a drag moves it, a corner resizes it "
        "(aspect kept, Shift frees it), a click that is no drag works it; the arrows move the selected gauge one "
        "unit (Shift: ten), Delete takes its line out, a gauge of the palette dropped on a window adds it; Ctrl+Z "
        "and Ctrl+Y undo and redo, Ctrl+S saves, Tab switches between placing and flying only. Quitting with "
        "unsaved changes asks in the window: S saves, D discards, Escape goes back.\n"
        "Exit status: 0 every edit was made and every save written, 1 an edit or save step failed or the panel.cfg "
        "has problems, 2 an unusable input.");
}

int edit_command(const EditOptions& o, std::FILE* out, std::FILE* err) {
    Diagnostics said("panelhost edit", err);
    std::string error;
    std::optional<PanelDocument> document = PanelDocument::open(o.panel_cfg, &error);
    if (!document) return unusable(said, error);
    if (o.scenario.empty() && !o.dry_run) {
#if defined(ORVANE_RENDERING)
        // The flight reports the panel's problems as it opens it.
        return edit_in_window(o, *document, out, said);
#else
        return unusable(said, "this build has no window to place gauges in: give --scenario FILE or --dry-run");
#endif
    }
    said.report(document->config().problems);
    if (!o.scenario.empty() && !run_edits(o, *document, said)) return said.exit_status();
    print(out, document->unified_diff());
    // Said as the other commands say a file written.
    if (!o.dry_run && document->changed() && !document->unsaved()) {
        print(out, "wrote " + o.panel_cfg + " (the file as it was: " + o.panel_cfg + ".orig)\n");
    }
    return said.exit_status();
}

}  // namespace panelhost
