#include "host/live/live_audio.h"

#include <string>


namespace panelhost {

std::vector<uint8_t> converted_samples(const platform::PlayedSound& play, const SDL_AudioSpec& device) {
    const WAVEFORMATEX& f = play.format;
    if (f.wFormatTag != WAVE_FORMAT_PCM || f.nChannels < 1 || f.nChannels > 8 || f.nSamplesPerSec < 1000 ||
        f.nSamplesPerSec > 384000 || (f.wBitsPerSample != 8 && f.wBitsPerSample != 16)) {
        return {};
    }
    // WAVE's 8-bit samples are unsigned, its 16-bit ones signed little-endian.
    const SDL_AudioFormat from = f.wBitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    SDL_AudioStream* stream = SDL_NewAudioStream(from, static_cast<Uint8>(f.nChannels), static_cast<int>(f.nSamplesPerSec),
                                                 device.format, device.channels, device.freq);
    if (stream == nullptr) return {};
    const size_t frame = size_t{f.nChannels} * (f.wBitsPerSample / 8);
    const size_t whole = play.samples.size() / frame * frame;
    std::vector<uint8_t> out;
    if (whole > 0 && SDL_AudioStreamPut(stream, play.samples.data(), static_cast<int>(whole)) == 0 &&
        SDL_AudioStreamFlush(stream) == 0) {
        out.resize(static_cast<size_t>(SDL_AudioStreamAvailable(stream)));
        const int got = SDL_AudioStreamGet(stream, out.data(), static_cast<int>(out.size()));
        out.resize(got > 0 ? static_cast<size_t>(got) : 0);
    }
    SDL_FreeAudioStream(stream);
    return out;
}

LiveAudio::LiveAudio(Diagnostics& said) : said_(said) {
    std::string why;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        why = SDL_GetError();
    } else if (SDL_GetNumAudioDevices(0) == 0) {
        // Opening the default device where none is listed only fails noisily.
        why = std::string(SDL_GetCurrentAudioDriver()) + " lists none";
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    } else {
        SDL_AudioSpec want{};
        want.freq = 22050;
        want.format = AUDIO_S16SYS;
        want.channels = 1;
        want.samples = 1024;
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &spec_, SDL_AUDIO_ALLOW_ANY_CHANGE);
        if (device_ == 0) {
            why = SDL_GetError();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
    }
    if (device_ == 0) {
        said_.report(Severity::note, "no audio device (" + (why.empty() ? std::string("none found") : why) +
                                         "); the callout is not heard");
        return;
    }
    SDL_PauseAudioDevice(device_, 0);
}

LiveAudio::~LiveAudio() {
    if (device_ == 0) return;
    SDL_CloseAudioDevice(device_);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void LiveAudio::hear_new_plays() {
    const std::vector<platform::PlayedSound>& plays = platform::sound_plays();
    // The log starts again when cleared.
    if (heard_ > plays.size()) heard_ = 0;
    for (; heard_ < plays.size(); ++heard_) {
        if (device_ == 0) continue;
        const std::vector<uint8_t> samples = converted_samples(plays[heard_], spec_);
        if (samples.empty()) {
            if (!said_unconvertible_) said_.report(Severity::note, "a sound the module played is no PCM to hear");
            said_unconvertible_ = true;
            continue;
        }
        SDL_QueueAudio(device_, samples.data(), static_cast<Uint32>(samples.size()));
    }
}

}  // namespace panelhost
