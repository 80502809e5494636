// Fuzz target: the input is the callout's sound resource. The module loads it
// through its own RIFF path (load_wave_buffer over the platform's resource and
// memory-file calls) into a sound buffer of the platform's DirectSound. A load
// either fails, leaving the sound off and no buffer, or gives a buffer whose
// samples are the bytes of a data chunk of the input, as long as that chunk
// says; either way every block and object it took is given back.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/failure_switches.h"
#include "platform/resource_table.h"
#include "platform/win_api.h"
#include "units/callout_sound.h"

namespace {

using namespace orvane;

// Any handle names the module to the resource calls; resources added to it
// are found before the module's own.
const HINSTANCE fuzz_instance = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x4F520000));

[[noreturn]] void fault(const char* what, size_t size) {
    std::fprintf(stderr, "callout resource of %zu bytes: %s\n", size, what);
    std::abort();
}

uint32_t le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

// Some chunk of the input headed "data" declares exactly these bytes and holds them.
bool is_data_chunk_of(const uint8_t* data, size_t size, const std::vector<BYTE>& samples) {
    for (size_t at = 0; at + 8 <= size; ++at) {
        if (std::memcmp(data + at, "data", 4) != 0 || le32(data + at + 4) != samples.size()) continue;
        if (size - (at + 8) < samples.size()) continue;
        if (samples.empty() || std::memcmp(data + at + 8, samples.data(), samples.size()) == 0) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    platform::reset_failures();
    platform::clear_added_resources();
    platform::clear_sound_log();
    platform::add_resource(fuzz_instance, "WAVE", callout_wave_id, data, static_cast<DWORD>(size));
    const int blocks_before = platform::global_blocks_in_use();
    const int files_before = platform::open_memory_files();

    sound_available = 1;
    LPDIRECTSOUND device = nullptr;
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    if (create_sound_device(nullptr, device) != 1) fault("the sound device could not be opened", size);
    const DWORD loaded = load_wave_buffer(device, buffer, callout_wave_id, fuzz_instance);

    if (platform::global_blocks_in_use() != blocks_before) fault("a memory block was kept", size);
    if (platform::open_memory_files() != files_before) fault("a memory file was left open", size);
    if (loaded == 0) {
        if (sound_available != 0) fault("a failed load left the sound on", size);
        if (buffer != nullptr) fault("a failed load left a buffer", size);
    } else {
        if (sound_available != 1 || buffer == nullptr) fault("a load of samples left no buffer", size);
        if (loaded > size) fault("more samples than the resource has bytes", size);
        if (play_sound_buffer(buffer, 0) != 1) fault("the loaded buffer did not play", size);
        const auto& plays = platform::sound_plays();
        if (plays.size() != 1 || plays.back().samples.size() != loaded) fault("the play was not the whole buffer", size);
        if (!is_data_chunk_of(data, size, plays.back().samples)) fault("the samples are no data chunk of the resource", size);
    }
    // Released with the sound on, as a kill does after a good install.
    sound_available = 1;
    release_sound_object(buffer);
    release_sound_object(device);
    if (platform::live_sound_objects() != 0) fault("a sound object was kept", size);
    platform::clear_added_resources();
    return 0;
}
