// Flies the approach panel of each module given, for instruction counting
// under callgrind (tools/callgrind_frames.sh): install, then steady frames,
// then busy frames, each phase dumped on its own. Outside callgrind it runs
// the same frames and only checks the texts.
//
// Every module must show the same texts at every frame as the first one; a
// difference is printed and fails the run.
//
// usage: orvane_frame_counter [--frames N] MODULE...
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <valgrind/callgrind.h>

#include "bench/frame_loop.h"
#include "host/base/command_line.h"

namespace {

using orvane::bench::FramePanel;

// The texts after every counted frame, steady ones first.
struct Flight {
    std::string module;
    std::vector<std::string> texts;
};

// A few frames before counting, so that each phase is counted from where a
// panel that has been running for a while would be.
constexpr uint64_t warm_up_frames = 4;

std::string base_name(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void dump(const std::string& module, const char* phase) {
    const std::string label = module + " " + phase;
    CALLGRIND_DUMP_STATS_AT(label.c_str());
}

bool fly(const std::string& path, uint64_t frames, Flight& flight) {
    flight.module = base_name(path);
    std::string error;
    std::unique_ptr<FramePanel> panel = FramePanel::open(path, error);
    if (panel == nullptr) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    panel->set(orvane::bench::approach_frame(0));
    // The first install in the process also starts the platform's services;
    // the one counted is a gauge installed again, as after a panel change.
    panel->install();
    panel->kill();
    CALLGRIND_ZERO_STATS;
    panel->install();
    dump(flight.module, "install");
    if (!orvane::bench::press_dh_button(*panel, error)) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
        return false;
    }

    for (uint64_t i = 0; i < warm_up_frames; ++i) panel->frame();
    CALLGRIND_ZERO_STATS;
    for (uint64_t i = 0; i < frames; ++i) {
        panel->frame();
        flight.texts.push_back(panel->texts());
    }
    dump(flight.module, "steady");

    uint64_t n = 1;
    for (; n <= warm_up_frames; ++n) {
        panel->set(orvane::bench::approach_frame(n));
        panel->frame();
    }
    CALLGRIND_ZERO_STATS;
    for (uint64_t i = 0; i < frames; ++i, ++n) {
        panel->set(orvane::bench::approach_frame(n));
        panel->frame();
        flight.texts.push_back(panel->texts());
    }
    dump(flight.module, "busy");
    panel->kill();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int frame_count = 1000;
    std::vector<std::string> modules;
    panelhost::CommandLine cli("orvane_frame_counter",
                               "Flies the approach panel on each module, steady frames then busy ones, under "
                               "callgrind's collection switches (tools/callgrind_frames.sh), and checks that every "
                               "module shows the same texts at every frame.");
    cli.operands("MODULE", modules, "the modules to fly (orvane.so, orvane_reference.so)");
    cli.option("--frames", frame_count, "frames of each kind (default 1000)", 1, 1000000);
    cli.footer("Exit status: 0 the same texts, 1 they differ, 2 a module cannot be flown.");
    if (const auto status = cli.parse(argc, argv, stdout, stderr)) return *status;
    const auto frames = static_cast<uint64_t>(frame_count);

    std::vector<Flight> flights;
    for (const std::string& module : modules) {
        Flight flight;
        if (!fly(module, frames, flight)) return 2;
        flights.push_back(std::move(flight));
    }

    int status = 0;
    for (size_t m = 1; m < flights.size(); ++m) {
        for (size_t f = 0; f < flights[0].texts.size(); ++f) {
            if (flights[m].texts[f] == flights[0].texts[f]) continue;
            const char* phase = f < frames ? "steady" : "busy";
            std::printf("%s and %s differ at %s frame %llu:\n%s%s", flights[0].module.c_str(),
                        flights[m].module.c_str(), phase, static_cast<unsigned long long>(f % frames + 1),
                        flights[0].texts[f].c_str(), flights[m].texts[f].c_str());
            status = 1;
            break;
        }
    }
    if (status == 0) {
        std::printf("%zu modules, %llu steady and %llu busy frames each: the same texts at every frame\n",
                    flights.size(), static_cast<unsigned long long>(frames), static_cast<unsigned long long>(frames));
    }
    return status;
}
