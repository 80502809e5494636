// Faults of the sound path injected at every platform call, alone, in pairs
// and in sequences with kills and installs again, through the panel host: the
// sound goes off and stays off, the callout's arming goes on, and nothing the
// path took is kept.
#include <cstdint>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "host/services/host_services.h"
#include "host/services/module_loader.h"
#include "host/panel/panel.h"
#include "host/services/sound_monitor.h"
#include "module/cockpit.h"
#include "module/host_vars.h"
#include "module/linkage.h"
#include "platform/failure_switches.h"
#include "platform/win_api.h"
#include "tests/hardening/linked_module.h"
#include "units/callout.h"
#include "units/callout_sound.h"

namespace orvane::hardening {
namespace {

using platform::Call;

constexpr int call_count = static_cast<int>(Call::count);

// Whether a failure of the call turns the sound off. The executable's name
// and the main window are not part of the path (without them the class is
// the default one and the window null, which the device takes), and closing
// the memory file is done with once the samples are read.
bool turns_sound_off(Call call) {
    switch (call) {
    case Call::GetModuleFileNameA:
    case Call::FindWindowA:
    case Call::mmioClose: return false;
    default: return true;
    }
}

// The module linked in, a host and a panel, with the sound path released and
// on; on the way out every gauge killed and the sound path released again.
struct SoundRig {
    SoundRig() {
        platform::reset_failures();
        sound_available = 1;
        callout_kill();
        platform::clear_sound_log();
        cockpit = cockpit_state_at_load;
        platform::set_main_window_class("FS98MAIN");
        blocks_before = platform::global_blocks_in_use();
        files_before = platform::open_memory_files();
        panelhost::start_module(host, records);
        panel = std::make_unique<panelhost::Panel>(host, records);
        panelhost::start_sound_monitor();
    }
    ~SoundRig() {
        for (const std::string& name : panel->installed_names()) panel->kill(name);
        panel.reset();
        panelhost::stop_module(host, records);
        platform::reset_failures();
        sound_available = 1;
        callout_kill();
        platform::set_main_window_class(nullptr);
        cockpit = cockpit_state_at_load;
    }

    // Climbs above the decision height, then descends below it: the callout
    // arms, then sounds (when the sound is on) and disarms. Returns the plays.
    int descend_through_decision_height() {
        const int plays_before = panel->sound_plays();
        host.set_var(DECISION_HEIGHT, 200.0);
        host.set_var(GROUND_ALTITUDE, 0.0);
        host.set_var(ALTITUDE, 300.0);
        panel->update();
        EXPECT_EQ(cockpit.dh_callout_armed, 1) << "above the decision height";
        host.set_var(ALTITUDE, 30.0);
        panel->update();
        EXPECT_EQ(cockpit.dh_callout_armed, 0) << "below the decision height";
        return panel->sound_plays() - plays_before;
    }

    void expect_nothing_kept(const char* when) {
        EXPECT_EQ(platform::live_sound_objects(), 0) << when;
        // A sound object released twice is freed memory used again, which the
        // sanitizer build reports; a handle given back twice is counted here.
        EXPECT_EQ(platform::stale_releases(), 0) << when << ": a handle given back twice";
        EXPECT_EQ(platform::global_blocks_in_use(), blocks_before) << when;
        EXPECT_EQ(platform::open_memory_files(), files_before) << when;
        for (const std::string& fault : panel->take_faults()) ADD_FAILURE() << when << ": " << fault;
    }

    panelhost::HostServices host;
    panelhost::ModuleRecords records{&ImportTable, &Linkage, linked_module_instance()};
    std::unique_ptr<panelhost::Panel> panel;
    int blocks_before = 0;
    int files_before = 0;
};

TEST(SoundFaults, WithNoFaultTheCalloutSoundsOnEveryDescentAndTheKillGivesAllBack) {
    SoundRig rig;
    ASSERT_TRUE(rig.panel->install("DH").ok());
    EXPECT_EQ(rig.descend_through_decision_height(), 1);
    EXPECT_EQ(rig.descend_through_decision_height(), 1);
    ASSERT_TRUE(rig.panel->kill("DH").ok());
    rig.expect_nothing_kept("after the kill");
    EXPECT_EQ(sound_available, 1);
}

// One call fails from install on; the unit is killed and installed again with
// the switch off: the sound stays off for good, the arming goes on.
TEST(SoundFaults, AFailureAtInstallTurnsTheSoundOffForGoodAndLeavesNothingBehind) {
    for (int c = 0; c < call_count; ++c) {
        const Call call = static_cast<Call>(c);
        SCOPED_TRACE(platform::call_name(call));
        SoundRig rig;
        platform::fail_call(call);
        ASSERT_TRUE(rig.panel->install("DH").ok());
        const int plays = rig.descend_through_decision_height();
        EXPECT_EQ(sound_available, turns_sound_off(call) ? 0 : 1);
        EXPECT_EQ(plays, sound_available);
        ASSERT_TRUE(rig.panel->kill("DH").ok());
        rig.expect_nothing_kept("after the kill");

        platform::reset_failures();
        const int32_t sound_before = sound_available;
        ASSERT_TRUE(rig.panel->install("DH").ok());
        EXPECT_EQ(rig.descend_through_decision_height(), sound_before);
        EXPECT_EQ(sound_available, sound_before) << "nothing turns the sound back on";
        ASSERT_TRUE(rig.panel->kill("DH").ok());
        rig.expect_nothing_kept("after the second kill");
    }
}

// Each use of each platform call an install makes, failing alone and once
// in turn: the install that meets it turns the sound off (unless the call is
// no part of the path), the kill gives back everything, nothing twice.
TEST(SoundFaults, EachCallOfAnInstallFailingOnceInTurnLeavesTheSoundOffAndNothingBehind) {
    int uses[call_count] = {};
    {
        SoundRig clean;
        ASSERT_TRUE(clean.panel->install("DH").ok());
        for (int c = 0; c < call_count; ++c) uses[c] = platform::call_uses(static_cast<Call>(c));
        ASSERT_TRUE(clean.panel->kill("DH").ok());
        EXPECT_EQ(sound_available, 1);
    }
    int tried = 0;
    for (int c = 0; c < call_count; ++c) {
        const Call call = static_cast<Call>(c);
        for (int use = 1; use <= uses[c]; ++use, ++tried) {
            SCOPED_TRACE(std::string(platform::call_name(call)) + ", use " + std::to_string(use));
            SoundRig rig;
            platform::fail_call_once(call, use);
            ASSERT_TRUE(rig.panel->install("DH").ok());
            EXPECT_EQ(sound_available, turns_sound_off(call) ? 0 : 1);
            EXPECT_EQ(rig.descend_through_decision_height(), sound_available);
            ASSERT_TRUE(rig.panel->kill("DH").ok());
            rig.expect_nothing_kept("after the kill");
        }
    }
    // The whole path: the executable's name, the window, the device, the
    // resource, the memory file's walk, the block and the buffer.
    EXPECT_EQ(tried, 22);
}

// Every pair of calls failing together at the second install: the first
// install, descent and kill go well, the second install meets both failures.
TEST(SoundFaults, TwoFailuresAtTheSecondInstallLeaveTheSoundOffAndNothingBehind) {
    for (int a = 0; a < call_count; ++a) {
        for (int b = a + 1; b < call_count; ++b) {
            const Call first = static_cast<Call>(a);
            const Call second = static_cast<Call>(b);
            SCOPED_TRACE(std::string(platform::call_name(first)) + " and " + platform::call_name(second));
            SoundRig rig;
            ASSERT_TRUE(rig.panel->install("DH").ok());
            EXPECT_EQ(rig.descend_through_decision_height(), 1);
            ASSERT_TRUE(rig.panel->kill("DH").ok());
            rig.expect_nothing_kept("after the first kill");
            platform::fail_call(first);
            platform::fail_call(second);
            ASSERT_TRUE(rig.panel->install("DH").ok());
            rig.descend_through_decision_height();
            EXPECT_EQ(sound_available, turns_sound_off(first) || turns_sound_off(second) ? 0 : 1);
            ASSERT_TRUE(rig.panel->kill("DH").ok());
            rig.expect_nothing_kept("after the second kill");
        }
    }
}

// A play that fails on the way down turns the sound off; the unit killed and
// installed again on a sound platform stays silent, and arms and disarms.
TEST(SoundFaults, APlayThatFailsTurnsTheSoundOffAcrossKillAndInstall) {
    SoundRig rig;
    ASSERT_TRUE(rig.panel->install("DH").ok());
    EXPECT_EQ(rig.descend_through_decision_height(), 1);
    platform::fail_call(Call::Play);
    EXPECT_EQ(rig.descend_through_decision_height(), 0);
    EXPECT_EQ(sound_available, 0);
    ASSERT_TRUE(rig.panel->kill("DH").ok());
    rig.expect_nothing_kept("after the kill");
    platform::reset_failures();
    ASSERT_TRUE(rig.panel->install("DH").ok());
    EXPECT_EQ(rig.descend_through_decision_height(), 0);
    EXPECT_EQ(sound_available, 0);
    ASSERT_TRUE(rig.panel->kill("DH").ok());
    rig.expect_nothing_kept("after the second kill");
}

// The host installing the unit again without a kill, and killing it more
// than once: what an install built is given back, nothing is released twice.
TEST(SoundFaults, InstallsWithoutKillAndKillsWithoutInstallKeepNothing) {
    SoundRig rig;
    for (int i = 0; i < 3; ++i) rig.panel->service("DH", SERVICE_PRE_INSTALL, rig.records.instance);
    EXPECT_EQ(platform::live_sound_objects(), 2) << "one device and one buffer";
    for (int i = 0; i < 3; ++i) rig.panel->service("DH", SERVICE_PRE_KILL, 0);
    rig.expect_nothing_kept("after the kills");
    EXPECT_EQ(sound_available, 1);
}

// A failure at the n-th use of each call, over five installs and kills in a
// row: whatever install meets it, the sound is off from there on and every
// kill gives back all the installs took.
TEST(SoundFaults, AFailureAtAnyLaterInstallIsFinalAndLeavesNothingBehind) {
    for (int c = 0; c < call_count; ++c) {
        const Call call = static_cast<Call>(c);
        if (!turns_sound_off(call) || call == Call::Play) continue;
        for (int use = 2; use <= 4; ++use) {
            SCOPED_TRACE(std::string(platform::call_name(call)) + " from use " + std::to_string(use));
            SoundRig rig;
            platform::fail_call(call, use);
            bool off = false;
            for (int install = 1; install <= 5; ++install) {
                ASSERT_TRUE(rig.panel->install("DH").ok());
                off = off || sound_available == 0;
                if (off) {
                    EXPECT_EQ(sound_available, 0) << "install " << install;
                }
                rig.descend_through_decision_height();
                ASSERT_TRUE(rig.panel->kill("DH").ok());
                rig.expect_nothing_kept("after a kill");
            }
            EXPECT_EQ(sound_available, 0) << "a call failing from its use " << use << " fails by the fifth install";
        }
    }
}

}  // namespace
}  // namespace orvane::hardening
