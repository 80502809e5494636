// How many frames a second the live window draws: the example panel's five
// gauges (or another panel's) flown from the built-in start at a scale
// (default 2) and time rate 4, so that every frame shows updates, by day or
// at night, the frames not held to the display's rate. With --drag, the
// edit window: the DH unit dragged to and fro all the while by a pointer of
// its own. Needs a display; tools/perf.sh runs it on a virtual one.
//
// usage: orvane_window_frame_rate [--seconds N] [--scale N] [--paced] [--night] [--panel PANEL.CFG] [--drag]
#include <SDL.h>

#include <atomic>
#include <cstdio>
#include <ctime>
#include <string>
#include <thread>

#include "host/base/command_line.h"
#include "host/base/diagnostics.h"
#include "host/base/files.h"
#include "host/live/live_flight.h"
#include "host/live/live_window.h"
#include "host/live/panel_editing.h"
#include "host/render/render.h"

int main(int argc, char** argv) {
    using namespace panelhost;
    int seconds = 5, scale = 2;
    bool paced = false, night = false, drag = false;
    std::string panel;
    CommandLine cli("orvane_window_frame_rate",
                    "Counts the frames a second the live window draws, the example panel flown at time rate 4.");
    cli.option("--seconds", seconds, "how long to count (default 5)", 1, 600);
    cli.option("--scale", scale, "window pixels per screen pixel (default 2)", 1, max_scale);
    cli.flag("--paced", paced, "frames held to the display's rate, as panelhost fly draws them");
    cli.flag("--night", night, "at night, the panel lights on (as fly's N key)");
    cli.option("--panel", panel, "PANEL.CFG", "flies this panel (default: the example panel)");
    cli.flag("--drag", drag, "the edit window, the DH unit dragged to and fro all the while");
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
    PanelDocument document(*cfg_text, cfg);
    std::optional<PanelEditing> editing;
    if (drag) editing.emplace(document, *live);
    // The pointer's own hand: presses on the DH unit (366, 72 of the main
    // panel, below the 128 units of the glareshield), then moves it 40
    // window pixels to and fro every few milliseconds until the window ends.
    std::atomic<bool> done = false;
    std::thread hand;
    if (drag) {
        hand = std::thread([&] {
            const int x = (366 + 40) * scale, y = (128 + 72 + 20) * scale;
            SDL_Delay(500);  // the window up
            SDL_Event e{};
            e.type = SDL_MOUSEBUTTONDOWN;
            e.button = {.type = SDL_MOUSEBUTTONDOWN, .button = SDL_BUTTON_LEFT, .state = SDL_PRESSED, .x = x, .y = y};
            SDL_PushEvent(&e);
            for (int i = 0; !done; ++i) {
                e = {};
                e.motion = {.type = SDL_MOUSEMOTION, .state = SDL_BUTTON_LMASK, .x = x + (i % 40), .y = y};
                SDL_PushEvent(&e);
                SDL_Delay(4);
            }
        });
    }
    // The processor time a frame takes, which other programs on the machine
    // change little, beside the frames a second, which they do.
    const std::clock_t cpu_started = std::clock();
    const LiveWindowEnd end = run_live_window(*live,
                                              {.title = "panelhost: frame rate",
                                               .paced = paced,
                                               .quit_after_s = static_cast<double>(seconds),
                                               .editing = editing ? &*editing : nullptr},
                                              said);
    const double cpu_s = double(std::clock() - cpu_started) / CLOCKS_PER_SEC;
    done = true;
    if (hand.joinable()) hand.join();
    if (!end.error.empty()) {
        print(stderr, end.error + "\n");
        return exit_unusable;
    }
    std::printf("%lld frames in %.2f s: %.1f frames a second, %.2f ms of processor time a frame (scale %d, %s, "
                "%s%s, %llu updates)\n",
                static_cast<long long>(end.frames), end.seconds, end.frames / end.seconds,
                end.frames > 0 ? cpu_s * 1000.0 / double(end.frames) : 0.0, scale,
                paced ? "paced to the display" : "unpaced", night ? "night" : "day",
                !drag ? "" : editing->dragging() ? ", a gauge dragged" : ", but the drag never took hold",
                static_cast<unsigned long long>(live->update_count()));
    return exit_ok;
}
