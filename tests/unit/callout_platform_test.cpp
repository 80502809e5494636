#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "module/platform_services.h"
#include "platform/failure_switches.h"

namespace {

TEST(CalloutPlatformTest, SplitPathFollowsWindowsRules) {
    const struct {
        const char* path;
        const char* drive;
        const char* dir;
        const char* fname;
        const char* ext;
    } cases[] = {
        {"C:\\FS2000\\FLTSIM98.EXE", "C:", "\\FS2000\\", "FLTSIM98", ".EXE"},
        {"/usr/lib/orvane/panelhost", "", "/usr/lib/orvane/", "panelhost", ""},
        {"D:/mixed\\slashes/cfs2.exe", "D:", "/mixed\\slashes/", "cfs2", ".exe"},
        {"name.tar.gz", "", "", "name.tar", ".gz"},
        {"dir.d\\file", "", "dir.d\\", "file", ""},
        {"\\.hidden", "", "\\", "", ".hidden"},
        {"trailing.", "", "", "trailing", "."},
        {"C:", "C:", "", "", ""},
        {"", "", "", "", ""},
        {"x", "", "", "x", ""},
    };
    for (const auto& c : cases) {
        char drive[_MAX_DRIVE], dir[_MAX_DIR], fname[_MAX_FNAME], ext[_MAX_EXT];
        _splitpath(c.path, drive, dir, fname, ext);
        EXPECT_STREQ(drive, c.drive) << c.path;
        EXPECT_STREQ(dir, c.dir) << c.path;
        EXPECT_STREQ(fname, c.fname) << c.path;
        EXPECT_STREQ(ext, c.ext) << c.path;
    }
}

TEST(CalloutPlatformTest, SplitPathCutsEachPartToItsBuffer) {
    const std::string long_name(400, 'n');
    const std::string path = "C:\\" + long_name + ".ext";
    char guard_before[8];
    char fname[_MAX_FNAME];
    char guard_after[8];
    std::memset(guard_before, 0x5A, sizeof guard_before);
    std::memset(guard_after, 0x5A, sizeof guard_after);
    _splitpath(path.c_str(), nullptr, nullptr, fname, nullptr);
    EXPECT_EQ(std::strlen(fname), static_cast<size_t>(_MAX_FNAME - 1));
    for (char c : guard_before) EXPECT_EQ(c, 0x5A);
    for (char c : guard_after) EXPECT_EQ(c, 0x5A);
}

TEST(CalloutPlatformTest, ModuleFileNameOfTheHostIsTheRunningExecutable) {
    platform::reset_failures();
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(length, std::strlen(path));
    EXPECT_NE(std::strstr(path, "orvane_unit_tests"), nullptr) << path;

    char small[8];
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), sizeof small) << "cut to the buffer";
    EXPECT_EQ(std::strlen(small), sizeof small - 1);
    EXPECT_EQ(std::strncmp(small, path, sizeof small - 1), 0);

    EXPECT_EQ(GetModuleFileNameA(reinterpret_cast<HMODULE>(path), path, MAX_PATH), 0u) << "not a module";
    platform::fail_call(platform::Call::GetModuleFileNameA);
    EXPECT_EQ(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
    platform::reset_failures();
}

TEST(CalloutPlatformTest, FindWindowFindsOnlyTheRegisteredMainWindowClass) {
    platform::reset_failures();
    const HWND window = platform::set_main_window_class("FS98MAIN");
    ASSERT_NE(window, nullptr);
    const struct {
        const char* class_name;
        const char* window_name;
        bool found;
    } cases[] = {
        {"FS98MAIN", nullptr, true},
        {"fs98main", nullptr, true},  // class names ignore case
        {"MSCFSMAIN", nullptr, false},
        {"FS98MAIN", "Some title", false},
        {nullptr, nullptr, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindWindowA(c.class_name, c.window_name), c.found ? window : nullptr)
            << (c.class_name ? c.class_name : "(null)");
    }
    platform::set_main_window_class(nullptr);
    EXPECT_EQ(FindWindowA("FS98MAIN", nullptr), nullptr) << "a host without a main window";
}

TEST(CalloutPlatformTest, ASwitchFailsOneUseOrEveryUseFromOneOn) {
    const struct Row {
        const char* what;
        bool once;
        int nth;
        std::vector<bool> fails;  // the next five uses
    } rows[] = {
        {"the first use alone", true, 1, {true, false, false, false, false}},
        {"the third use alone", true, 3, {false, false, true, false, false}},
        {"from the second use on", false, 2, {false, true, true, true, true}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        platform::reset_failures();
        if (row.once) {
            platform::fail_call_once(platform::Call::GlobalAlloc, row.nth);
        } else {
            platform::fail_call(platform::Call::GlobalAlloc, row.nth);
        }
        for (const bool fails : row.fails) {
            const HGLOBAL block = GlobalAlloc(GMEM_FIXED, 4);
            EXPECT_EQ(block == nullptr, fails);
            if (block != nullptr) GlobalFree(block);
        }
        EXPECT_EQ(platform::call_uses(platform::Call::GlobalAlloc), 5);
    }
    platform::reset_failures();
}

TEST(CalloutPlatformTest, MovableBlocksAreReachedThroughLocks) {
    platform::reset_failures();
    const int before = platform::global_blocks_in_use();
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 64);
    ASSERT_NE(block, nullptr);
    void* memory = GlobalLock(block);
    ASSERT_NE(memory, nullptr);
    EXPECT_NE(memory, block) << "a movable block's handle is not its memory";
    std::memset(memory, 0xAB, 64);
    EXPECT_EQ(GlobalLock(block), memory);
    EXPECT_EQ(GlobalUnlock(block), TRUE) << "still locked once";
    EXPECT_EQ(GlobalUnlock(block), FALSE) << "now unlocked";
    EXPECT_EQ(GlobalUnlock(block), FALSE) << "not locked at all";
    EXPECT_EQ(GlobalFree(block), nullptr);
    EXPECT_EQ(platform::stale_releases(), 0);
    EXPECT_EQ(GlobalFree(block), block) << "a freed handle cannot be freed again";
    EXPECT_EQ(platform::stale_releases(), 1) << "and the second free is counted";
    EXPECT_EQ(GlobalLock(block), nullptr);

    const HGLOBAL empty = GlobalAlloc(GMEM_MOVEABLE, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(GlobalLock(empty), nullptr) << "a movable block of no bytes has no memory";
    EXPECT_EQ(GlobalFree(empty), nullptr);

    const HGLOBAL zeroed = GlobalAlloc(GHND, 16);
    const auto* bytes = static_cast<const unsigned char*>(GlobalLock(zeroed));
    ASSERT_NE(bytes, nullptr);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(bytes[i], 0) << i;
    GlobalUnlock(zeroed);
    GlobalFree(zeroed);
    EXPECT_EQ(platform::global_blocks_in_use(), before);
}

class StandInSoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::reset_failures();
        platform::clear_sound_log();
        ASSERT_EQ(DirectSoundCreate(nullptr, &device, nullptr), DS_OK);
        ASSERT_EQ(device->SetCooperativeLevel(nullptr, DSSCL_NORMAL), DS_OK);
    }
    void TearDown() override {
        if (buffer != nullptr) buffer->Release();
        if (device != nullptr) device->Release();
        EXPECT_EQ(platform::live_sound_objects(), 0);
    }

    HRESULT create(DWORD bytes, WAVEFORMATEX format, DWORD flags = 0) {
        description = {.dwSize = sizeof(DSBUFFERDESC), .dwFlags = flags, .dwBufferBytes = bytes};
        description.lpwfxFormat = &format;
        return device->CreateSoundBuffer(&description, &buffer, nullptr);
    }

    static WAVEFORMATEX pcm(WORD channels, DWORD rate, WORD bits) {
        const WORD align = static_cast<WORD>(channels * bits / 8);
        return {.wFormatTag = WAVE_FORMAT_PCM, .nChannels = channels, .nSamplesPerSec = rate,
                .nAvgBytesPerSec = rate * align, .nBlockAlign = align, .wBitsPerSample = bits, .cbSize = 0};
    }

    LPDIRECTSOUND device = nullptr;
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    DSBUFFERDESC description = {};
};

TEST_F(StandInSoundTest, BufferCreationChecksTheDescriptionLikeTheDevice) {
    const struct {
        const char* name;
        DWORD bytes;
        WAVEFORMATEX format;
        DWORD flags;
        HRESULT result;
    } cases[] = {
        {"8-bit mono", 8184, pcm(1, 11025, 8), 0x80E0, DS_OK},
        {"16-bit stereo", 400, pcm(2, 44100, 16), 0, DS_OK},
        {"too small", 2, pcm(1, 11025, 8), 0, DSERR_INVALIDPARAM},
        {"12-bit samples", 100, pcm(1, 11025, 12), 0, DSERR_BADFORMAT},
        {"rate below the minimum", 100, pcm(1, 50, 8), 0, DSERR_BADFORMAT},
        {"primary buffer", 100, pcm(1, 11025, 8), DSBCAPS_PRIMARYBUFFER, DSERR_UNSUPPORTED},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(create(c.bytes, c.format, c.flags), c.result) << c.name;
        EXPECT_EQ(buffer != nullptr, c.result == DS_OK) << c.name;
        if (buffer != nullptr) buffer->Release();
        buffer = nullptr;
    }
    WAVEFORMATEX format = pcm(1, 11025, 8);
    description = {.dwSize = 12, .dwBufferBytes = 100, .lpwfxFormat = &format};
    EXPECT_EQ(device->CreateSoundBuffer(&description, &buffer, nullptr), DSERR_INVALIDPARAM) << "bad record size";
}

TEST_F(StandInSoundTest, LocksGiveRegionsWithinTheBufferAndWrapAround) {
    ASSERT_EQ(create(100, pcm(1, 11025, 8)), DS_OK);
    const struct {
        const char* name;
        DWORD offset;
        DWORD bytes;
        HRESULT result;
        DWORD first;
        DWORD second;
    } cases[] = {
        {"whole buffer", 0, 100, DS_OK, 100, 0},
        {"wrapping", 80, 50, DS_OK, 20, 30},
        {"offset past the end", 100, 1, DSERR_INVALIDPARAM, 0, 0},
        {"more than the buffer", 0, 101, DSERR_INVALIDPARAM, 0, 0},
        {"nothing", 0, 0, DSERR_INVALIDPARAM, 0, 0},
    };
    for (const auto& c : cases) {
        void* region1 = nullptr;
        void* region2 = nullptr;
        DWORD bytes1 = 0;
        DWORD bytes2 = 0;
        EXPECT_EQ(buffer->Lock(c.offset, c.bytes, &region1, &bytes1, &region2, &bytes2, 0), c.result) << c.name;
        if (c.result != DS_OK) continue;
        EXPECT_EQ(bytes1, c.first) << c.name;
        EXPECT_EQ(bytes2, c.second) << c.name;
        EXPECT_EQ(region2 != nullptr, c.second != 0) << c.name;
        EXPECT_EQ(buffer->Lock(0, 1, &region1, &bytes1, nullptr, nullptr, 0), DSERR_INVALIDPARAM)
            << c.name << ": already locked";
        EXPECT_EQ(buffer->Unlock(region1, bytes1 + 1, region2, bytes2), DSERR_INVALIDPARAM) << c.name << ": too much";
        EXPECT_EQ(buffer->Unlock(region1, bytes1, region2, bytes2), DS_OK) << c.name;
    }
}

TEST_F(StandInSoundTest, APlaySoundsFromThePositionAndLeavesTheBufferAtItsStart) {
    ASSERT_EQ(create(10, pcm(1, 11025, 8)), DS_OK);
    void* region1;
    void* region2;
    DWORD bytes1;
    DWORD bytes2;
    ASSERT_EQ(buffer->Lock(0, 10, &region1, &bytes1, &region2, &bytes2, 0), DS_OK);
    for (int i = 0; i < 10; ++i) static_cast<BYTE*>(region1)[i] = static_cast<BYTE>(i);
    ASSERT_EQ(buffer->Unlock(region1, bytes1, region2, bytes2), DS_OK);
    ASSERT_EQ(buffer->SetCurrentPosition(6), DS_OK);
    EXPECT_EQ(buffer->SetCurrentPosition(10), DSERR_INVALIDPARAM);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    EXPECT_EQ(buffer->Play(1, 0, 0), DSERR_INVALIDPARAM);
    ASSERT_EQ(platform::sound_plays().size(), 2u);
    EXPECT_EQ(platform::sound_plays()[0].samples, (std::vector<BYTE>{6, 7, 8, 9}));
    EXPECT_EQ(platform::sound_plays()[1].samples.size(), 10u);
}

TEST_F(StandInSoundTest, WhatWasPlayedIsWrittenAsAWaveFile) {
    EXPECT_FALSE(platform::write_played_wav("/nonexistent-dir/x.wav")) << "nothing played yet";
    ASSERT_EQ(create(5, pcm(1, 11025, 8)), DS_OK);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    const std::string path = ::testing::TempDir() + "/callout_played.wav";
    ASSERT_TRUE(platform::write_played_wav(path.c_str()));
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::vector<unsigned char> expected = {
        'R', 'I', 'F', 'F', 46, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0,
        1, 0, 1, 0, 0x11, 0x2B, 0, 0, 0x11, 0x2B, 0, 0, 1, 0, 8, 0,
        'd', 'a', 't', 'a', 10, 0, 0, 0, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80};
    EXPECT_EQ(file, expected);
    std::remove(path.c_str());
}

TEST_F(StandInSoundTest, ReleasingTheDeviceLosesItsBuffers) {
    ASSERT_EQ(create(8, pcm(1, 11025, 8)), DS_OK);
    device->Release();
    device = nullptr;
    EXPECT_EQ(buffer->Play(0, 0, 0), DSERR_BUFFERLOST);
}

// What the real services refuse, the stand-ins the callout uses refuse too:
// a test of the sound path that passes on them means the same on Windows.
TEST_F(StandInSoundTest, TheSoundObjectsRefuseWhatDirectSoundRefuses) {
    ASSERT_EQ(create(100, pcm(1, 11025, 8)), DS_OK);
    WAVEFORMATEX format = pcm(1, 11025, 8);
    DSBUFFERDESC good = {.dwSize = sizeof(DSBUFFERDESC), .dwBufferBytes = 100, .lpwfxFormat = &format};
    DSBUFFERDESC no_format = good;
    no_format.lpwfxFormat = nullptr;
    DSBUFFERDESC huge = good;
    huge.dwBufferBytes = DSBSIZE_MAX + 1;
    LPDIRECTSOUND other = nullptr;
    LPDIRECTSOUNDBUFFER made = nullptr;
    void* region1 = nullptr;
    void* region2 = nullptr;
    DWORD bytes1 = 0, bytes2 = 0;
    const GUID some_device = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    const struct Row {
        const char* what;
        HRESULT got;
        HRESULT expected;
    } rows[] = {
        {"a device with nowhere to put it", DirectSoundCreate(nullptr, nullptr, nullptr), DSERR_INVALIDPARAM},
        {"a device aggregated", DirectSoundCreate(nullptr, &other, reinterpret_cast<LPUNKNOWN>(&made)),
         DSERR_NOAGGREGATION},
        {"a device other than the default", DirectSoundCreate(&some_device, &other, nullptr), DSERR_NODRIVER},
        {"a cooperative level below normal", device->SetCooperativeLevel(nullptr, 0), DSERR_INVALIDPARAM},
        {"a cooperative level above write-primary", device->SetCooperativeLevel(nullptr, 5), DSERR_INVALIDPARAM},
        {"a buffer with nowhere to put it", device->CreateSoundBuffer(&good, nullptr, nullptr), DSERR_INVALIDPARAM},
        {"a buffer without description", device->CreateSoundBuffer(nullptr, &made, nullptr), DSERR_INVALIDPARAM},
        {"a buffer aggregated", device->CreateSoundBuffer(&good, &made, reinterpret_cast<LPUNKNOWN>(&made)),
         DSERR_NOAGGREGATION},
        {"a buffer without format", device->CreateSoundBuffer(&no_format, &made, nullptr), DSERR_INVALIDPARAM},
        {"a buffer beyond the largest", device->CreateSoundBuffer(&huge, &made, nullptr), DSERR_INVALIDPARAM},
        {"a lock with nowhere to put its region", buffer->Lock(0, 10, nullptr, &bytes1, nullptr, nullptr, 0),
         DSERR_INVALIDPARAM},
        {"a wrapping lock without a second region", buffer->Lock(90, 20, &region1, &bytes1, nullptr, nullptr, 0),
         DSERR_INVALIDPARAM},
        {"an unlock without a lock", buffer->Unlock(region1, 0, nullptr, 0), DSERR_INVALIDPARAM},
        {"a lock over the end", buffer->Lock(99, 10, &region1, &bytes1, &region2, &bytes2, 0), DS_OK},
        {"an unlock of another region", buffer->Unlock(region2, bytes1, region1, bytes2), DSERR_INVALIDPARAM},
        {"an unlock of a second region never given", buffer->Unlock(region1, bytes1, nullptr, 1), DSERR_INVALIDPARAM},
        {"an unlock of the lock", buffer->Unlock(region1, bytes1, region2, bytes2), DS_OK},
        {"a play at a priority", buffer->Play(0, 1, 0), DSERR_INVALIDPARAM},
    };
    for (const Row& row : rows) EXPECT_EQ(row.got, row.expected) << row.what;
    EXPECT_EQ(bytes1, 1u) << "the lock over the end holds the last byte, then the start";
    EXPECT_EQ(made, nullptr);
    EXPECT_EQ(other, nullptr);

    device->Release();
    device = nullptr;
    EXPECT_EQ(buffer->Lock(0, 10, &region1, &bytes1, &region2, &bytes2, 0), DSERR_BUFFERLOST);
    EXPECT_EQ(buffer->SetCurrentPosition(0), DSERR_BUFFERLOST);
}

TEST(CalloutPlatformTest, TheKernelAndFileServicesRefuseWhatWindowsRefuses) {
    platform::reset_failures();
    char path[8];
    char long_path[4096];
    MMIOINFO not_in_memory = {.fccIOProc = mmioFOURCC('D', 'O', 'S', ' ')};
    MMIOINFO negative = {.fccIOProc = FOURCC_MEM, .cchBuffer = -1};
    MMIOINFO allocated = {.fccIOProc = FOURCC_MEM, .cchBuffer = 16};
    const HMMIO file = mmioOpenA(nullptr, &allocated, MMIO_READWRITE | MMIO_ALLOCBUF);
    MMCKINFO list = {.fccType = mmioFOURCC('I', 'N', 'F', 'O')};
    const HGLOBAL fixed = GlobalAlloc(GMEM_FIXED, 0);
    const struct Row {
        const char* what;
        int64_t got;
        int64_t expected;
    } rows[] = {
        {"the program's name into no buffer", GetModuleFileNameA(nullptr, nullptr, 8), 0},
        {"the program's name into no room", GetModuleFileNameA(nullptr, path, 0), 0},
        {"the name of a module not loaded", GetModuleFileNameA(reinterpret_cast<HMODULE>(uintptr_t{0x10}), long_path,
                                                              sizeof long_path), 0},
        {"a window of the class with a title asked for",
         reinterpret_cast<intptr_t>(FindWindowA("FS98MAIN", "Flight Simulator")), 0},
        {"a memory file with no record", reinterpret_cast<intptr_t>(mmioOpenA(nullptr, nullptr, 0)), 0},
        {"a file that is not in memory", reinterpret_cast<intptr_t>(mmioOpenA(nullptr, &not_in_memory, 0)), 0},
        {"a memory file of negative size", reinterpret_cast<intptr_t>(mmioOpenA(nullptr, &negative, 0)), 0},
        {"a memory file of its own bytes", file != nullptr, 1},
        {"a LIST chunk where there is none", mmioDescend(file, &list, nullptr, MMIO_FINDLIST),
         MMIOERR_CHUNKNOTFOUND},
        {"a descent with no chunk record", mmioDescend(file, nullptr, nullptr, 0), MMSYSERR_INVALPARAM},
        {"an ascent with no chunk record", mmioAscend(file, nullptr, 0), MMSYSERR_INVALPARAM},
        {"an ascent of no file", mmioAscend(nullptr, &list, 0), MMSYSERR_INVALHANDLE},
        {"a read into no buffer", mmioRead(file, nullptr, 4), -1},
        {"a read of a negative count", mmioRead(file, path, -1), -1},
        {"a fixed block of no bytes", fixed != nullptr, 1},
        {"a fixed block locked is its memory", GlobalLock(fixed) == fixed, 1},
        {"a fixed block needs no unlock", GlobalUnlock(fixed), TRUE},
        {"an unknown block unlocked", GlobalUnlock(reinterpret_cast<HGLOBAL>(uintptr_t{0x10})), FALSE},
    };
    for (const Row& row : rows) EXPECT_EQ(row.got, row.expected) << row.what;
    EXPECT_EQ(platform::stale_releases(), 1) << "the unknown block";
    GlobalFree(fixed);
    mmioClose(file, 0);
    platform::reset_failures();
    char name[16] = "x";
    _splitpath(nullptr, nullptr, nullptr, name, nullptr);
    EXPECT_STREQ(name, "") << "no path splits into empty parts";
}
}  // namespace
