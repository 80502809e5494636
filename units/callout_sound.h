// The callout's sound path: the module-wide sound state and the routines the
// decision-height unit's install, update and kill run. Any failure turns the
// sound off for the life of the library; nothing is reported.
#pragma once

#include <cstdint>

#include "module/platform_services.h"

namespace orvane {

extern int32_t sound_available;  // 1 until the sound path fails; nothing sets it back
extern HWND host_main_window;    // found at install; null when there is none
extern HINSTANCE module_instance;
extern LPDIRECTSOUND callout_device;
extern LPDIRECTSOUNDBUFFER callout_buffer;

inline constexpr int callout_wave_id = 20480;

// The host executable's kind, from single characters of its base name; the
// first test that holds decides. Each kind names the main window's class.
enum ExecutableKind : int32_t {
    EXECUTABLE_SIMULATOR = 1,         // none of the tests below: "FS98MAIN"
    EXECUTABLE_COMBAT = 2,            // character 0 is 'C': "MSCFSMAIN"
    EXECUTABLE_SIMULATOR_SECOND = 3,  // character 2 is '2': "FS98MAIN"
    EXECUTABLE_COMBAT_SECOND = 4,     // character 3 is '2': "MSCFSMAIN"
};

int32_t host_executable_kind();
int32_t executable_kind_of(const char* base_name);
HWND find_host_main_window();

// 1 on success, 0 on failure (the sound is then off).
int32_t create_sound_device(HWND window, LPDIRECTSOUND& device);
// The sample bytes loaded into a new buffer, or 0 on failure.
DWORD load_wave_buffer(LPDIRECTSOUND& device, LPDIRECTSOUNDBUFFER& buffer, int resource_id, HINSTANCE instance);
// 1 when the buffer started playing.
int32_t play_sound_buffer(LPDIRECTSOUNDBUFFER& buffer, DWORD flags);
void release_sound_object(LPDIRECTSOUND& device);
void release_sound_object(LPDIRECTSOUNDBUFFER& buffer);

}  // namespace orvane
