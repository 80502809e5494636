// The decision-height callout as committed: a RIFF WAVE image of exactly the
// shape the DH unit's sound buffer is made for, holding an audible word.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/base/files.h"

namespace {

std::vector<uint8_t> callout() {
    const auto bytes = panelhost::read_file_bytes(std::string(ORVANE_RES_DIR) + "/callout.wav");
    EXPECT_TRUE(bytes.has_value());
    return bytes.value_or(std::vector<uint8_t>{});
}

uint32_t u32(const std::vector<uint8_t>& b, size_t at) {
    uint32_t v = 0;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}
uint16_t u16(const std::vector<uint8_t>& b, size_t at) {
    uint16_t v = 0;
    std::memcpy(&v, b.data() + at, 2);
    return v;
}
std::string tag(const std::vector<uint8_t>& b, size_t at) { return std::string(b.begin() + at, b.begin() + at + 4); }

TEST(CalloutWave, HeaderChunksAndLengthAreExactlyThoseOfTheSoundBuffer) {
    const std::vector<uint8_t> w = callout();
    ASSERT_EQ(w.size(), 8228u);
    const struct {
        const char* field;
        uint32_t got, expected;
    } fields[] = {
        {"RIFF size", u32(w, 4), 8228 - 8},
        {"fmt size", u32(w, 16), 16},
        {"format tag (PCM)", u16(w, 20), 1},
        {"channels", u16(w, 22), 1},
        {"samples per second", u32(w, 24), 11025},
        {"bytes per second", u32(w, 28), 11025},
        {"block alignment", u16(w, 32), 1},
        {"bits per sample", u16(w, 34), 8},
        {"data size", u32(w, 40), 8184},
    };
    for (const auto& f : fields) EXPECT_EQ(f.got, f.expected) << f.field;
    EXPECT_EQ(tag(w, 0), "RIFF");
    EXPECT_EQ(tag(w, 8), "WAVE");
    EXPECT_EQ(tag(w, 12), "fmt ");
    EXPECT_EQ(tag(w, 36), "data");
}

TEST(CalloutWave, TheWordFillsTheMiddleOfTheBufferAndItsEndsAreQuiet) {
    const std::vector<uint8_t> w = callout();
    ASSERT_EQ(w.size(), 8228u);
    const uint8_t* samples = w.data() + 44;
    // Peak deviation from the 8-bit silence level 128 in blocks of ~34 ms.
    constexpr int block = 372, blocks = 8184 / block;
    int loud_in_middle = 0, peak = 0;
    for (int i = 0; i < blocks; ++i) {
        int p = 0;
        for (int s = 0; s < block; ++s) p = std::max(p, std::abs(samples[i * block + s] - 128));
        peak = std::max(peak, p);
        if (i >= blocks / 4 && i < 3 * blocks / 4) loud_in_middle += p > 12;
    }
    EXPECT_GT(peak, 90) << "normalised close to full scale";
    EXPECT_GE(loud_in_middle, (blocks / 2) * 2 / 3) << "the middle of the buffer is mostly speech";
    for (int s = 8184 - 200; s < 8184; ++s) EXPECT_NEAR(samples[s], 128, 2) << "sample " << s;
}

}  // namespace
