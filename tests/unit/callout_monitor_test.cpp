#include "platform/failure_switches.h"
#include "host/services/main_window.h"
#include "host/services/sound_monitor.h"
#include "tests/unit/callout_fixture.h"

namespace orvane::testing {
namespace {

TEST_F(CalloutTest, TheHostHearsEachCalloutOnceWithItsFormat) {
    give_module_wave(callout_image());
    panelhost::SoundMonitor monitor;
    ASSERT_TRUE(monitor.watching());
    install();
    fly(100, 200);
    EXPECT_TRUE(monitor.take_plays().empty());
    fly(50, 200);
    const std::vector<panelhost::SoundPlay> heard = monitor.take_plays();
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(panelhost::describe(heard[0]), "sound play 8184 bytes, format 1, 1 channel, 11025 Hz, 8 bit");
    fly(40, 200);
    EXPECT_TRUE(monitor.take_plays().empty()) << "each play is reported once";
}

TEST_F(CalloutTest, PlaysBeforeTheHostStartedWatchingAreNotReported) {
    give_module_wave(callout_image());
    install();
    fly(100, 200);
    fly(50, 200);
    panelhost::SoundMonitor monitor;
    EXPECT_TRUE(monitor.take_plays().empty());
    fly(100, 200);
    fly(50, 200);
    EXPECT_EQ(monitor.take_plays().size(), 1u);
}

TEST(CalloutMonitorTest, PlayDescriptionsNameEveryPartOfTheFormat) {
    const struct {
        panelhost::SoundPlay play;
        const char* line;
    } cases[] = {
        {{8184, 1, 1, 11025, 8, 0}, "sound play 8184 bytes, format 1, 1 channel, 11025 Hz, 8 bit"},
        {{400, 1, 2, 44100, 16, 1}, "sound play 400 bytes, format 1, 2 channels, 44100 Hz, 16 bit, looping"},
    };
    for (const auto& c : cases) EXPECT_EQ(panelhost::describe(c.play), c.line);
}

}  // namespace
}  // namespace orvane::testing

namespace orvane::testing {
namespace {

TEST_F(CalloutTest, TheHostCountsCalloutPlaysSinceItsLastLook) {
    give_module_wave(callout_image());
    install();
    fly(100, 200);
    fly(50, 200);
    panelhost::start_sound_monitor();
    EXPECT_EQ(panelhost::take_callout_plays(), 0) << "plays before the start do not count";
    fly(100, 200);
    fly(50, 200);
    fly(100, 200);
    fly(50, 200);
    EXPECT_EQ(panelhost::take_callout_plays(), 2);
    EXPECT_EQ(panelhost::take_callout_plays(), 0);
}

}  // namespace
}  // namespace orvane::testing

namespace orvane::testing {
namespace {

TEST(CalloutMonitorTest, TheHostsMainWindowIsFoundByItsClassWhileItLasts) {
    platform::reset_failures();
    const struct {
        panelhost::MainWindowClass window_class;
        bool fs98_found;
        bool cfs_found;
    } cases[] = {
        {panelhost::MainWindowClass::fs98, true, false},
        {panelhost::MainWindowClass::cfs, false, true},
        {panelhost::MainWindowClass::none, false, false},
    };
    for (const auto& c : cases) {
        const char* name = panelhost::main_window_class_name(c.window_class);
        {
            panelhost::MainWindow window;
            ASSERT_EQ(window.create(c.window_class), "") << name;
            EXPECT_EQ(FindWindowA("FS98MAIN", nullptr) != nullptr, c.fs98_found) << name;
            EXPECT_EQ(FindWindowA("MSCFSMAIN", nullptr) != nullptr, c.cfs_found) << name;
        }
        EXPECT_EQ(FindWindowA(name, nullptr), nullptr) << name << ": gone with the host's window";
    }
}

}  // namespace
}  // namespace orvane::testing
