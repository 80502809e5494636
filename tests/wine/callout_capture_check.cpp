// Counts the decision-height callouts in a recording of the sound output:
// the loudness envelope of the callout's own samples is slid along the
// recording's, and every place where the shapes match closely at a similar
// level is one callout. Prints the count; exits 0 when it is the expected one.
//
//   callout_capture_check RECORDING.wav CALLOUT.wav EXPECTED_COUNT
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Sound {
    uint32_t rate = 0;
    std::vector<double> mono;  // -1 .. 1
};

uint32_t u32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24;
}
uint16_t u16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

double sample_at(const std::vector<uint8_t>& b, size_t at, uint16_t tag, uint16_t bits) {
    if (tag == 3 && bits == 32) {
        float f;
        std::memcpy(&f, &b[at], 4);
        return f;
    }
    switch (bits) {
        case 8: return (b[at] - 128) / 128.0;
        case 16: return static_cast<int16_t>(u16(b, at)) / 32768.0;
        case 24: return static_cast<int32_t>(u32(b, at - 1) & 0xFFFFFF00u) / 2147483648.0;
        case 32: return static_cast<int32_t>(u32(b, at)) / 2147483648.0;
    }
    return 0.0;
}

// A WAVE file, also one whose writer was stopped before it could set the
// sizes: a data chunk that claims more than is there, or nothing, runs to
// the end of the file.
bool read_wave(const char* path, Sound& out, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(&b[8], "WAVE", 4) != 0) {
        error = std::string(path) + ": not a RIFF WAVE file";
        return false;
    }
    uint16_t tag = 0, channels = 0, bits = 0;
    size_t at = 12;
    while (at + 8 <= b.size()) {
        const uint32_t size = u32(b, at + 4);
        const size_t body = at + 8;
        if (std::memcmp(&b[at], "fmt ", 4) == 0 && body + 16 <= b.size()) {
            tag = u16(b, body);
            channels = u16(b, body + 2);
            out.rate = u32(b, body + 4);
            bits = u16(b, body + 14);
            if (tag == 0xFFFE && size >= 40 && body + 26 <= b.size()) tag = u16(b, body + 24);
        } else if (std::memcmp(&b[at], "data", 4) == 0) {
            if (channels == 0 || bits == 0 || bits % 8 != 0 || out.rate == 0) break;
            size_t end = b.size();
            if (size != 0 && size <= b.size() - body) end = body + size;
            const size_t frame = size_t{channels} * bits / 8;
            for (size_t f = body; f + frame <= end; f += frame) {
                double sum = 0;
                for (uint16_t c = 0; c < channels; ++c) sum += sample_at(b, f + c * bits / 8u, tag, bits);
                out.mono.push_back(sum / channels);
            }
            return true;
        }
        at = body + size + (size & 1u);
    }
    error = std::string(path) + ": no format and data to read";
    return false;
}

// Loudness every 10 ms.
std::vector<double> envelope(const Sound& s) {
    const size_t window = s.rate / 100;
    std::vector<double> out;
    for (size_t start = 0; start + window <= s.mono.size(); start += window) {
        double energy = 0;
        for (size_t i = start; i < start + window; ++i) energy += s.mono[i] * s.mono[i];
        out.push_back(std::sqrt(energy / static_cast<double>(window)));
    }
    return out;
}

double mean(const double* v, size_t n) {
    double sum = 0;
    for (size_t i = 0; i < n; ++i) sum += v[i];
    return sum / static_cast<double>(n);
}

double correlation(const double* a, const double* b, size_t n) {
    const double ma = mean(a, n), mb = mean(b, n);
    double ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < n; ++i) {
        ab += (a[i] - ma) * (b[i] - mb);
        aa += (a[i] - ma) * (a[i] - ma);
        bb += (b[i] - mb) * (b[i] - mb);
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0.0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: callout_capture_check RECORDING.wav CALLOUT.wav EXPECTED_COUNT\n");
        return 2;
    }
    Sound recording, callout;
    std::string error;
    if (!read_wave(argv[1], recording, error) || !read_wave(argv[2], callout, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    const std::vector<double> heard = envelope(recording);
    const std::vector<double> shape = envelope(callout);
    const size_t n = shape.size();
    if (n == 0) {
        std::fprintf(stderr, "%s: too short to have a shape\n", argv[2]);
        return 2;
    }
    const double level = mean(shape.data(), n);

    // Score every offset; a callout is a close match at a level near the callout's own.
    std::vector<double> score(heard.size() >= n ? heard.size() - n + 1 : 0, 0.0);
    for (size_t at = 0; at < score.size(); ++at) {
        const double here = mean(&heard[at], n);
        if (here < 0.5 * level || here > 2.0 * level) continue;
        score[at] = correlation(&heard[at], shape.data(), n);
    }
    constexpr double close_match = 0.85;
    int count = 0;
    for (;;) {
        size_t best = 0;
        for (size_t at = 1; at < score.size(); ++at) {
            if (score[at] > score[best]) best = at;
        }
        if (score.empty() || score[best] < close_match) break;
        ++count;
        std::printf("callout at %.2f s, match %.3f\n", static_cast<double>(best) / 100.0, score[best]);
        const size_t from = best >= n ? best - n + 1 : 0;
        for (size_t at = from; at < score.size() && at < best + n; ++at) score[at] = 0.0;
    }
    const int expected = std::atoi(argv[3]);
    std::printf("%d callout%s heard in %.2f s of output, %d expected\n", count, count == 1 ? "" : "s",
                static_cast<double>(heard.size()) / 100.0, expected);
    return count == expected ? 0 : 1;
}
