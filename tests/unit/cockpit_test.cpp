#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "module/cockpit.h"

namespace orvane {
namespace {

constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

struct TestCase {
    const char* name;
    double value;
    bool on;
    bool zero;
};

TEST(HostValueTests, OnMeansExactlyOneAndZeroTreatsNanAndNegativeZeroAsZero) {
    const TestCase cases[] = {
        {"one", 1.0, true, false},
        {"zero", 0.0, false, true},
        {"negative zero", -0.0, false, true},
        {"nan", nan_value, false, true},
        {"negative nan", -nan_value, false, true},
        {"half", 0.5, false, false},
        {"two", 2.0, false, false},
        {"minus one", -1.0, false, false},
        {"next above one", std::nextafter(1.0, 2.0), false, false},
        {"next below one", std::nextafter(1.0, 0.0), false, false},
        {"denormal", std::numeric_limits<double>::denorm_min(), false, false},
        {"infinity", inf, false, false},
    };
    for (const TestCase& c : cases) {
        EXPECT_EQ(is_on(c.value), c.on) << c.name;
        EXPECT_EQ(is_zero(c.value), c.zero) << c.name;
    }
}

TEST(HostValueTests, TruncationToStateIsDefinedForEveryClassOfInput) {
    const struct {
        double value;
        uint32_t expected;
    } cases[] = {
        {0.0, 0},
        {-0.0, 0},
        {1.0, 1},
        {1.9, 1},
        {0.5, 0},
        {-0.5, 0},
        {2.0, 2},
        {-1.0, 0xFFFFFFFFu},       // low 32 bits of -1
        {-2147483648.0, 0x80000000u},
        {4294967295.0, 0xFFFFFFFFu},
        {4294967296.0, 0},         // 2^32 wraps to 0
        {4294967297.5, 1},
        {1e18, static_cast<uint32_t>(1000000000000000000ULL)},
        {9223372036854775808.0, 0},  // 2^63: out of range
        {1e308, 0},
        {std::numeric_limits<double>::max(), 0},
        {std::numeric_limits<double>::lowest(), 0},
        {std::numeric_limits<double>::denorm_min(), 0},
        {nan_value, 0},
        {inf, 0},
        {-inf, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(truncate_to_u32(c.value), c.expected) << "value " << c.value;
    }
}

class ChainTest : public ::testing::Test {
protected:
    ElementHeader third{.image_flags = 0x7};
    ElementHeader* third_list[2] = {&third, nullptr};
    ElementHeader second{.next_element = third_list, .image_flags = 0x3};
    ElementHeader* second_list[2] = {&second, nullptr};
    ElementHeader first{.next_element = second_list, .image_flags = 0x4001};
};

TEST_F(ChainTest, NthElementWalksTheChainAndStopsAtItsEnd) {
    EXPECT_EQ(nth_element(&first, 0), &first);
    EXPECT_EQ(nth_element(&first, 1), &second);
    EXPECT_EQ(nth_element(&first, 2), &third);
    EXPECT_EQ(nth_element(&first, 3), nullptr);
    EXPECT_EQ(nth_element(&first, 0xFFFFFFFFu), nullptr);
    EXPECT_EQ(nth_element(nullptr, 0), nullptr);
    EXPECT_EQ(nth_element(nullptr, 2), nullptr);
}

TEST_F(ChainTest, AnEmptyNextListEndsTheChain) {
    ElementHeader* empty[1] = {nullptr};
    third.next_element = empty;
    EXPECT_EQ(nth_element(&first, 3), nullptr);
    EXPECT_EQ(nth_element(&first, 4), nullptr);
}

TEST_F(ChainTest, HideAndShowTouchOnlyTheGivenBitsOfTheGivenElement) {
    hide_element(&first, 2, IMAGE_HIDDEN);
    EXPECT_EQ(third.image_flags, 0x40000007u);
    EXPECT_EQ(first.image_flags, 0x4001u);
    EXPECT_EQ(second.image_flags, 0x3u);

    hide_element(&first, 2, IMAGE_HIDDEN);
    EXPECT_EQ(third.image_flags, 0x40000007u);

    show_element(&first, 2, IMAGE_HIDDEN);
    EXPECT_EQ(third.image_flags, 0x7u);
    show_element(&first, 2, IMAGE_HIDDEN);
    EXPECT_EQ(third.image_flags, 0x7u);
}

TEST_F(ChainTest, HideAndShowPastTheEndChangeNothing) {
    hide_element(&first, 3, IMAGE_HIDDEN);
    show_element(&first, 3, IMAGE_HIDDEN);
    hide_element(nullptr, 0, IMAGE_HIDDEN);
    EXPECT_EQ(first.image_flags, 0x4001u);
    EXPECT_EQ(second.image_flags, 0x3u);
    EXPECT_EQ(third.image_flags, 0x7u);
}

// A cursor walks on from where it stopped, but must find what nth_element
// finds from the first element whatever order it is asked in.
TEST_F(ChainTest, ACursorFindsWhatNthElementFindsInAnyOrder) {
    ElementHeader* empty[1] = {nullptr};
    const struct {
        const char* chain_end;
        ElementHeader** third_next;
    } ends[] = {{"no next list", nullptr}, {"an empty next list", empty}};
    const std::vector<uint32_t> orders[] = {
        {0, 1, 2, 3, 4},      // rising, past the end
        {2, 2, 1, 0},         // the same again, then falling
        {4, 3, 2, 5, 1},      // from past the end back into the chain
        {1, 0xFFFFFFFFu, 2},  // the farthest index, then back
    };
    for (const auto& end : ends) {
        third.next_element = end.third_next;
        for (const auto& order : orders) {
            GaugeHeader gauge{};
            ElementHeader* list[2] = {&first, nullptr};
            gauge.elements_list = list;
            ElementCursor cursor = element_cursor(&gauge);
            for (const uint32_t n : order) {
                EXPECT_EQ(cursor_element(cursor, n), nth_element(&first, n)) << end.chain_end << ", index " << n;
            }
        }
    }
}

TEST_F(ChainTest, ACursorOfAGaugeWithoutElementsFindsNothing) {
    GaugeHeader no_list{};
    ElementHeader* empty_list[1] = {nullptr};
    GaugeHeader empty{};
    empty.elements_list = empty_list;
    for (GaugeHeader* gauge : {static_cast<GaugeHeader*>(nullptr), &no_list, &empty}) {
        ElementCursor cursor = element_cursor(gauge);
        EXPECT_EQ(cursor_element(cursor, 0), nullptr);
        EXPECT_EQ(cursor_element(cursor, 3), nullptr);
        set_element_visible(cursor, 0, false);
    }
}

TEST_F(ChainTest, ShowingAndHidingThroughACursorTouchesOnlyTheHideBit) {
    GaugeHeader gauge{};
    ElementHeader* list[2] = {&first, nullptr};
    gauge.elements_list = list;
    ElementCursor cursor = element_cursor(&gauge);
    set_element_visible(cursor, 1, false);
    set_element_visible(cursor, 2, false);
    set_element_visible(cursor, 3, false);
    EXPECT_EQ(first.image_flags, 0x4001u);
    EXPECT_EQ(second.image_flags, 0x40000003u);
    EXPECT_EQ(third.image_flags, 0x40000007u);
    set_element_visible(cursor, 2, true);
    set_element_visible(cursor, 0, false);
    EXPECT_EQ(first.image_flags, 0x40004001u);
    EXPECT_EQ(third.image_flags, 0x7u);
}

TEST(CockpitStateTests, LoadValuesHaveEverySwitchOffAndDme1Selected) {
    const CockpitState s = cockpit_state_at_load;
    EXPECT_EQ(s.mach_mode, 0);
    EXPECT_EQ(s.speed_window_live + s.heading_window_live + s.altitude_window_live + s.vs_window_live, 0);
    EXPECT_EQ(s.dh_mode, 0);
    EXPECT_EQ(s.gsa_mode, 0);
    EXPECT_EQ(std::bit_cast<uint64_t>(s.gsa_angle), 0u);
    EXPECT_EQ(s.ls_display, 0);
    EXPECT_EQ(s.dme_source, 1);
    EXPECT_EQ(s.dh_callout_armed, 0);
}

}  // namespace
}  // namespace orvane
