// The callout as the window hands it to the audio device: each play's PCM
// converted to the device's format, rate and channels.
#include <cstdint>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "host/live/live_audio.h"

namespace {

platform::PlayedSound play(WORD tag, WORD channels, DWORD rate, WORD bits, std::vector<BYTE> samples) {
    platform::PlayedSound p{};
    p.format.wFormatTag = tag;
    p.format.nChannels = channels;
    p.format.nSamplesPerSec = rate;
    p.format.wBitsPerSample = bits;
    p.format.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    p.format.nAvgBytesPerSec = rate * p.format.nBlockAlign;
    p.samples = std::move(samples);
    return p;
}

int16_t middle_sample(const std::vector<uint8_t>& bytes) {
    int16_t v = 0;
    const size_t at = bytes.size() / 4 * 2;
    if (bytes.size() >= at + 2) std::memcpy(&v, bytes.data() + at, 2);
    return v;
}

TEST(LiveAudioTests, APlayIsConvertedToTheDevicesFormatOrLeftUnheard) {
    SDL_AudioSpec device{};
    device.freq = 22050;
    device.format = AUDIO_S16SYS;
    device.channels = 1;
    std::vector<BYTE> stereo16;
    for (int i = 0; i < 2000; ++i) {
        const int16_t v = 12000;
        stereo16.insert(stereo16.end(), {BYTE(v & 0xFF), BYTE(v >> 8), BYTE(v & 0xFF), BYTE(v >> 8)});
    }
    const struct Row {
        const char* what;
        platform::PlayedSound play;
        size_t bytes;       // about, as the resampler gives
        int16_t middle;     // a sample well inside, about
    } rows[] = {
        {"8-bit WAVE samples are unsigned: full scale is near the top", play(1, 1, 22050, 8, std::vector<BYTE>(1000, 0xFF)),
         2000, 32512},
        {"8-bit silence is 0x80", play(1, 1, 22050, 8, std::vector<BYTE>(1000, 0x80)), 2000, 0},
        {"twice the device's rate gives half the samples", play(1, 1, 44100, 8, std::vector<BYTE>(1000, 0x80)), 1000,
         0},
        {"16-bit stereo to mono", play(1, 2, 22050, 16, stereo16), 4000, 12000},
        {"a half frame at the end is left out", play(1, 2, 22050, 16, std::vector<BYTE>(7, 0)), 2, 0},
        {"no PCM: not heard", play(2, 1, 22050, 8, std::vector<BYTE>(100, 0x80)), 0, 0},
        {"12-bit samples: not heard", play(1, 1, 22050, 12, std::vector<BYTE>(100, 0)), 0, 0},
        {"no channels: not heard", play(1, 0, 22050, 8, std::vector<BYTE>(100, 0)), 0, 0},
    };
    for (const Row& row : rows) {
        const std::vector<uint8_t> out = panelhost::converted_samples(row.play, device);
        EXPECT_NEAR(double(out.size()), double(row.bytes), row.bytes / 20.0 + 1) << row.what;
        EXPECT_NEAR(middle_sample(out), row.middle, 300) << row.what;
    }
}

}  // namespace
