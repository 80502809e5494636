// Wine's DirectSound, with no sound card, plays into the capture file of the
// test run. Tones are played the way the decision-height callout plays its
// sound: default device, normal cooperative level, a secondary buffer of
// 8-bit mono PCM at 11025 Hz with the callout's flags, filled by lock and
// unlock, rewound once, played once.
#include <windows.h>

#include <dsound.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "tests/wine/sound_capture.h"

namespace orvane::testing {
namespace {

constexpr DWORD callout_buffer_flags = DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME |
                                       DSBCAPS_GLOBALFOCUS;  // 0x80E0
constexpr uint32_t source_rate = 11025;

struct Tone {
    double frequency;
    double seconds;
    int amplitude;  // of the 8-bit samples, around their centre 128
};

// 8-bit unsigned PCM samples of a sine tone.
std::vector<unsigned char> tone_samples(const Tone& tone) {
    std::vector<unsigned char> samples(static_cast<size_t>(tone.seconds * source_rate));
    for (size_t i = 0; i < samples.size(); ++i) {
        const double phase = 2.0 * std::numbers::pi * tone.frequency * static_cast<double>(i) / source_rate;
        samples[i] = static_cast<unsigned char>(128 + std::lround(tone.amplitude * std::sin(phase)));
    }
    return samples;
}

// A secondary buffer holding the samples, positioned at its start; null on failure.
IDirectSoundBuffer* load_buffer(IDirectSound* device, const std::vector<unsigned char>& samples) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = source_rate;
    format.nAvgBytesPerSec = source_rate;
    format.nBlockAlign = 1;
    format.wBitsPerSample = 8;
    DSBUFFERDESC description{};
    description.dwSize = sizeof description;
    description.dwFlags = callout_buffer_flags;
    description.dwBufferBytes = static_cast<DWORD>(samples.size());
    description.lpwfxFormat = &format;
    IDirectSoundBuffer* buffer = nullptr;
    if (device->CreateSoundBuffer(&description, &buffer, nullptr) != DS_OK) return nullptr;
    void* region1 = nullptr;
    void* region2 = nullptr;
    DWORD length1 = 0;
    DWORD length2 = 0;
    if (buffer->Lock(0, description.dwBufferBytes, &region1, &length1, &region2, &length2, 0) != DS_OK ||
        length1 != samples.size()) {
        buffer->Release();
        return nullptr;
    }
    std::memcpy(region1, samples.data(), length1);
    if (buffer->Unlock(region1, length1, region2, length2) != DS_OK || buffer->SetCurrentPosition(0) != DS_OK) {
        buffer->Release();
        return nullptr;
    }
    return buffer;
}

bool wait_until_played(IDirectSoundBuffer* buffer) {
    for (int waited_ms = 0; waited_ms < 5000; waited_ms += 10) {
        DWORD status = 0;
        if (buffer->GetStatus(&status) != DS_OK) return false;
        if ((status & DSBSTATUS_PLAYING) == 0) return true;
        Sleep(10);
    }
    return false;
}

TEST(SoundCapture, TonesPlayedThroughDirectSoundArriveInTheCaptureFileInOrder) {
    const char* capture_path = std::getenv("ORVANE_SOUND_CAPTURE");
    if (capture_path == nullptr || *capture_path == '\0') {
        GTEST_SKIP() << "ORVANE_SOUND_CAPTURE names no capture file: run under tests/wine/run-wine.sh from ctest";
    }
    DeleteFileA(capture_path);

    const Tone tones[] = {
        {.frequency = 440.0, .seconds = 0.30, .amplitude = 60},
        {.frequency = 1500.0, .seconds = 0.20, .amplitude = 110},
        // The first buffer again, not rewound: as the callout does, this relies
        // on a buffer that played to its end playing again from its start.
        {.frequency = 440.0, .seconds = 0.30, .amplitude = 60},
    };

    IDirectSound* device = nullptr;
    ASSERT_EQ(DirectSoundCreate(nullptr, &device, nullptr), DS_OK);
    ASSERT_EQ(device->SetCooperativeLevel(nullptr, DSSCL_NORMAL), DS_OK);
    IDirectSoundBuffer* low = load_buffer(device, tone_samples(tones[0]));
    IDirectSoundBuffer* high = load_buffer(device, tone_samples(tones[1]));
    ASSERT_NE(low, nullptr);
    ASSERT_NE(high, nullptr);
    for (IDirectSoundBuffer* buffer : {low, high, low}) {
        ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
        ASSERT_TRUE(wait_until_played(buffer)) << "the buffer never stopped playing";
        Sleep(150);  // silence between tones
    }
    Sleep(300);  // Wine's mixer runs ahead of the device; let the last tone reach it
    high->Release();
    low->Release();
    device->Release();

    const SoundCapture capture = read_sound_capture(capture_path);
    ASSERT_TRUE(capture.read) << capture.error;
    EXPECT_EQ(capture.channels, 2);
    // The device's rate: 44100 Hz, or the callout's own where 32-bit code is
    // emulated (tests/wine/asoundrc-emulated).
    const char* i386 = std::getenv("ORVANE_I386");
    EXPECT_EQ(capture.rate, i386 != nullptr && std::string_view(i386) == "emulated" ? source_rate : 44100u);

    const std::vector<Burst> bursts = find_bursts(capture.left, capture.rate);
    ASSERT_EQ(bursts.size(), std::size(tones)) << "sounds found in " << capture_path;
    for (size_t i = 0; i < bursts.size(); ++i) {
        const Tone& tone = tones[i];
        const Burst& burst = bursts[i];
        SCOPED_TRACE("tone " + std::to_string(i) + " at sample " + std::to_string(burst.first));
        EXPECT_NEAR(burst.seconds, tone.seconds, 0.05 * tone.seconds);
        EXPECT_NEAR(burst.frequency, tone.frequency, 0.02 * tone.frequency);
        // An 8-bit step is 256 16-bit steps; DirectSound plays at full volume.
        EXPECT_NEAR(burst.peak, tone.amplitude * 256, 0.1 * tone.amplitude * 256);
    }
}

}  // namespace
}  // namespace orvane::testing
