// Flies the decision-height unit through a plan on the platform's real
// DirectSound: the module's gauge code and the callout resource are linked
// into this program, whose own instance handle the unit gets at install, as
// a host gives the module its own. Prints the plays the host heard; exits 0
// when they are the plan's.
//
//   callout_wine_play PLAN     PLAN: descend-twice | stay-below | no-window
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "host/host_services.h"
#include "host/sound_monitor.h"
#include "module/host_vars.h"
#include "module/linkage.h"
#include "units/callout_sound.h"

namespace {

struct Step {
    double radio_metres;  // 100 m is 328 ft, 50 m is 164 ft
    double decision_height_ft;
};

struct Plan {
    const char* name;
    bool main_window;
    Step steps[8];
    int step_count;
    int plays;
};

const Plan plans[] = {
    {"descend-twice", true, {{0, 200}, {100, 200}, {50, 200}, {40, 200}, {100, 200}, {50, 200}}, 6, 2},
    {"stay-below", true, {{0, 200}, {20, 200}, {50, 200}, {10, 200}}, 4, 0},
    {"no-window", false, {{100, 200}, {50, 200}}, 2, 1},
};

HWND open_main_window() {
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = DefWindowProcA;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = "FS98MAIN";
    RegisterClassA(&window_class);
    HWND window = CreateWindowExA(0, "FS98MAIN", "", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    // Without a display only a message-only window can be made.
    if (window == nullptr) {
        window = CreateWindowExA(0, "FS98MAIN", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                                 nullptr);
    }
    return window;
}

}  // namespace

int main(int argc, char** argv) {
    const Plan* plan = nullptr;
    for (const Plan& p : plans) {
        if (argc == 2 && std::strcmp(argv[1], p.name) == 0) plan = &p;
    }
    if (plan == nullptr) {
        std::fprintf(stderr, "usage: callout_wine_play descend-twice|stay-below|no-window\n");
        return 2;
    }
    const HWND window = plan->main_window ? open_main_window() : nullptr;
    if (plan->main_window && window == nullptr) {
        std::fprintf(stderr, "cannot make the host's main window\n");
        return 2;
    }

    panelhost::HostServices host;
    host.attach(&ImportTable);
    panelhost::start_sound_monitor();
    orvane::GaugeHeader* dh = Linkage.gauge_table[2];
    dh->gauge_callback(dh, orvane::SERVICE_PRE_INSTALL, reinterpret_cast<orvane::ServiceExtra>(GetModuleHandleA(nullptr)));
    std::printf("main window %s, sound %s\n", orvane::host_main_window != nullptr ? "found" : "none",
                orvane::sound_available != 0 ? "available" : "off");

    int plays = 0;
    for (int i = 0; i < plan->step_count; ++i) {
        host.set_var(orvane::GROUND_ALTITUDE, 0.0);
        host.set_var(orvane::ALTITUDE, plan->steps[i].radio_metres);
        host.set_var(orvane::DECISION_HEIGHT, plan->steps[i].decision_height_ft);
        dh->gauge_callback(dh, orvane::SERVICE_PRE_UPDATE, 0);
        const int heard = panelhost::take_callout_plays();
        plays += heard;
        // Each step lasts longer than the callout, so that every play is heard whole.
        Sleep(heard > 0 ? 1500 : 300);
    }
    dh->gauge_callback(dh, orvane::SERVICE_PRE_KILL, 0);
    if (window != nullptr) DestroyWindow(window);
    host.detach();
    std::printf("%d play%s heard, %d expected\n", plays, plays == 1 ? "" : "s", plan->plays);
    return plays == plan->plays ? 0 : 1;
}
