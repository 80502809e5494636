#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/win_dsound.h"
#include "platform/win_kernel.h"
#include "tests/unit/callout_fixture.h"

namespace orvane::testing {
namespace {

using platform::Call;
using platform::SoundEvent;

std::vector<SoundEvent> events_of(const std::vector<platform::SoundRecord>& log) {
    std::vector<SoundEvent> events;
    for (const platform::SoundRecord& r : log) events.push_back(r.event);
    return events;
}

TEST_F(CalloutTest, LoadingTheCalloutFillsABufferWithItsPcmSamples) {
    give_module_wave(callout_image());
    install();
    ASSERT_EQ(sound_available, 1);
    ASSERT_NE(callout_device, nullptr);
    ASSERT_NE(callout_buffer, nullptr);

    platform::SoundBufferDescription made = {};
    ASSERT_TRUE(platform::describe_sound_buffer(callout_buffer, made));
    EXPECT_EQ(made.bytes, callout_sample_bytes);
    EXPECT_EQ(made.flags, 0x80E0u);
    const WAVEFORMATEX& format = made.format;
    EXPECT_EQ(format.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(format.nChannels, 1);
    EXPECT_EQ(format.nSamplesPerSec, 11025u);
    EXPECT_EQ(format.wBitsPerSample, 8);
    EXPECT_EQ(format.nBlockAlign, 1);
    EXPECT_EQ(format.nAvgBytesPerSec, 11025u);
    // The two bytes after a 16-byte fmt chunk belong to the next chunk's header.
    EXPECT_EQ(format.cbSize, 0);

    EXPECT_EQ(events_of(platform::sound_log()),
              (std::vector<SoundEvent>{SoundEvent::DeviceCreated, SoundEvent::CooperativeLevelSet,
                                       SoundEvent::BufferCreated, SoundEvent::Locked, SoundEvent::Unlocked,
                                       SoundEvent::PositionSet}));
    EXPECT_EQ(platform::sound_log()[1].value, DSSCL_NORMAL);

    fly(100, 200);
    fly(50, 200);
    ASSERT_EQ(plays(), 1u);
    EXPECT_EQ(platform::sound_plays()[0].samples, samples(callout_sample_bytes));
    EXPECT_EQ(platform::sound_plays()[0].flags, 0u);
}

TEST_F(CalloutTest, InstallFindsTheHostMainWindowOfItsExecutableKind) {
    give_module_wave(callout_image());
    const HWND window = platform::set_main_window_class("FS98MAIN");
    install();  // the test executable's name gives the FS98MAIN class
    EXPECT_EQ(host_main_window, window);
    EXPECT_EQ(module_instance, instance());
    callout_kill();

    platform::set_main_window_class("MSCFSMAIN");
    install();
    EXPECT_EQ(host_main_window, nullptr);
    // No main window is not itself a failure: this device takes a null window.
    EXPECT_EQ(sound_available, 1);
}

TEST_F(CalloutTest, AHostOfTheCombatKindIsFoundByItsOwnWindowClass) {
    give_module_wave(callout_image());
    const struct Row {
        const char* executable;
        const char* window_class;
    } rows[] = {
        {"C:\\CFS\\CFS.EXE", "MSCFSMAIN"},
        {"C:\\CFS2\\CFS2.EXE", "MSCFSMAIN"},
        {"C:\\FS2000\\FS2000.EXE", "FS98MAIN"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.executable);
        platform::set_executable_path(row.executable);
        const HWND window = platform::set_main_window_class(row.window_class);
        install();
        EXPECT_EQ(host_main_window, window);
        EXPECT_EQ(sound_available, 1);
        callout_kill();
    }
    platform::set_executable_path(nullptr);
}

// The platform reports a device or a buffer made and hands back none, or
// hands back the buffer's lock in two pieces: no sound without its objects,
// and the samples whole whichever way the lock comes.
TEST_F(CalloutTest, ADriverThatHandsBackNothingOrSplitsALockIsTakenAsItComes) {
    const struct Row {
        const char* what;
        void (*arrange)();
        int32_t sound;
    } rows[] = {
        {"a device reported made but none", [] { platform::hand_back_nothing(Call::DirectSoundCreate); }, 0},
        {"a buffer reported made but none", [] { platform::hand_back_nothing(Call::CreateSoundBuffer); }, 0},
        {"a lock in two pieces", [] { platform::split_locks(1000); }, 1},
        {"a lock whose first piece is empty", [] { platform::split_locks(0); }, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        platform::reset_failures();
        platform::clear_sound_log();
        sound_available = 1;
        give_module_wave(callout_image());
        row.arrange();
        install();
        EXPECT_EQ(sound_available, row.sound);
        EXPECT_EQ(callout_buffer != nullptr, row.sound == 1);
        fly(100, 200);
        fly(50, 200);
        ASSERT_EQ(plays(), static_cast<size_t>(row.sound));
        if (row.sound == 1) {
            EXPECT_EQ(platform::sound_plays()[0].samples, samples(callout_sample_bytes));
        }
        callout_kill();
        EXPECT_EQ(platform::live_sound_objects(), 0);
    }
}

TEST_F(CalloutTest, NoDeviceToLoadIntoTurnsTheSoundOff) {
    give_module_wave(callout_image());
    LPDIRECTSOUND no_device = nullptr;
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    EXPECT_EQ(load_wave_buffer(no_device, buffer, callout_wave_id, instance()), 0u);
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(sound_available, 0);
}

TEST_F(CalloutTest, HostExecutableKindTestsSingleCharactersInOrder) {
    const struct {
        const char* base_name;
        int32_t kind;
    } cases[] = {
        {"abc2", 4},       // character 3 "2" wins even without a leading "C"
        {"CFS2", 4},       // and over a leading "C"
        {"C", 2},
        {"CFS", 2},
        {"Cab2x", 4},
        {"FS2000", 3},     // character 2 "2"
        {"C12", 2},        // a leading "C" comes before character 2
        {"cfs", 1},        // lower-case c
        {"cfs1", 1},
        {"FS", 1},         // two characters, no leading "C"
        {"FS9", 1},
        {"", 1},
        {"panelhost", 1},
        {"ab2", 3},
    };
    for (const auto& c : cases) EXPECT_EQ(executable_kind_of(c.base_name), c.kind) << '"' << c.base_name << '"';
}

TEST_F(CalloutTest, HostExecutableKindReadsTheRunningExecutable) {
    // "orvane_unit_tests": no "2" at 2 or 3 and no leading "C".
    EXPECT_EQ(host_executable_kind(), 1);
    platform::fail_call(Call::GetModuleFileNameA);
    EXPECT_EQ(host_executable_kind(), 1);  // no path: an empty name
}

struct FailureCase {
    const char* name;
    Call call;
    int from_use;  // which use of the call fails
    bool fails_at_install;
    int objects_kept;  // the device stays while only the loading or the play failed
};

// Every call of the sound path that can fail, one at a time.
const FailureCase sound_failures[] = {
    {"device creation", Call::DirectSoundCreate, 1, true, 0},
    {"cooperative level", Call::SetCooperativeLevel, 1, true, 0},
    {"resource lookup", Call::FindResourceA, 1, true, 1},
    {"resource load", Call::LoadResource, 1, true, 1},
    {"resource lock", Call::LockResource, 1, true, 1},
    {"resource size", Call::SizeofResource, 1, true, 1},
    {"memory file open", Call::mmioOpenA, 1, true, 1},
    {"descent into RIFF", Call::mmioDescend, 1, true, 1},
    {"descent into fmt", Call::mmioDescend, 2, true, 1},
    {"descent into data", Call::mmioDescend, 3, true, 1},
    {"format read", Call::mmioRead, 1, true, 1},
    {"sample read", Call::mmioRead, 2, true, 1},
    {"ascent from fmt", Call::mmioAscend, 1, true, 1},
    {"temporary block", Call::GlobalAlloc, 1, true, 1},
    {"temporary block lock", Call::GlobalLock, 1, true, 1},
    {"buffer creation", Call::CreateSoundBuffer, 1, true, 1},
    {"buffer lock", Call::Lock, 1, true, 1},
    {"buffer unlock", Call::Unlock, 1, true, 1},
    {"buffer position", Call::SetCurrentPosition, 1, true, 1},
    {"play", Call::Play, 1, false, 1},
};

TEST_F(CalloutTest, EveryFailureTurnsTheSoundOffSilentlyAndArmingGoesOn) {
    for (const FailureCase& c : sound_failures) {
        SetUp();
        give_module_wave(callout_image());
        platform::fail_call(c.call, c.from_use);
        install();
        EXPECT_EQ(sound_available, c.fails_at_install ? 0 : 1) << c.name;
        if (c.fails_at_install) {
            EXPECT_EQ(callout_buffer, nullptr) << c.name;
        }

        fly(100, 200);
        fly(50, 200);
        EXPECT_EQ(sound_available, 0) << c.name;
        EXPECT_EQ(plays(), 0u) << c.name;
        EXPECT_EQ(callout_buffer, nullptr) << c.name;
        EXPECT_EQ(cockpit.dh_callout_armed, 0) << c.name;
        fly(100, 200);
        EXPECT_EQ(cockpit.dh_callout_armed, 1) << c.name << ": re-arms";
        // Whatever was abandoned on the way is given back, not just forgotten.
        EXPECT_EQ(platform::live_sound_objects(), c.objects_kept) << c.name;
        EXPECT_EQ(platform::global_blocks_in_use(), blocks_before) << c.name;
        EXPECT_EQ(platform::open_memory_files(), files_before) << c.name;
        TearDown();
    }
}

TEST_F(CalloutTest, AfterAFailureKillAndReinstallKeepTheSoundOffAndLeakNothing) {
    for (const FailureCase& c : sound_failures) {
        SetUp();
        give_module_wave(callout_image());
        platform::fail_call(c.call, c.from_use);
        install();
        fly(100, 200);
        fly(50, 200);
        callout_kill();
        platform::reset_failures();
        platform::clear_sound_log();

        install();  // a device is still created; nothing is loaded
        EXPECT_EQ(sound_available, 0) << c.name;
        EXPECT_NE(callout_device, nullptr) << c.name;
        EXPECT_EQ(callout_buffer, nullptr) << c.name;
        EXPECT_EQ(events_of(platform::sound_log()),
                  (std::vector<SoundEvent>{SoundEvent::DeviceCreated, SoundEvent::CooperativeLevelSet}))
            << c.name;
        fly(100, 200);
        fly(50, 200);
        EXPECT_EQ(plays(), 0u) << c.name;
        callout_kill();
        EXPECT_EQ(platform::live_sound_objects(), 0) << c.name;
        TearDown();
    }
}

TEST_F(CalloutTest, AFailedCloseOfTheMemoryFileDoesNotStopTheSound) {
    give_module_wave(callout_image());
    platform::fail_call(Call::mmioClose);
    install();
    EXPECT_EQ(sound_available, 1);
    fly(100, 200);
    fly(50, 200);
    EXPECT_EQ(plays(), 1u);
}

TEST_F(CalloutTest, KillReleasesTheBufferBeforeTheDeviceAndASecondKillDoesNothing) {
    give_module_wave(callout_image());
    install();
    platform::clear_sound_log();
    callout_kill();
    EXPECT_EQ(events_of(platform::sound_log()),
              (std::vector<SoundEvent>{SoundEvent::BufferReleased, SoundEvent::DeviceReleased}));
    EXPECT_EQ(callout_buffer, nullptr);
    EXPECT_EQ(callout_device, nullptr);
    EXPECT_EQ(sound_available, 1);
    callout_kill();
    EXPECT_EQ(platform::sound_log().size(), 2u);
}

TEST_F(CalloutTest, ReinstallAfterKillBuildsTheSoundAfresh) {
    give_module_wave(callout_image());
    install();
    callout_kill();
    install();
    ASSERT_NE(callout_buffer, nullptr);
    fly(100, 200);
    fly(50, 200);
    EXPECT_EQ(plays(), 1u);
}

TEST_F(CalloutTest, ASecondInstallWithoutKillGivesBackWhatTheFirstBuilt) {
    give_module_wave(callout_image());
    install();
    install();
    EXPECT_EQ(platform::live_sound_objects(), 2);  // one device, one buffer
    fly(100, 200);
    fly(50, 200);
    EXPECT_EQ(plays(), 1u);
}

TEST_F(CalloutTest, EachDescentPlaysTheCalloutFromItsStart) {
    give_module_wave(callout_image());
    install();
    for (int descent = 0; descent < 3; ++descent) {
        fly(100, 200);
        fly(50, 200);
    }
    ASSERT_EQ(plays(), 3u);
    for (const platform::PlayedSound& play : platform::sound_plays()) {
        EXPECT_EQ(play.samples.size(), callout_sample_bytes);
    }
}

}  // namespace
}  // namespace orvane::testing

namespace orvane::testing {
namespace {

TEST_F(CalloutTest, TheModulesOwnCalloutLoadsAs8184BytesOfPcmMono11025HzEightBit) {
    // The test program carries the module's resources, as the module does.
    const HINSTANCE own = GetModuleHandleA(nullptr);
    ASSERT_NE(own, nullptr);
    callout_install(reinterpret_cast<ServiceExtra>(own));
    ASSERT_EQ(sound_available, 1);
    ASSERT_NE(callout_buffer, nullptr);
    platform::SoundBufferDescription made = {};
    ASSERT_TRUE(platform::describe_sound_buffer(callout_buffer, made));
    EXPECT_EQ(made.bytes, 8184u);
    const WAVEFORMATEX& format = made.format;
    EXPECT_EQ(format.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(format.nChannels, 1);
    EXPECT_EQ(format.nSamplesPerSec, 11025u);
    EXPECT_EQ(format.wBitsPerSample, 8);

    fly(100, 200);
    fly(50, 200);
    ASSERT_EQ(plays(), 1u);
    std::ifstream in(std::string(ORVANE_RES_DIR) + "/callout.wav", std::ios::binary);
    const Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(file.size(), 8228u);
    EXPECT_EQ(platform::sound_plays()[0].samples, Bytes(file.begin() + 44, file.end()))
        << "what plays is the recording's sample data, whole";
}

}  // namespace
}  // namespace orvane::testing
