// Installs, updates and kills all five gauges of a built module many times
// over, as a panel opened and closed again and again, and checks that the
// process's memory and handle count stay steady. On Windows (and Wine) the
// figures are the process's committed private memory, walked with
// VirtualQuery, and its handle count (counted handle by handle where the
// system does not keep the count, as Wine does not); natively the bytes the
// heap has handed out and still holds, and the open file descriptors.
//
// usage: orvane_install_cycles MODULE [CYCLES [leak]]
//   leak: the program itself keeps a heap block and a handle every cycle, to
//   show that the measures see such growth.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/services/host_services.h"
#include "host/services/main_window.h"
#include "host/services/module_loader.h"
#include "host/panel/panel.h"
#include "module/host_vars.h"

#if !defined(_WIN32)
#include "platform/win_api.h"
#endif

#if defined(_WIN32)
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>
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
    long long committed = 0;
    MEMORY_BASIC_INFORMATION region;
    const char* at = nullptr;
    while (VirtualQuery(at, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) committed += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at) break;
        at = next;
    }
    DWORD handles = 0;
    if (!GetProcessHandleCount(GetCurrentProcess(), &handles) || handles == 0) {
        // Handle values are multiples of four from four on.
        DWORD flags = 0;
        for (uintptr_t value = 4; value < 0x10000; value += 4) {
            if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++handles;
        }
    }
    return {committed, static_cast<long long>(handles)};
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
#if defined(_WIN32)
constexpr long long memory_bound = 512 * 1024;  // committed pages, which the heaps take in large steps
#else
constexpr long long memory_bound = 64 * 1024;   // heap bytes
#endif
constexpr long long handle_bound = 8;
constexpr int warm_up_cycles = 100;

// One cycle: every gauge installed, a descent through the decision height so
// that the callout is armed and played, then every gauge killed.
// What the self-check keeps each cycle: a block of heap and a handle.
void leak_one() {
    static std::vector<void*> kept;
    kept.push_back(std::malloc(16384));
    std::memset(kept.back(), 1, 16384);
#if defined(_WIN32)
    kept.push_back(CreateEventA(nullptr, FALSE, FALSE, nullptr));
#else
    kept.push_back(reinterpret_cast<void*>(static_cast<intptr_t>(open("/dev/null", O_RDONLY))));
#endif
}

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
    if (argc < 2 || argc > 4 || (argc == 4 && std::strcmp(argv[3], "leak") != 0)) {
        std::fprintf(stderr, "usage: %s MODULE [CYCLES [leak]]\n", argv[0]);
        return 2;
    }
    const int cycles = argc >= 3 ? std::atoi(argv[2]) : 1000;
    const bool leak = argc == 4;
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
#if !defined(_WIN32)
    long long plays = 0;
#endif
    for (int i = 1; i <= cycles; ++i) {
        cycle(panel, host);
#if !defined(_WIN32)
        // The native DirectSound keeps every play for the tests to hear; the
        // record is the platform's, not the module's, and is let go here.
        plays += static_cast<long long>(platform::sound_plays().size());
        platform::clear_sound_log();
#endif
        if (leak) leak_one();
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
    std::printf("growth: memory %lld bytes (bound %lld), handles %lld (bound %lld)\n", memory_growth, memory_bound,
                handle_growth, handle_bound);
#if !defined(_WIN32)
    std::printf("callouts played: %lld\n", plays);
#endif
    const bool memory_steady = memory_growth <= memory_bound;
    const bool handles_steady = handle_growth <= handle_bound;
    if (!memory_steady) std::printf("memory grew over the cycles\n");
    if (!handles_steady) std::printf("handles grew over the cycles\n");
    const bool steady = memory_steady && handles_steady;
    return steady && faults == 0 ? 0 : 1;
}
