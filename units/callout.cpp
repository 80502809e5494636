#include "units/callout.h"

#include <cstring>

#include "module/cockpit.h"
#include "module/host_vars.h"
#include "units/callout_sound.h"

namespace orvane {

int32_t sound_available = 1;
HWND host_main_window = nullptr;
HINSTANCE module_instance = nullptr;
LPDIRECTSOUND callout_device = nullptr;
LPDIRECTSOUNDBUFFER callout_buffer = nullptr;

namespace {

// A PCM format record is 16 bytes; the two after it only count when the
// fmt chunk holds them.
constexpr LONG pcm_format_bytes = 16;

template <typename Interface>
void release_interface(Interface*& object) {
    if (object == nullptr) return;
    object->Release();
    object = nullptr;
}

void free_block(HGLOBAL block) {
    GlobalUnlock(block);
    GlobalFree(block);
}

// What load_wave_buffer holds while it works, given back on every way out.
struct WaveLoad {
    HGLOBAL resource;
    HMMIO file;
    HGLOBAL block;
};

void close_memory_file(WaveLoad& load) {
    if (load.file != nullptr) mmioClose(load.file, 0);
    load.file = nullptr;
    if (load.resource != nullptr) FreeResource(load.resource);
    load.resource = nullptr;
}

void release_wave_load(WaveLoad& load) {
    close_memory_file(load);
    if (load.block != nullptr) free_block(load.block);
    load.block = nullptr;
}

DWORD fail_load(WaveLoad& load, LPDIRECTSOUNDBUFFER& buffer) {
    release_wave_load(load);
    release_interface(buffer);
    sound_available = 0;
    return 0;
}

}  // namespace

int32_t executable_kind_of(const char* base_name) {
    const size_t length = std::strlen(base_name);
    const auto character_is = [&](size_t position, char wanted) {
        return position < length && base_name[position] == wanted;
    };
    if (character_is(3, '2')) return EXECUTABLE_COMBAT_SECOND;
    if (character_is(0, 'C')) return EXECUTABLE_COMBAT;
    if (character_is(2, '2')) return EXECUTABLE_SIMULATOR_SECOND;
    return EXECUTABLE_SIMULATOR;
}

int32_t host_executable_kind() {
    // Every part gets a buffer as large as the whole path, so no part can
    // overrun; a path that cannot be had leaves an empty name.
    char path[MAX_PATH] = {};
    char base_name[MAX_PATH] = {};
    if (GetModuleFileNameA(nullptr, path, MAX_PATH) == 0) path[0] = '\0';
    path[MAX_PATH - 1] = '\0';
    _splitpath(path, nullptr, nullptr, base_name, nullptr);
    return executable_kind_of(base_name);
}

HWND find_host_main_window() {
    const int32_t kind = host_executable_kind();
    const bool combat = kind == EXECUTABLE_COMBAT || kind == EXECUTABLE_COMBAT_SECOND;
    const char* class_name = combat ? "MSCFSMAIN" : "FS98MAIN";
    return FindWindowA(class_name, nullptr);
}

int32_t create_sound_device(HWND window, LPDIRECTSOUND& device) {
    device = nullptr;
    if (DirectSoundCreate(nullptr, &device, nullptr) != DS_OK || device == nullptr) {
        device = nullptr;
        sound_available = 0;
        return 0;
    }
    // A window that was not found is passed on as null: the device decides.
    if (device->SetCooperativeLevel(window, DSSCL_NORMAL) != DS_OK) {
        release_interface(device);
        sound_available = 0;
        return 0;
    }
    return 1;
}

DWORD load_wave_buffer(LPDIRECTSOUND& device, LPDIRECTSOUNDBUFFER& buffer, int resource_id, HINSTANCE instance) {
    if (sound_available == 0) return 0;
    buffer = nullptr;
    WaveLoad load = {};

    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(resource_id), "WAVE");
    if (found == nullptr) return fail_load(load, buffer);
    load.resource = LoadResource(instance, found);
    if (load.resource == nullptr) return fail_load(load, buffer);
    void* image = LockResource(load.resource);
    if (image == nullptr) return fail_load(load, buffer);
    const DWORD image_bytes = SizeofResource(instance, found);

    MMIOINFO memory_file = {};
    memory_file.fccIOProc = FOURCC_MEM;
    memory_file.pchBuffer = static_cast<HPSTR>(image);
    memory_file.cchBuffer = static_cast<LONG>(image_bytes);
    load.file = mmioOpenA(nullptr, &memory_file, MMIO_READWRITE | MMIO_ALLOCBUF);
    if (load.file == nullptr) return fail_load(load, buffer);

    MMCKINFO riff = {};
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    if (mmioDescend(load.file, &riff, nullptr, MMIO_FINDRIFF) != 0) return fail_load(load, buffer);

    MMCKINFO chunk = {};
    chunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
    if (mmioDescend(load.file, &chunk, &riff, MMIO_FINDCHUNK) != 0) return fail_load(load, buffer);
    WAVEFORMATEX format = {};
    const LONG format_read = mmioRead(load.file, reinterpret_cast<HPSTR>(&format), sizeof format);
    if (format_read == -1) return fail_load(load, buffer);
    // A format cut short by the end of the image would be partly unset.
    if (format_read < pcm_format_bytes) return fail_load(load, buffer);
    // The 18-byte read of a 16-byte fmt chunk takes two bytes of the next
    // chunk's header; they are no extra-format size.
    if (chunk.cksize < sizeof format) format.cbSize = 0;
    if (mmioAscend(load.file, &chunk, 0) != 0) return fail_load(load, buffer);

    chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
    if (mmioDescend(load.file, &chunk, &riff, MMIO_FINDCHUNK) != 0) return fail_load(load, buffer);
    const DWORD sample_bytes = chunk.cksize;
    // A data chunk that claims more bytes than the image holds (a cut-short
    // image) is refused before anything is allocated or read for it.
    if (chunk.dwDataOffset > image_bytes || sample_bytes > image_bytes - chunk.dwDataOffset) {
        return fail_load(load, buffer);
    }

    load.block = GlobalAlloc(GMEM_MOVEABLE, sample_bytes);
    if (load.block == nullptr) return fail_load(load, buffer);
    void* samples = GlobalLock(load.block);
    if (samples == nullptr) return fail_load(load, buffer);
    if (mmioRead(load.file, static_cast<HPSTR>(samples), static_cast<LONG>(sample_bytes)) !=
        static_cast<LONG>(sample_bytes)) {
        return fail_load(load, buffer);
    }
    close_memory_file(load);

    DSBUFFERDESC description = {};
    description.dwSize = sizeof description;
    description.dwFlags = DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME | DSBCAPS_GLOBALFOCUS;
    description.dwBufferBytes = sample_bytes;
    description.lpwfxFormat = &format;
    if (device == nullptr || device->CreateSoundBuffer(&description, &buffer, nullptr) != DS_OK ||
        buffer == nullptr) {
        buffer = nullptr;
        return fail_load(load, buffer);
    }

    void* region1 = nullptr;
    void* region2 = nullptr;
    DWORD bytes1 = 0;
    DWORD bytes2 = 0;
    if (buffer->Lock(0, sample_bytes, &region1, &bytes1, &region2, &bytes2, 0) != DS_OK) {
        return fail_load(load, buffer);
    }
    // A lock of the whole buffer from its start gives it all in the first
    // region; should the platform split it, the rest goes to the second.
    const DWORD first = bytes1 < sample_bytes ? bytes1 : sample_bytes;
    if (region1 != nullptr) std::memcpy(region1, samples, first);
    const DWORD rest = sample_bytes - first;
    if (region2 != nullptr && rest != 0) {
        std::memcpy(region2, static_cast<const BYTE*>(samples) + first, rest < bytes2 ? rest : bytes2);
    }
    if (buffer->Unlock(region1, bytes1, region2, bytes2) != DS_OK) return fail_load(load, buffer);
    if (buffer->SetCurrentPosition(0) != DS_OK) return fail_load(load, buffer);

    release_wave_load(load);
    return sample_bytes;
}

int32_t play_sound_buffer(LPDIRECTSOUNDBUFFER& buffer, DWORD flags) {
    if (sound_available == 0) return 0;
    // No buffer (not loaded yet, or killed): nothing to play, nothing broken.
    if (buffer == nullptr) return 0;
    if (buffer->Play(0, 0, flags) != DS_OK) {
        release_interface(buffer);
        sound_available = 0;
        return 0;
    }
    return 1;
}

// Releases whatever the variable holds, sound on or off: a device that an
// install creates after the sound went off is given back all the same.
void release_sound_object(LPDIRECTSOUND& device) { release_interface(device); }
void release_sound_object(LPDIRECTSOUNDBUFFER& buffer) { release_interface(buffer); }

void callout_install(ServiceExtra instance) {
    // A second install without a kill between builds afresh; what the first
    // one built is given back rather than lost.
    release_sound_object(callout_buffer);
    release_sound_object(callout_device);
    module_instance = reinterpret_cast<HINSTANCE>(instance);
    host_main_window = find_host_main_window();
    create_sound_device(host_main_window, callout_device);
    load_wave_buffer(callout_device, callout_buffer, callout_wave_id, module_instance);
}

void callout_update() {
    const double ground = read_var(GROUND_ALTITUDE);
    const double altitude = read_var(ALTITUDE);
    const double decision_height = read_var(DECISION_HEIGHT);  // feet
    const double radio_altitude_ft = radio_altitude_feet(altitude, ground);

    // Strict both ways: at exactly the decision height nothing changes. A
    // value that is not a number fails both tests and changes nothing either.
    if (decision_height > radio_altitude_ft && cockpit.dh_callout_armed == 1) {
        play_sound_buffer(callout_buffer, 0);
        cockpit.dh_callout_armed = 0;
    }
    if (radio_altitude_ft > decision_height && cockpit.dh_callout_armed == 0) cockpit.dh_callout_armed = 1;
}

void callout_kill() {
    release_sound_object(callout_buffer);
    release_sound_object(callout_device);
}

}  // namespace orvane
