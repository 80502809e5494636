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
