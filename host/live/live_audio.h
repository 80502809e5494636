// The callout heard through the machine's audio: natively the module plays
// through the platform's DirectSound, which records every play with its
// samples; each new play is handed to SDL's audio device, converted to its
// format. A machine without an audio device runs on silently.
#pragma once

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/base/diagnostics.h"
#include "platform/win_dsound.h"

namespace panelhost {

// A play's samples in the device's format; empty when the play is no PCM
// SDL can convert.
std::vector<uint8_t> converted_samples(const platform::PlayedSound& play, const SDL_AudioSpec& device);

class LiveAudio {
public:
    // Opens the default device; without one, says so once (a note).
    explicit LiveAudio(Diagnostics& said);
    ~LiveAudio();
    LiveAudio(const LiveAudio&) = delete;
    LiveAudio& operator=(const LiveAudio&) = delete;

    bool open() const { return device_ != 0; }
    // Queues every play since last asked (from the first of the process on).
    void hear_new_plays();

private:
    Diagnostics& said_;
    SDL_AudioDeviceID device_ = 0;
    SDL_AudioSpec spec_{};
    size_t heard_ = 0;
    bool said_unconvertible_ = false;
};

}  // namespace panelhost
