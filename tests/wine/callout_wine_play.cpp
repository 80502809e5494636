// Flies the decision-height unit of a gauge module through a plan on the
// platform's real DirectSound. Loads the module the way a host does, writes
// its function table into ImportTable, finds the DH gauge through Linkage and
// gives it the module's own instance handle at install. Prints the plays the
// host heard; exits 0 when they are the plan's.
//
//   callout_wine_play MODULE PLAN     PLAN: descend-twice | stay-below | no-window
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "host/host_services.h"
#include "host/sound_monitor.h"
#include "module/host_abi.h"
#include "module/host_vars.h"

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
        if (argc == 3 && std::strcmp(argv[2], p.name) == 0) plan = &p;
    }
    if (plan == nullptr) {
        std::fprintf(stderr, "usage: callout_wine_play MODULE descend-twice|stay-below|no-window\n");
        return 2;
    }
    const HMODULE module = LoadLibraryA(argv[1]);
    auto* imports = reinterpret_cast<orvane::GaugeModuleImports*>(GetProcAddress(module, "ImportTable"));
    auto* linkage = reinterpret_cast<orvane::GaugeModuleLinkage*>(GetProcAddress(module, "Linkage"));
    if (module == nullptr || imports == nullptr || linkage == nullptr || linkage->gauge_table[2] == nullptr) {
        std::fprintf(stderr, "%s: not a gauge module with a DH gauge\n", argv[1]);
        return 2;
    }
    const HWND window = plan->main_window ? open_main_window() : nullptr;
    if (plan->main_window && window == nullptr) {
        std::fprintf(stderr, "cannot make the host's main window\n");
        return 2;
    }

    panelhost::HostServices host;
    host.attach(imports);
    panelhost::start_sound_monitor();
    orvane::GaugeHeader* dh = linkage->gauge_table[2];
    dh->gauge_callback(dh, orvane::SERVICE_PRE_INSTALL, reinterpret_cast<orvane::ServiceExtra>(module));

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
    FreeLibrary(module);
    std::printf("%d play%s heard, %d expected\n", plays, plays == 1 ? "" : "s", plan->plays);
    return plays == plan->plays ? 0 : 1;
}
