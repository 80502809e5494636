// What the module costs the host, in time: a whole panel frame steady and
// busy, an install, and each text callback alone, for the module and for the
// reference build that formats every text with snprintf.
//
// Instruction counts, which do not depend on the machine's load, come from
// tools/callgrind_frames.sh; these timings show the same work in nanoseconds.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/frame_loop.h"
#include "host/flight/flight.h"
#include "host/panel/loaded_panel.h"
#include "module/host_var_list.h"

namespace {

using orvane::bench::FramePanel;

struct Module {
    std::string name;
    std::string path;
};

// The approach's values, computed once so that a busy frame costs the host
// no more than storing them.
const std::vector<std::vector<orvane::bench::HostVariable>>& approach() {
    static const auto frames = [] {
        std::vector<std::vector<orvane::bench::HostVariable>> all;
        for (uint64_t n = 0; n < orvane::bench::approach_frames; ++n) all.push_back(orvane::bench::approach_frame(n));
        return all;
    }();
    return frames;
}

std::unique_ptr<FramePanel> open_panel(const Module& module, benchmark::State& state) {
    std::string error;
    std::unique_ptr<FramePanel> panel = orvane::bench::open_approach_panel(module.path, error);
    if (panel == nullptr) state.SkipWithError(error.c_str());
    return panel;
}

void steady_frame(benchmark::State& state, const Module& module) {
    std::unique_ptr<FramePanel> panel = open_panel(module, state);
    if (panel == nullptr) return;
    for (auto _ : state) panel->frame();
}

void busy_frame(benchmark::State& state, const Module& module) {
    std::unique_ptr<FramePanel> panel = open_panel(module, state);
    if (panel == nullptr) return;
    size_t n = 0;
    for (auto _ : state) {
        panel->set(approach()[n]);
        panel->frame();
        n = n + 1 == approach().size() ? 0 : n + 1;
    }
}

// The host's share of a busy frame: storing the approach's values.
void host_stores_values(benchmark::State& state, const Module& module) {
    std::unique_ptr<FramePanel> panel = open_panel(module, state);
    if (panel == nullptr) return;
    size_t n = 0;
    for (auto _ : state) {
        panel->set(approach()[n]);
        n = n + 1 == approach().size() ? 0 : n + 1;
    }
}

// Every gauge installed on the approach's values, the callout loaded with
// the decision-height unit; the kill between installs is not timed.
void install(benchmark::State& state, const Module& module) {
    std::string error;
    std::unique_ptr<FramePanel> panel = FramePanel::open(module.path, error);
    if (panel == nullptr) {
        state.SkipWithError(error.c_str());
        return;
    }
    panel->set(approach()[0]);
    for (auto _ : state) {
        panel->install();
        state.PauseTiming();
        panel->kill();
        state.ResumeTiming();
    }
}

// One text callback, its inputs unchanged (steady) or those of the next
// frame of the approach at every call (busy). The element's own records are
// written as the host's refresh would write them.
void text_callback(benchmark::State& state, const Module& module, size_t text_index, bool busy) {
    std::unique_ptr<FramePanel> panel = open_panel(module, state);
    if (panel == nullptr) return;
    panel->frame();
    orvane::ElementString* element = panel->text_elements()[text_index].element;
    std::vector<std::vector<double>> inputs;
    for (const auto& frame : approach()) {
        std::vector<double> values;
        for (const orvane::ModuleVar& var : element->source_var) {
            double value = 0.0;
            for (const orvane::bench::HostVariable& v : frame) {
                if (v.id == var.id) value = v.value;
            }
            values.push_back(value);
        }
        inputs.push_back(values);
    }
    size_t n = 0;
    for (auto _ : state) {
        if (busy) {
            for (size_t i = 0; i < inputs[n].size(); ++i) element->source_var[i].value.n = inputs[n][i];
            n = n + 1 == inputs.size() ? 0 : n + 1;
        }
        benchmark::DoNotOptimize(element->update_cb(element));
    }
}

// The flight model flying a coupled ILS approach from 12 nm on the approach
// panel's host, placed anew on the runway after it has stopped.
class FlownApproach {
public:
    explicit FlownApproach(panelhost::HostServices& host) : host_(host), flight_(start) {
        using namespace orvane;
        for (const auto& [id, value] : std::vector<std::pair<int32_t, double>>{
                 {AUTOPILOT_ENGAGED, 1}, {HEADING_HOLD, 1}, {HEADING_TARGET, 240}, {ALTITUDE_HOLD, 1},
                 {ALTITUDE_TARGET, 3000}, {APPROACH_HOLD, 1}, {AUTOTHROTTLE_ARMED, 1}, {AIRSPEED_HOLD, 1},
                 {MACH_HOLD, 0}, {AIRSPEED_TARGET, 160}, {VS_TARGET, 0}}) {
            host_.set_var(id, value);
        }
        restart();
    }
    // One step; after the last of a flight, a new one is placed, untimed.
    void step(benchmark::State& state) {
        flight_.step(host_);
        if (++steps_ < panelhost::flight_steps(360.0)) return;
        state.PauseTiming();
        restart();
        state.ResumeTiming();
    }

private:
    void restart() {
        flight_.place(start);
        host_.set_var(orvane::HEADING_HOLD, 1);
        host_.set_var(orvane::ALTITUDE_HOLD, 1);
        steps_ = 0;
    }

    static constexpr panelhost::flight::Placement start{
        .distance_nm = 12, .offset_nm = 2, .altitude_ft = 3000, .heading_deg = 240, .speed_kt = 180};
    panelhost::HostServices& host_;
    panelhost::Flight flight_;
    int64_t steps_ = 0;
};

// The model's step alone, as the host runs it before each frame: the crew's
// settings read, the laws flown, the variables it drives written.
void flight_step(benchmark::State& state, const Module& module) {
    std::unique_ptr<FramePanel> panel = open_panel(module, state);
    if (panel == nullptr) return;
    FlownApproach approach(panel->host());
    for (auto _ : state) approach.step(state);
}

// A frame as `fly` makes it, leanly: the model's step, then the gauges' update.
void flown_frame(benchmark::State& state, const Module& module) {
    std::unique_ptr<FramePanel> panel = open_panel(module, state);
    if (panel == nullptr) return;
    FlownApproach approach(panel->host());
    for (auto _ : state) {
        approach.step(state);
        panel->frame();
    }
}

// The panel host's own headless update of the five gauges, with its checks
// of every text buffer, on the values the model flies (no trace).
void panel_host_frame(benchmark::State& state, const Module& module) {
    std::string error;
    std::unique_ptr<panelhost::LoadedPanel> loaded = panelhost::LoadedPanel::open(module.path, error);
    if (loaded == nullptr) {
        state.SkipWithError(error.c_str());
        return;
    }
    for (const orvane::GaugeHeader* g : loaded->panel().gauges()) loaded->panel().install(g->gauge_name);
    FlownApproach approach(loaded->host());
    for (auto _ : state) {
        approach.step(state);
        loaded->panel().update();
    }
}

}  // namespace

// usage: orvane_benchmarks [--also NAME=MODULE]... [benchmark options]
// --also times another build of the module beside the two built here.
int main(int argc, char** argv) {
    std::vector<Module> modules = {{"module", ORVANE_MODULE_PATH}, {"reference", ORVANE_REFERENCE_PATH}};
    std::vector<char*> args = {argv[0]};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--also" && i + 1 < argc) {
            const std::string also = argv[++i];
            const size_t equals = also.find('=');
            if (equals == std::string::npos) {
                std::fprintf(stderr, "--also wants NAME=MODULE, not %s\n", also.c_str());
                return 2;
            }
            modules.push_back({also.substr(0, equals), also.substr(equals + 1)});
        } else {
            args.push_back(argv[i]);
        }
    }
    int benchmark_argc = static_cast<int>(args.size());
    benchmark::Initialize(&benchmark_argc, args.data());
    if (benchmark::ReportUnrecognizedArguments(benchmark_argc, args.data())) return 1;

    std::vector<FramePanel::Text> texts;
    {
        std::string error;
        std::unique_ptr<FramePanel> panel = orvane::bench::open_approach_panel(ORVANE_MODULE_PATH, error);
        if (panel == nullptr) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 2;
        }
        texts = panel->text_elements();
    }

    for (const Module& module : modules) {
        const std::string m = module.name;
        benchmark::RegisterBenchmark(("frame/steady/" + m).c_str(), steady_frame, module);
        benchmark::RegisterBenchmark(("frame/busy/" + m).c_str(), busy_frame, module);
        benchmark::RegisterBenchmark(("frame/busy_host_share/" + m).c_str(), host_stores_values, module);
        benchmark::RegisterBenchmark(("install/" + m).c_str(), install, module);
        benchmark::RegisterBenchmark(("flight/step/" + m).c_str(), flight_step, module);
        benchmark::RegisterBenchmark(("frame/flown/" + m).c_str(), flown_frame, module);
        benchmark::RegisterBenchmark(("frame/panel_host_flown/" + m).c_str(), panel_host_frame, module);
        for (size_t i = 0; i < texts.size(); ++i) {
            const std::string text = texts[i].gauge + "_" + std::to_string(texts[i].chain_index);
            for (const bool busy : {false, true}) {
                benchmark::RegisterBenchmark(("text/" + text + (busy ? "/busy/" : "/steady/") + m).c_str(),
                                             text_callback, module, i, busy);
            }
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
