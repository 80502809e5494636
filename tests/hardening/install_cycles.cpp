// Installs, updates and kills all five gauges of a built module many times
// over, as a panel opened and closed again and again, and checks that the
// process's memory and handle count stay steady. On Windows (and Wine) the
// figures are the process's private bytes and handle count; natively the
// bytes the heap has handed out and still holds, and the open file descriptors.
//
// usage: orvane_install_cycles MODULE [CYCLES]
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "host/host_services.h"
#include "host/main_window.h"
#include "host/module_loader.h"
#include "host/panel.h"
#include "module/host_vars.h"

#if defined(_WIN32)
#include <windows.h>
#include <psapi.h>
#else
#include <dirent.h>
#include <malloc.h>
#endif
#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer's allocator keeps its own count; not every compiler ships its header.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

struct Usage {
    long long memory_bytes;
    long long handles;
};

Usage measure() {
#if defined(_WIN32)
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    DWORD handles = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    return {static_cast<long long>(counters.PrivateUsage), static_cast<long long>(handles)};
#else
#if defined(__SANITIZE_ADDRESS__)
    const long long heap = static_cast<long long>(__sanitizer_get_current_allocated_bytes());
#else
    const long long heap = static_cast<long long>(mallinfo2().uordblks);
#endif
    long long descriptors = 0;
    if (DIR* fds = opendir("/proc/self/fd")) {
        while (readdir(fds) != nullptr) ++descriptors;
        closedir(fds);
    }
    return {heap, descriptors};
#endif
}

// Growth allowed between the end of the warm-up (the allocators have taken
// what they keep) and the last cycle: a leak of one object per cycle shows as
// hundreds of handles or many pages.
constexpr long long memory_bound = 64 * 1024;
constexpr long long handle_bound = 8;
constexpr int warm_up_cycles = 100;

// One cycle: every gauge installed, a descent through the decision height so
// that the callout is armed and played, then every gauge killed.
void cycle(panelhost::Panel& panel, panelhost::HostServices& host) {
    for (orvane::GaugeHeader* gauge : panel.gauges()) panel.install(gauge->gauge_name);
    host.set_var(orvane::DECISION_HEIGHT, 200.0);
    host.set_var(orvane::GROUND_ALTITUDE, 0.0);
    host.set_var(orvane::ALTITUDE, 300.0);
    panel.update();
    host.set_var(orvane::ALTITUDE, 30.0);
    panel.update();
    panel.update();
    for (const std::string& name : panel.installed_names()) panel.kill(name);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s MODULE [CYCLES]\n", argv[0]);
        return 2;
    }
    const int cycles = argc == 3 ? std::atoi(argv[2]) : 1000;
    if (cycles <= warm_up_cycles) {
        std::fprintf(stderr, "%s: more than %d cycles, please\n", argv[0], warm_up_cycles);
        return 2;
    }
    std::string error;
    std::unique_ptr<panelhost::LoadedModule> module = panelhost::LoadedModule::open(argv[1], error);
    if (!module) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 2;
    }
    // The sound path looks for the simulator's main window.
    panelhost::MainWindow window;
    const std::string window_error = window.create(panelhost::MainWindowClass::fs98);
    if (!window_error.empty()) std::fprintf(stderr, "main window: %s\n", window_error.c_str());

    panelhost::HostServices host;
    panelhost::start_module(host, module->records());
    panelhost::Panel panel(host, module->records());
    Usage first{};
    int faults = 0;
    for (int i = 1; i <= cycles; ++i) {
        cycle(panel, host);
        for (const std::string& fault : panel.take_faults()) {
            std::printf("cycle %d: %s\n", i, fault.c_str());
            ++faults;
        }
        host.take_key_events();
        if (i == warm_up_cycles) first = measure();
        if (i % 100 == 0) {
            const Usage now = measure();
            std::printf("cycle %d: memory %lld bytes, handles %lld\n", i, now.memory_bytes, now.handles);
        }
    }
    const Usage last = measure();
    panelhost::stop_module(host, module->records());
    const long long memory_growth = last.memory_bytes - first.memory_bytes;
    const long long handle_growth = last.handles - first.handles;
    std::printf("after cycle %d: memory %lld bytes, handles %lld\n", warm_up_cycles, first.memory_bytes, first.handles);
    std::printf("after cycle %d: memory %lld bytes, handles %lld\n", cycles, last.memory_bytes, last.handles);
    std::printf("growth: memory %lld bytes (bound %lld), handles %lld (bound %lld); %d sounds played\n", memory_growth,
                memory_bound, handle_growth, handle_bound, panel.sound_plays());
    const bool steady = memory_growth <= memory_bound && handle_growth <= handle_bound;
    if (!steady) std::printf("the process grew over the cycles\n");
    return steady && faults == 0 ? 0 : 1;
}
