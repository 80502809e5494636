// Reading what Wine played: under the test runner, Wine's default sound
// device writes everything played to a WAV file (16-bit stereo, 44100 Hz, the
// path in ORVANE_SOUND_CAPTURE). These helpers read that file and find the
// sounds in it, for tests that check what a program played.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace orvane::testing {

struct SoundCapture {
    bool read = false;
    std::string error;  // why the file could not be read
    uint16_t format_tag = 0;
    uint16_t channels = 0;
    uint32_t rate = 0;
    uint16_t bits = 0;
    std::vector<int16_t> left;  // the first channel's samples
};

namespace detail {
inline uint32_t le32(const unsigned char* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24); }
inline uint16_t le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
}  // namespace detail

// Reads a 16-bit PCM capture. A writer that was not closed leaves its chunk
// sizes unset; the data then runs to the end of the file.
inline SoundCapture read_sound_capture(const std::string& path) {
    SoundCapture capture;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        capture.error = "cannot open " + path;
        return capture;
    }
    std::vector<unsigned char> bytes;
    unsigned char chunk[65536];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(file);

    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        capture.error = path + " is not a RIFF WAVE file";
        return capture;
    }
    size_t at = 12;
    bool have_format = false;
    while (at + 8 <= bytes.size()) {
        const unsigned char* header = bytes.data() + at;
        const size_t available = bytes.size() - at - 8;
        size_t size = detail::le32(header + 4);
        if (std::memcmp(header, "fmt ", 4) == 0 && size >= 16 && size <= available) {
            const unsigned char* f = header + 8;
            capture.format_tag = detail::le16(f);
            capture.channels = detail::le16(f + 2);
            capture.rate = detail::le32(f + 4);
            capture.bits = detail::le16(f + 14);
            have_format = true;
        } else if (std::memcmp(header, "data", 4) == 0) {
            if (size == 0 || size > available) size = available;
            if (!have_format || capture.format_tag != 1 || capture.bits != 16 || capture.channels == 0) {
                capture.error = path + " does not hold 16-bit PCM after its format chunk";
                return capture;
            }
            const size_t frame = 2u * capture.channels;
            for (size_t i = 0; i + frame <= size; i += frame) {
                capture.left.push_back(static_cast<int16_t>(detail::le16(header + 8 + i)));
            }
            capture.read = true;
            return capture;
        }
        at += 8 + size + (size & 1);
    }
    capture.error = path + " has no data chunk";
    return capture;
}

// One stretch of sound between silences.
struct Burst {
    size_t first;  // sample index
    size_t last;
    double seconds;
    double frequency;  // from the zero crossings, for a plain tone
    int peak;
};

// Stretches where the signal exceeds the threshold, split by at least
// `gap_seconds` of samples below it.
inline std::vector<Burst> find_bursts(const std::vector<int16_t>& samples, uint32_t rate, int threshold = 1000,
                                      double gap_seconds = 0.02) {
    std::vector<Burst> bursts;
    const size_t gap = static_cast<size_t>(gap_seconds * rate);
    size_t i = 0;
    while (i < samples.size()) {
        if (std::abs(samples[i]) <= threshold) {
            ++i;
            continue;
        }
        Burst burst{i, i, 0.0, 0.0, 0};
        size_t quiet = 0;
        for (; i < samples.size() && quiet <= gap; ++i) {
            if (std::abs(samples[i]) > threshold) {
                burst.last = i;
                quiet = 0;
            } else {
                ++quiet;
            }
        }
        int crossings = 0;
        for (size_t k = burst.first; k <= burst.last; ++k) {
            burst.peak = std::max(burst.peak, std::abs(static_cast<int>(samples[k])));
            if (k > burst.first && (samples[k - 1] < 0) != (samples[k] < 0)) ++crossings;
        }
        burst.seconds = static_cast<double>(burst.last - burst.first + 1) / rate;
        burst.frequency = crossings / (2.0 * burst.seconds);
        bursts.push_back(burst);
    }
    return bursts;
}

}  // namespace orvane::testing
