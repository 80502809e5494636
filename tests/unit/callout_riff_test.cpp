#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "platform/win_multimedia.h"
#include "tests/unit/callout_fixture.h"

namespace orvane::testing {
namespace {

// A memory file over a copy of the image, closed at the end of the scope.
class MemoryFile {
public:
    explicit MemoryFile(Bytes image) : image_(std::move(image)) {
        MMIOINFO info = {};
        info.fccIOProc = FOURCC_MEM;
        info.pchBuffer = reinterpret_cast<HPSTR>(image_.data());
        info.cchBuffer = static_cast<LONG>(image_.size());
        handle_ = mmioOpenA(nullptr, &info, MMIO_READWRITE | MMIO_ALLOCBUF);
    }
    ~MemoryFile() {
        if (handle_ != nullptr) mmioClose(handle_, 0);
    }
    HMMIO handle() const { return handle_; }

private:
    Bytes image_;
    HMMIO handle_;
};

MMRESULT descend_riff(HMMIO file, MMCKINFO& riff) {
    riff = {};
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    return mmioDescend(file, &riff, nullptr, MMIO_FINDRIFF);
}

MMRESULT find(HMMIO file, MMCKINFO& chunk_info, const char* id, const MMCKINFO* parent) {
    chunk_info = {};
    chunk_info.ckid = mmioFOURCC(id[0], id[1], id[2], id[3]);
    return mmioDescend(file, &chunk_info, parent, MMIO_FINDCHUNK);
}

TEST(CalloutRiffWalkerTest, DescentFindsChunksFromThePositionWithinTheParent) {
    const Bytes junk = chunk("junk", Bytes(5, 0xEE));  // odd: followed by a pad byte
    MemoryFile file(riff("WAVE", {junk, chunk("fmt ", pcm_format()), chunk("data", samples(9))}));
    ASSERT_NE(file.handle(), nullptr);

    MMCKINFO riff_info;
    ASSERT_EQ(descend_riff(file.handle(), riff_info), MMSYSERR_NOERROR);
    EXPECT_EQ(riff_info.ckid, FOURCC_RIFF);
    EXPECT_EQ(riff_info.dwDataOffset, 8u);

    MMCKINFO fmt;
    ASSERT_EQ(find(file.handle(), fmt, "fmt ", &riff_info), MMSYSERR_NOERROR);
    EXPECT_EQ(fmt.cksize, 16u);
    EXPECT_EQ(fmt.dwDataOffset, 12u + 8 + 6 + 8);  // past the junk chunk and its pad byte
    ASSERT_EQ(mmioAscend(file.handle(), &fmt, 0), MMSYSERR_NOERROR);

    MMCKINFO data;
    ASSERT_EQ(find(file.handle(), data, "data", &riff_info), MMSYSERR_NOERROR);
    EXPECT_EQ(data.cksize, 9u);
    char read[16] = {};
    EXPECT_EQ(mmioRead(file.handle(), read, sizeof read), 10) << "9 samples and the pad byte, then the end";
    EXPECT_EQ(mmioRead(file.handle(), read, sizeof read), 0);
    // The data chunk lies behind the position now: a second search misses it.
    EXPECT_EQ(find(file.handle(), data, "data", &riff_info), MMIOERR_CHUNKNOTFOUND);
}

TEST(CalloutRiffWalkerTest, ChunkSearchesStopAtTheEndOfTheFileAndTheParent) {
    const struct {
        const char* name;
        Bytes image;
        const char* wanted;
        MMRESULT result;
    } cases[] = {
        {"no fmt chunk", riff("WAVE", {chunk("data", samples(8))}), "fmt ", MMIOERR_CHUNKNOTFOUND},
        {"header cut short", Bytes{'R', 'I', 'F', 'F', 8, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't'}, "fmt ",
         MMIOERR_CHUNKNOTFOUND},
        {"a chunk claiming 4 GiB ends the search",
         riff("WAVE", {chunk("junk", Bytes(4), 0xFFFFFFFFu), chunk("fmt ", pcm_format())}), "fmt ",
         MMIOERR_CHUNKNOTFOUND},
        {"chunk beyond the RIFF's declared end", riff("WAVE", {chunk("junk", Bytes(4)), chunk("fmt ", pcm_format())}, 16),
         "fmt ", MMIOERR_CHUNKNOTFOUND},
        {"RIFF claiming more than the file", riff("WAVE", {chunk("fmt ", pcm_format())}, 5000), "fmt ",
         MMSYSERR_NOERROR},
    };
    for (const auto& c : cases) {
        MemoryFile file(c.image);
        MMCKINFO riff_info;
        ASSERT_EQ(descend_riff(file.handle(), riff_info), MMSYSERR_NOERROR) << c.name;
        MMCKINFO wanted;
        EXPECT_EQ(find(file.handle(), wanted, c.wanted, &riff_info), c.result) << c.name;
    }
}

TEST(CalloutRiffWalkerTest, RiffDescentNeedsTheRightFormType) {
    const struct {
        const char* name;
        Bytes image;
        MMRESULT result;
    } cases[] = {
        {"WAVE form", riff("WAVE", {}), MMSYSERR_NOERROR},
        {"other form", riff("AVI ", {}), MMIOERR_CHUNKNOTFOUND},
        {"not RIFF at all", chunk("LIST", Bytes{'W', 'A', 'V', 'E'}), MMIOERR_CHUNKNOTFOUND},
        {"empty file", Bytes{}, MMIOERR_CHUNKNOTFOUND},
        {"RIFF without its form type", Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 0}, MMIOERR_CHUNKNOTFOUND},
    };
    for (const auto& c : cases) {
        MemoryFile file(c.image);
        ASSERT_NE(file.handle(), nullptr) << c.name;
        MMCKINFO riff_info;
        EXPECT_EQ(descend_riff(file.handle(), riff_info), c.result) << c.name;
    }
}

TEST(CalloutRiffWalkerTest, ReadsStopAtTheEndOfTheMemoryFile) {
    MemoryFile file(Bytes{1, 2, 3, 4, 5});
    char out[8] = {};
    EXPECT_EQ(mmioRead(file.handle(), out, 3), 3);
    EXPECT_EQ(mmioRead(file.handle(), out, 8), 2);
    EXPECT_EQ(out[0], 4);
    EXPECT_EQ(out[1], 5);
    EXPECT_EQ(mmioRead(file.handle(), out, 8), 0);
    EXPECT_EQ(mmioRead(file.handle(), out, -1), -1);
    EXPECT_EQ(mmioRead(nullptr, out, 1), -1);
}

TEST(CalloutRiffWalkerTest, AscentSkipsThePadByteOfAnOddChunk) {
    const struct {
        const char* name;
        Bytes image;
        MMRESULT result;
        LONG left_after;
    } cases[] = {
        {"odd chunk with its pad", riff("WAVE", {chunk("odd ", Bytes(3)), chunk("next", Bytes(2))}), MMSYSERR_NOERROR, 10},
        {"odd last chunk without its pad", riff("WAVE", {chunk("odd ", Bytes(3), 3, false)}), MMSYSERR_NOERROR, 0},
        {"chunk claiming more than the file", riff("WAVE", {chunk("odd ", Bytes(3), 40)}), MMIOERR_CANNOTSEEK, -1},
    };
    for (const auto& c : cases) {
        MemoryFile file(c.image);
        MMCKINFO riff_info;
        ASSERT_EQ(descend_riff(file.handle(), riff_info), MMSYSERR_NOERROR) << c.name;
        MMCKINFO odd;
        ASSERT_EQ(find(file.handle(), odd, "odd ", &riff_info), MMSYSERR_NOERROR) << c.name;
        EXPECT_EQ(mmioAscend(file.handle(), &odd, 0), c.result) << c.name;
        if (c.left_after >= 0) {
            char rest[64];
            EXPECT_EQ(mmioRead(file.handle(), rest, sizeof rest), c.left_after) << c.name;
        }
    }
}

TEST(CalloutRiffWalkerTest, OnlyMemoryFilesOpenAndHandlesCloseOnce) {
    Bytes image = riff("WAVE", {});
    MMIOINFO info = {};
    info.fccIOProc = FOURCC_DOS;
    info.pchBuffer = reinterpret_cast<HPSTR>(image.data());
    info.cchBuffer = static_cast<LONG>(image.size());
    EXPECT_EQ(mmioOpenA(nullptr, &info, MMIO_READ), nullptr);
    EXPECT_NE(info.wErrorRet, 0u);

    info.fccIOProc = FOURCC_MEM;
    const HMMIO file = mmioOpenA(nullptr, &info, MMIO_READ);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(info.hmmio, file);
    EXPECT_EQ(mmioClose(file, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(mmioClose(file, 0), MMSYSERR_INVALHANDLE);
    MMCKINFO chunk_info = {};
    EXPECT_EQ(mmioDescend(file, &chunk_info, nullptr, 0), MMSYSERR_INVALHANDLE);
}

// Loading images of every shape: what is loaded, or that the sound goes off.
struct ImageCase {
    const char* name;
    Bytes image;
    DWORD loaded;  // 0: the load fails and the sound is off
};

TEST_F(CalloutTest, LoadingAcceptsWellFormedImagesAndRefusesBrokenOnes) {
    const Bytes data = samples(100);
    const ImageCase cases[] = {
        {"the callout's shape", callout_image(), callout_sample_bytes},
        {"18-byte fmt chunk", riff("WAVE", {chunk("fmt ", pcm_format(1, 11025, 8, true)), chunk("data", data)}), 100},
        {"chunks of other kinds before each", riff("WAVE", {chunk("LIST", Bytes(7)), chunk("fmt ", pcm_format()),
                                                             chunk("fact", Bytes(4)), chunk("data", data)}),
         100},
        {"odd-sized data with its pad byte", riff("WAVE", {chunk("fmt ", pcm_format()), chunk("data", samples(101))}),
         101},
        {"16-bit stereo", riff("WAVE", {chunk("fmt ", pcm_format(2, 22050, 16)), chunk("data", data)}), 100},
        {"no fmt chunk", riff("WAVE", {chunk("data", data)}), 0},
        {"no data chunk", riff("WAVE", {chunk("fmt ", pcm_format())}), 0},
        {"data before fmt", riff("WAVE", {chunk("data", data), chunk("fmt ", pcm_format())}), 0},
        {"not a WAVE form", riff("AVI ", {chunk("fmt ", pcm_format()), chunk("data", data)}), 0},
        {"data chunk claiming more than the image holds",
         riff("WAVE", {chunk("fmt ", pcm_format()), chunk("data", data, 8184)}), 0},
        {"data chunk claiming 4 GiB", riff("WAVE", {chunk("fmt ", pcm_format()), chunk("data", data, 0xFFFFFFF0u)}), 0},
        {"empty data chunk", riff("WAVE", {chunk("fmt ", pcm_format()), chunk("data", {})}), 0},
        {"fmt cut short at the end of the image", riff("WAVE", {chunk("data", data), chunk("fmt ", Bytes(6))}), 0},
        {"format the device refuses", riff("WAVE", {chunk("fmt ", pcm_format(1, 11025, 12)), chunk("data", data)}), 0},
        {"empty image", Bytes{}, 0},
        {"image of a header only", Bytes{'R', 'I', 'F', 'F'}, 0},
    };
    for (const ImageCase& c : cases) {
        SetUp();
        give_module_wave(c.image);
        install();
        platform::SoundBufferDescription made = {};
        const DWORD loaded = platform::describe_sound_buffer(callout_buffer, made) ? made.bytes : 0;
        EXPECT_EQ(loaded, c.loaded) << c.name;
        EXPECT_EQ(sound_available, c.loaded != 0 ? 1 : 0) << c.name;
        TearDown();
    }
}

TEST_F(CalloutTest, LoadWaveBufferReturnsTheSampleBytesAndDoesNothingWithTheSoundOff) {
    give_module_wave(callout_image());
    LPDIRECTSOUND device = nullptr;
    ASSERT_EQ(create_sound_device(nullptr, device), 1);
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    EXPECT_EQ(load_wave_buffer(device, buffer, callout_wave_id, instance()), callout_sample_bytes);
    ASSERT_NE(buffer, nullptr);
    release_sound_object(buffer);

    EXPECT_EQ(load_wave_buffer(device, buffer, callout_wave_id + 1, instance()), 0u) << "no such resource";
    EXPECT_EQ(sound_available, 0);
    buffer = reinterpret_cast<LPDIRECTSOUNDBUFFER>(&buffer);  // must stay untouched
    EXPECT_EQ(load_wave_buffer(device, buffer, callout_wave_id, instance()), 0u);
    EXPECT_EQ(buffer, reinterpret_cast<LPDIRECTSOUNDBUFFER>(&buffer));
    buffer = nullptr;
    release_sound_object(device);
}

}  // namespace
}  // namespace orvane::testing

namespace orvane::testing {
namespace {

// Damaged images of every kind: whatever the bytes, loading ends with a
// buffer no larger than the image or with the sound off, and gives back all
// it took (the fixture checks that after each image).
TEST_F(CalloutTest, DamagedImagesLoadSafelyOrTurnTheSoundOff) {
    const uint32_t seed = std::random_device{}();
    std::printf("seed %u\n", seed);
    std::mt19937 random(seed);
    const Bytes good = riff("WAVE", {chunk("fmt ", pcm_format()), chunk("data", samples(64))});
    for (int round = 0; round < 400; ++round) {
        Bytes image = good;
        const int damage = 1 + static_cast<int>(random() % 4);
        for (int d = 0; d < damage; ++d) {
            switch (random() % 3) {
                case 0: image[random() % image.size()] = static_cast<uint8_t>(random()); break;
                case 1: image.resize(random() % (image.size() + 1)); break;
                default: image.insert(image.begin() + static_cast<long>(random() % (image.size() + 1)),
                                      static_cast<uint8_t>(random()));
            }
            if (image.empty()) image.push_back(0);
        }
        SetUp();
        give_module_wave(image);
        install();
        if (sound_available == 1) {
            ASSERT_NE(callout_buffer, nullptr) << "seed " << seed << ", round " << round;
            platform::SoundBufferDescription made = {};
            ASSERT_TRUE(platform::describe_sound_buffer(callout_buffer, made));
            EXPECT_LE(made.bytes, image.size()) << "seed " << seed << ", round " << round;
        } else {
            EXPECT_EQ(callout_buffer, nullptr) << "seed " << seed << ", round " << round;
        }
        TearDown();
    }
}

}  // namespace
}  // namespace orvane::testing
