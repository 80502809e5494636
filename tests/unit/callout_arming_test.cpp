#include <cmath>
#include <limits>
#include <vector>

#include "platform/win_dsound.h"
#include "tests/unit/callout_fixture.h"

namespace orvane::testing {
namespace {

constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

// Radio altitude of 100 m exactly as the module computes it in feet.
const double hundred_metres_in_feet = 100.0 * feet_per_metre;

struct Step {
    double radio_metres;
    double decision_height_ft;
    int32_t armed_after;
    size_t plays_after;
};

struct ArmingCase {
    const char* name;
    std::vector<Step> steps;
};

class CalloutArmingTest : public CalloutTest {
protected:
    void run(const ArmingCase& c) {
        for (size_t i = 0; i < c.steps.size(); ++i) {
            const Step& s = c.steps[i];
            fly(s.radio_metres, s.decision_height_ft);
            EXPECT_EQ(cockpit.dh_callout_armed, s.armed_after) << c.name << ", step " << i;
            EXPECT_EQ(plays(), s.plays_after) << c.name << ", step " << i;
        }
    }
};

TEST_F(CalloutArmingTest, CalloutSoundsOncePerDescentThroughTheDecisionHeight) {
    // 200 ft decision height; 100 m is 328 ft, 50 m is 164 ft.
    const ArmingCase cases[] = {
        {"climbing above the decision height arms without a sound", {{0, 200, 0, 0}, {100, 200, 1, 0}}},
        {"descending through it plays once and disarms; staying below plays no more",
         {{100, 200, 1, 0}, {50, 200, 0, 1}, {40, 200, 0, 1}, {0, 200, 0, 1}}},
        {"climbing back re-arms and the next descent plays again",
         {{100, 200, 1, 0}, {50, 200, 0, 1}, {100, 200, 1, 1}, {50, 200, 0, 2}}},
        {"loaded below the decision height it stays silent until it has been above",
         {{0, 200, 0, 0}, {10, 200, 0, 0}, {50, 200, 0, 0}, {100, 200, 1, 0}, {50, 200, 0, 1}}},
        {"exactly at the decision height an unarmed callout does not arm",
         {{100, hundred_metres_in_feet, 0, 0}}},
        {"exactly at the decision height an armed callout neither plays nor disarms",
         {{200, hundred_metres_in_feet, 1, 0}, {100, hundred_metres_in_feet, 1, 0}}},
        {"raising the decision height above the aircraft plays it like a descent",
         {{100, 200, 1, 0}, {100, 400, 0, 1}}},
        {"a radio altitude that is not a number changes nothing",
         {{100, 200, 1, 0}, {nan_value, 200, 1, 0}, {50, 200, 0, 1}, {nan_value, 200, 0, 1}, {100, 200, 1, 1}}},
        {"a decision height that is not a number changes nothing",
         {{100, nan_value, 0, 0}, {100, 200, 1, 0}, {50, nan_value, 1, 0}, {50, 200, 0, 1}}},
        {"infinite radio altitudes compare like any other",
         {{inf, 200, 1, 0}, {-inf, 200, 0, 1}}},
        {"an aircraft below the ground elevation is below any decision height of zero or more",
         {{100, 0, 1, 0}, {-5, 0, 0, 1}}},
    };
    for (const ArmingCase& c : cases) {
        SetUp();
        give_module_wave(callout_image());
        install();
        run(c);
        TearDown();
    }
}

TEST_F(CalloutArmingTest, ArmingGoesOnWithTheSoundOffAndPlaysNothing) {
    install();  // no WAVE resource: the sound goes off at install
    ASSERT_EQ(sound_available, 0);
    run({"sound off", {{100, 200, 1, 0}, {50, 200, 0, 0}, {100, 200, 1, 0}, {50, 200, 0, 0}}});
}

TEST_F(CalloutArmingTest, ArmingWorksInEveryModeOfTheUnit) {
    give_module_wave(callout_image());
    install();
    for (const auto& [dh_mode, gsa_mode] : {std::pair{0, 0}, std::pair{1, 0}, std::pair{0, 1}}) {
        cockpit.dh_mode = dh_mode;
        cockpit.gsa_mode = gsa_mode;
        const size_t before = plays();
        fly(100, 200);
        fly(50, 200);
        EXPECT_EQ(plays(), before + 1) << "dh_mode " << dh_mode << ", gsa_mode " << gsa_mode;
    }
}

TEST_F(CalloutArmingTest, RadioAltitudeIsHeightAboveTheGroundUnderTheAircraft) {
    give_module_wave(callout_image());
    install();
    // 1000 m ground, aircraft at 1100 m: 328 ft above it, above a 300 ft decision height.
    fly(100, 300, 1000);
    EXPECT_EQ(cockpit.dh_callout_armed, 1);
    // At 1080 m the aircraft is 262 ft above the ground: below 300 ft.
    fly(80, 300, 1000);
    EXPECT_EQ(cockpit.dh_callout_armed, 0);
    EXPECT_EQ(plays(), 1u);
}

TEST_F(CalloutArmingTest, UpdatesWithoutABufferAreSafeAndKeepArming) {
    // Before any install, and after a kill: the sound is still available, but
    // there is nothing to play.
    fly(100, 200);
    fly(50, 200);
    EXPECT_EQ(cockpit.dh_callout_armed, 0);
    give_module_wave(callout_image());
    install();
    callout_kill();
    fly(100, 200);
    fly(50, 200);
    EXPECT_EQ(plays(), 0u);
    EXPECT_EQ(sound_available, 1);
    install();
    fly(100, 200);
    fly(50, 200);
    EXPECT_EQ(plays(), 1u);
}

std::vector<int32_t> refreshed_ids;
void HOST_CALL logging_refresh(ModuleVar* var) {
    refreshed_ids.push_back(var->id);
    panelhost::HostServices::active()->refresh(var);
}

TEST_F(CalloutArmingTest, UpdateRefreshesGroundAltitudeThenAircraftAltitudeThenDecisionHeight) {
    refreshed_ids.clear();
    host.table().slot[SLOT_REFRESH_VAR] = reinterpret_cast<HostOperation>(logging_refresh);
    callout_update();
    EXPECT_EQ(refreshed_ids, (std::vector<int32_t>{2, 73, 615}));
}

}  // namespace
}  // namespace orvane::testing
