// What drawing the panel costs: the example panel's five gauges as the live
// window and `render` compose them, one whole screen offscreen, at scale 1
// and 2, with the aircraft where the example approach has it two seconds
// after the crew's set-up; and the largest panel of the corpus
// (tests/panels/airliner: five windows, three on the screen, and a texture)
// drawn whole as `render` draws it, by day and by night.
#include <cstdio>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "host/base/files.h"
#include "host/layout/panel_cfg.h"
#include "host/render/panel_renderer.h"
#include "host/render/render_setup.h"
#include "host/scenario/scenario.h"

namespace {

using namespace panelhost;

constexpr const char* set_up =
    "place distance 16 offset 3 altitude 3000 heading 260 speed 200\n"
    "set PANEL_CIRCUIT_ON 1\n"
    "set FLIGHT_DIRECTOR 1\n"
    "set AUTOPILOT_ENGAGED 1\n"
    "set HEADING_HOLD 1\n"
    "set HEADING_TARGET 230\n"
    "set ALTITUDE_HOLD 1\n"
    "set ALTITUDE_TARGET 3000\n"
    "set AUTOTHROTTLE_ARMED 1\n"
    "set AIRSPEED_HOLD 1\n"
    "set AIRSPEED_TARGET 200\n"
    "install all\n"
    "fly 2\n";

// The example panel flown to where it is drawn; null with the reason given
// to the benchmark when something is missing.
struct DrawnPanel {
    RenderSetup setup{ORVANE_MODULE_PATH};
    PanelConfig cfg;
    std::unique_ptr<PanelRenderer> drawing;
    std::unique_ptr<ScenarioRun> run;

    static std::unique_ptr<DrawnPanel> open(benchmark::State& state, const char* panel = "examples/panel.cfg") {
        auto p = std::make_unique<DrawnPanel>();
        if (!p->setup.ok()) {
            state.SkipWithError(p->setup.error().c_str());
            return nullptr;
        }
        const std::string cfg_path = std::string(ORVANE_SOURCE_DIR) + "/" + panel;
        const std::optional<std::string> text = read_file(cfg_path);
        Scenario scenario;
        scenario.file = "set-up";
        if (!text || !parse_scenario(set_up, scenario).empty()) {
            state.SkipWithError("the panel or its set-up cannot be read");
            return nullptr;
        }
        p->cfg = parse_panel_cfg(*text, cfg_path);
        p->drawing = std::make_unique<PanelRenderer>(p->setup.renderer(), p->cfg, p->setup.module_path(),
                                                     files_beside(cfg_path));
        p->run = std::make_unique<ScenarioRun>(scenario.file, p->setup.panel(), p->setup.host(), nullptr);
        for (const ScenarioStep& step : scenario.steps) p->run->execute(step);
        return p;
    }
};

// One whole screen drawn, the panel unchanged between frames.
void screen(benchmark::State& state) {
    std::unique_ptr<DrawnPanel> p = DrawnPanel::open(state);
    if (p == nullptr) return;
    const int scale = static_cast<int>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(p->drawing->render_screen(p->setup.panel(), scale));
}

// A frame of flight then the screen drawn: what the live window does at
// every update, the aircraft turning onto its intercept heading.
void flown_screen(benchmark::State& state) {
    std::unique_ptr<DrawnPanel> p = DrawnPanel::open(state);
    if (p == nullptr) return;
    const int scale = static_cast<int>(state.range(0));
    for (auto _ : state) {
        p->run->frame(0);
        benchmark::DoNotOptimize(p->drawing->render_screen(p->setup.panel(), scale));
    }
}

// Every picture render writes of the airliner (its windows, its texture and
// its screen), the first range the scale, the second 1 for night.
void airliner(benchmark::State& state) {
    std::unique_ptr<DrawnPanel> p = DrawnPanel::open(state, "tests/panels/airliner/panel.cfg");
    if (p == nullptr) return;
    const int scale = static_cast<int>(state.range(0));
    if (state.range(1) != 0) p->setup.renderer().set_lighting(night_lighting(p->cfg));
    for (auto _ : state) benchmark::DoNotOptimize(p->drawing->render_pictures(p->setup.panel(), scale, false));
}

}  // namespace

BENCHMARK(airliner)
    ->Name("render/airliner")
    ->ArgNames({"scale", "night"})
    ->ArgsProduct({{1, 2}, {0, 1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(screen)->Name("render/screen")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(flown_screen)->Name("render/flown_screen")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
