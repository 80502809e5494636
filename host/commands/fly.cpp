// panelhost fly: the panel flown live in a window, the mouse working the
// gauges, the flight recorded as a scenario.
#include "host/base/files.h"
#include "host/commands/commands.h"
#include "host/commands/demo_assets.h"
#include "host/live/live_flight.h"
#include "host/live/live_window.h"
#include "host/render/render.h"

namespace panelhost {

namespace {

// The file given, else the one built in of that name; false when it cannot be read (said).
bool read_input(const std::string& path, const char* built_in, std::string& name, std::string& text,
                Diagnostics& said) {
    if (path.empty()) {
        const std::vector<uint8_t> bytes = demo_asset(built_in).value_or(std::vector<uint8_t>{});
        name = built_in;
        text.assign(bytes.begin(), bytes.end());
        return true;
    }
    std::string error;
    const std::optional<std::string> read = read_file(path, &error);
    if (!read) said.report(Severity::unusable, error);
    name = path;
    text = read.value_or("");
    return read.has_value();
}

// --record and --trace, as the flight left them; false when one cannot be written (said).
bool write_flight(const FlyOptions& o, const LiveFlight& live, std::FILE* out, Diagnostics& said) {
    for (const auto& [path, text] : {std::pair{&o.record, &live.record()}, std::pair{&o.trace, &live.trace()}}) {
        if (path->empty()) continue;
        // A run stopped at a bound has no whole trace; its record replays to the same stop.
        if (path == &o.trace && live.stopped()) {
            said.report(Severity::problem, *path + " not written: the run stopped at a bound of a scenario file");
            continue;
        }
        std::string error;
        if (!write_file(*path, *text, &error)) {
            said.report(Severity::unusable, error);
            return false;
        }
        print(out, "wrote " + *path + "\n");
    }
    return true;
}

}  // namespace

void describe(CommandLine& command, FlyOptions& o) {
    command.operand("MODULE", o.module, "the gauge module (orvane.so)");
    command.optional_operand("PANEL.CFG", o.panel_cfg, "the panel to fly (default: the built-in example panel)");
    command.option("--scenario", o.scenario, "START.scn",
                   "runs first, typically a place and the crew's set-up (default: the built-in start, 16 nm out "
                   "on the approach to runway 26)");
    command.option("--scale", o.scale, "window pixels per screen pixel (default 1)", 1, max_scale);
    command.option("--record", o.record, "FILE",
                   "writes the flight as a scenario at its end: the start scenario's steps, then each click, "
                   "repeat and the time flown between them; panelhost run replays it to the same trace");
    command.option("--trace", o.trace, "FILE", "writes the flight's trace at its end");
    command.footer(
        "The mouse works the gauges as in the simulator: a left or right press clicks the row under it, a held "
        "button repeats rows that take repeats (the first repeat after 0.5 s, then 10 a second), a pointer at "
        "rest for 0.5 s shows the area's tooltip. Keys: P pauses and resumes, R restarts from the start scenario "
        "(the recording starts again), N turns night (the panel lights on) and day, V shows the virtual-cockpit "
        "textures in turn (then the screen again; a click on one works as on the screen), 1, 2 and 4 set the time "
        "rate, Escape or closing the window quits.\n"
        "Exit status: 0 the flight held and its files were written, 1 an expectation or the panel had "
        "problems, 2 an unusable input or no window.");
}

int fly_command(const FlyOptions& o, std::FILE* out, std::FILE* err) {
    Diagnostics said("panelhost fly", err);
    std::string error;
    for (const std::string* path : {&o.record, &o.trace}) {
        if (!path->empty() && !can_write_file(*path, &error)) return unusable(said, error);
    }
    LiveStart start{.module_path = o.module, .scale = o.scale};
    if (!read_input(o.panel_cfg, "panel.cfg", start.cfg_name, start.cfg_text, said) ||
        !read_input(o.scenario, "fly_start.scn", start.scenario_name, start.scenario_text, said)) {
        return said.exit_status();
    }
    start.files = panel_files_for(o.panel_cfg);
    const std::unique_ptr<LiveFlight> live = LiveFlight::open(std::move(start), said);
    if (!live) return exit_unusable;

    const std::string title = "panelhost: " + (o.panel_cfg.empty() ? std::string("panel.cfg") : o.panel_cfg);
    const LiveWindowEnd end = run_live_window(*live, {.title = title}, said);
    if (!end.error.empty()) return unusable(said, end.error);
    live->renderer().report(said);
    if (!write_flight(o, *live, out, said)) return said.exit_status();
    print(out, "panelhost fly: " + std::to_string(live->update_count()) + " updates in " +
                   std::to_string(static_cast<int64_t>(end.seconds)) + " s, " + std::to_string(end.frames) +
                   " frames drawn\n");
    return said.exit_status();
}

}  // namespace panelhost
