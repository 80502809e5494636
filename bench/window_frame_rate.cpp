// How many frames a second the live window draws: the example panel's five
// gauges (or another panel's) flown from the built-in start at a scale
// (default 2) and time rate 4, so that every frame shows updates, by day or
// at night, the frames not held to the display's rate. Needs a display;
// tools/perf.sh runs it on a virtual one.
//
// usage: orvane_window_frame_rate [--seconds N] [--scale N] [--paced] [--night] [--panel PANEL.CFG]
#include <cstdio>
#include <string>

#include "host/base/command_line.h"
#include "host/base/diagnostics.h"
#include "host/base/files.h"
#include "host/live/live_flight.h"
#include "host/live/live_window.h"
#include "host/render/render.h"

int main(int argc, char** argv) {
    using namespace panelhost;
    int seconds = 5, scale = 2;
    bool paced = false, night = false;
    std::string panel;
    CommandLine cli("orvane_window_frame_rate",
                    "Counts the frames a second the live window draws, the example panel flown at time rate 4.");
    cli.option("--seconds", seconds, "how long to count (default 5)", 1, 600);
    cli.option("--scale", scale, "window pixels per screen pixel (default 2)", 1, max_scale);
    cli.flag("--paced", paced, "frames held to the display's rate, as panelhost fly draws them");
    cli.flag("--night", night, "at night, the panel lights on (as fly's N key)");
    cli.option("--panel", panel, "PANEL.CFG", "flies this panel (default: the example panel)");
    if (const auto status = cli.parse(argc, argv, stdout, stderr)) return *status;

    const std::string source = ORVANE_SOURCE_DIR, cfg = panel.empty() ? source + "/examples/panel.cfg" : panel;
    std::string error;
    const std::optional<std::string> cfg_text = read_file(cfg, &error);
    const std::optional<std::string> start = read_file(source + "/examples/fly_start.scn", &error);
    if (!cfg_text || !start) {
        print(stderr, error + "\n");
        return exit_unusable;
    }
    Diagnostics said("window_frame_rate", stderr);
    const auto live = LiveFlight::open({.module_path = ORVANE_MODULE_PATH,
                                        .cfg_name = cfg,
                                        .cfg_text = *cfg_text,
                                        .files = files_beside(cfg),
                                        .scenario_name = "fly_start.scn",
                                        .scenario_text = *start,
                                        .scale = scale},
                                       said);
    if (!live) return exit_unusable;
    live->set_rate(0.0, 4);
    if (night) live->toggle_night();
    const LiveWindowEnd end = run_live_window(
        *live, {.title = "panelhost: frame rate", .paced = paced, .quit_after_s = static_cast<double>(seconds)}, said);
    if (!end.error.empty()) {
        print(stderr, end.error + "\n");
        return exit_unusable;
    }
    std::printf("%lld frames in %.2f s: %.1f frames a second (scale %d, %s, %s, %llu updates)\n",
                static_cast<long long>(end.frames), end.seconds, end.frames / end.seconds, scale,
                paced ? "paced to the display" : "unpaced", night ? "night" : "day",
                static_cast<unsigned long long>(live->update_count()));
    return exit_ok;
}
