#include "host/services/sound_monitor.h"

#include <cstdio>

#include "module/platform_services.h"

namespace panelhost {
namespace {

#if defined(_WIN32)

// Index of Play in the buffer interface: IUnknown's three methods, then
// GetCaps .. Lock, then Play.
constexpr int play_method = 12;

using PlayMethod = HRESULT(STDMETHODCALLTYPE*)(IDirectSoundBuffer*, DWORD, DWORD, DWORD);

PlayMethod forward_play = nullptr;
std::vector<SoundPlay> heard;
// Buffers whose play has not been waited for yet, each held by a reference.
std::vector<IDirectSoundBuffer*> sounding;

HRESULT STDMETHODCALLTYPE watched_play(IDirectSoundBuffer* buffer, DWORD reserved, DWORD priority, DWORD flags) {
    DWORD play_position = 0;
    DWORD write_position = 0;
    if (buffer->GetCurrentPosition(&play_position, &write_position) != DS_OK) play_position = 0;
    DSBCAPS caps = {};
    caps.dwSize = sizeof caps;
    WAVEFORMATEX format = {};
    const bool described = buffer->GetCaps(&caps) == DS_OK && buffer->GetFormat(&format, sizeof format, nullptr) == DS_OK;
    const HRESULT result = forward_play(buffer, reserved, priority, flags);
    if (result == DS_OK && described) {
        const DWORD from = (flags & DSBPLAY_LOOPING) != 0 || play_position >= caps.dwBufferBytes ? 0 : play_position;
        heard.push_back({.bytes = caps.dwBufferBytes - from,
                         .format_tag = format.wFormatTag,
                         .channels = format.nChannels,
                         .samples_per_second = format.nSamplesPerSec,
                         .bits_per_sample = format.wBitsPerSample,
                         .flags = flags});
        if ((flags & DSBPLAY_LOOPING) == 0) {
            buffer->AddRef();
            sounding.push_back(buffer);
        }
    }
    return result;
}

// Waits until every one-shot play so far has sounded to its end, then a
// little longer, for the platform's mixer to hand the last of it on.
void let_plays_finish() {
    if (sounding.empty()) return;
    for (IDirectSoundBuffer* buffer : sounding) {
        // Even the longest buffer has played within a minute.
        for (int waited_ms = 0; waited_ms < 60000; waited_ms += 10) {
            DWORD status = 0;
            if (buffer->GetStatus(&status) != DS_OK || (status & DSBSTATUS_PLAYING) == 0) break;
            Sleep(10);
        }
        buffer->Release();
    }
    sounding.clear();
    Sleep(300);
}

// Every secondary buffer of the platform's DirectSound shares one table of
// methods: a buffer of the host's own shows where it is, and its Play entry
// is replaced, once per process, by one that notes the play and forwards it.
bool watch_platform_sound() {
    if (forward_play != nullptr) return true;
    LPDIRECTSOUND device = nullptr;
    if (DirectSoundCreate(nullptr, &device, nullptr) != DS_OK || device == nullptr) return false;
    bool watching = false;
    WAVEFORMATEX format = {WAVE_FORMAT_PCM, 1, 11025, 11025, 1, 8, 0};
    DSBUFFERDESC description = {};
    description.dwSize = sizeof description;
    description.dwFlags = DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME | DSBCAPS_GLOBALFOCUS;
    description.dwBufferBytes = 64;
    description.lpwfxFormat = &format;
    LPDIRECTSOUNDBUFFER probe = nullptr;
    if (device->SetCooperativeLevel(nullptr, DSSCL_NORMAL) == DS_OK &&
        device->CreateSoundBuffer(&description, &probe, nullptr) == DS_OK && probe != nullptr) {
        void** methods = *reinterpret_cast<void***>(probe);
        DWORD protection = 0;
        if (VirtualProtect(&methods[play_method], sizeof(void*), PAGE_EXECUTE_READWRITE, &protection)) {
            forward_play = reinterpret_cast<PlayMethod>(methods[play_method]);
            methods[play_method] = reinterpret_cast<void*>(watched_play);
            VirtualProtect(&methods[play_method], sizeof(void*), protection, &protection);
            FlushInstructionCache(GetCurrentProcess(), &methods[play_method], sizeof(void*));
            watching = true;
        }
        probe->Release();
    }
    device->Release();
    return watching;
}

const std::vector<SoundPlay>& plays_so_far() { return heard; }

#else

bool watch_platform_sound() { return true; }

// The stand-in has played each sound whole by the time Play returns.
void let_plays_finish() {}

const std::vector<SoundPlay>& plays_so_far() {
    static std::vector<SoundPlay> heard;
    // The stand-in's record may have been cleared since; rebuild from it.
    const std::vector<platform::PlayedSound>& recorded = platform::sound_plays();
    heard.clear();
    for (const platform::PlayedSound& play : recorded) {
        heard.push_back({.bytes = static_cast<uint32_t>(play.samples.size()),
                         .format_tag = play.format.wFormatTag,
                         .channels = play.format.nChannels,
                         .samples_per_second = play.format.nSamplesPerSec,
                         .bits_per_sample = play.format.wBitsPerSample,
                         .flags = play.flags});
    }
    return heard;
}

#endif

}  // namespace

std::string describe(const SoundPlay& play) {
    char line[160];
    std::snprintf(line, sizeof line, "sound play %u bytes, format %u, %u channel%s, %u Hz, %u bit%s",
                  static_cast<unsigned>(play.bytes), static_cast<unsigned>(play.format_tag),
                  static_cast<unsigned>(play.channels), play.channels == 1 ? "" : "s",
                  static_cast<unsigned>(play.samples_per_second), static_cast<unsigned>(play.bits_per_sample),
                  (play.flags & 1u) != 0 ? ", looping" : "");
    return line;
}

SoundMonitor::SoundMonitor() : watching_(watch_platform_sound()), next_(plays_so_far().size()) {}

std::vector<SoundPlay> SoundMonitor::take_plays() {
    let_plays_finish();
    const std::vector<SoundPlay>& all = plays_so_far();
    if (next_ > all.size()) next_ = 0;  // the record was cleared since
    std::vector<SoundPlay> fresh(all.begin() + static_cast<std::ptrdiff_t>(next_), all.end());
    next_ = all.size();
    return fresh;
}

namespace {
SoundMonitor* host_monitor = nullptr;
}  // namespace

void start_sound_monitor() {
    static SoundMonitor monitor;
    monitor.take_plays();
    host_monitor = &monitor;
}

int take_callout_plays() {
    if (host_monitor == nullptr) return 0;
    return static_cast<int>(host_monitor->take_plays().size());
}

}  // namespace panelhost
