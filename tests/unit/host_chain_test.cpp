#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/services/chain.h"

namespace panelhost {
namespace {

using namespace orvane;

// Elements linked by hand: next[i] is element i's next-element list.
struct HandChain {
    explicit HandChain(size_t n) : elements(n), lists(n) {
        for (size_t i = 0; i < n; ++i) {
            lists[i] = {i + 1 < n ? &elements[i + 1] : nullptr, nullptr};
            elements[i].next_element = lists[i].data();
        }
        first[0] = n > 0 ? &elements[0] : nullptr;
        gauge.elements_list = first;
    }
    std::vector<ElementHeader> elements;
    std::vector<std::vector<ElementHeader*>> lists;
    ElementHeader* first[2] = {nullptr, nullptr};
    GaugeHeader gauge{};
};

TEST(HostChainTests, ChainsEndWhereTheirNextListEnds) {
    const struct {
        const char* what;
        size_t length;
        int cut_at;        // element whose next list is cut, -1 for none
        bool null_entry;   // cut by a list whose first entry is null, rather than no list
        size_t expected;
    } cases[] = {
        {"three elements", 3, -1, false, 3},
        {"last element without a next list", 3, 2, false, 3},
        {"middle element without a next list", 5, 1, false, 2},
        {"middle element with an empty next list", 5, 2, true, 3},
        {"one element", 1, -1, false, 1},
    };
    for (const auto& c : cases) {
        HandChain chain(c.length);
        if (c.cut_at >= 0) {
            const auto i = static_cast<size_t>(c.cut_at);
            if (c.null_entry) {
                chain.lists[i][0] = nullptr;
            } else {
                chain.elements[i].next_element = nullptr;
            }
        }
        const ChainWalk walk = walk_chain(&chain.gauge);
        EXPECT_EQ(walk.elements.size(), c.expected) << c.what;
        EXPECT_TRUE(walk.problem.empty()) << c.what << ": " << walk.problem;
        for (size_t i = 0; i < walk.elements.size(); ++i) EXPECT_EQ(walk.elements[i], &chain.elements[i]) << c.what;
    }
}

TEST(HostChainTests, AGaugeWithoutElementsHasAnEmptyChain) {
    GaugeHeader no_list{};
    EXPECT_TRUE(walk_chain(&no_list).elements.empty());
    ElementHeader* empty_list[] = {nullptr};
    GaugeHeader empty{.elements_list = empty_list};
    EXPECT_TRUE(walk_chain(&empty).elements.empty());
    EXPECT_TRUE(walk_chain(nullptr).elements.empty());
}

TEST(HostChainTests, ACycleIsReportedNotFollowed) {
    const struct {
        const char* what;
        size_t from;
        size_t to;
        size_t walked;
        const char* problem;
    } cases[] = {
        {"last leads to first", 3, 0, 4, "element 3 leads back to element 0"},
        {"element leads to itself", 2, 2, 3, "element 2 leads back to element 2"},
        {"middle leads back", 4, 1, 5, "element 4 leads back to element 1"},
    };
    for (const auto& c : cases) {
        HandChain chain(5);
        chain.lists[c.from][0] = &chain.elements[c.to];
        const ChainWalk walk = walk_chain(&chain.gauge);
        EXPECT_EQ(walk.elements.size(), std::min<size_t>(c.walked, 5)) << c.what;
        EXPECT_NE(walk.problem.find(c.problem), std::string::npos) << c.what << ": " << walk.problem;
    }
}

TEST(HostChainTests, AnAbsurdlyLongChainIsCutAndReported) {
    HandChain chain(12);
    const ChainWalk walk = walk_chain(&chain.gauge, 10);
    EXPECT_EQ(walk.elements.size(), 10u);
    EXPECT_NE(walk.problem.find("longer than 10"), std::string::npos) << walk.problem;
    EXPECT_TRUE(walk_chain(&chain.gauge, 12).problem.empty());
}

TEST(HostChainTests, FailureListsStopDrawingOnlyForActiveNoDrawKeys) {
    FailureRecord attitude[] = {
        {.key = FAIL_SYSTEM_ELECTRICAL_PANELS, .action = FAIL_ACTION_NO_DRAW},
        {.key = FAIL_SYSTEM_VACUUM, .action = FAIL_ACTION_NO_DRAW},
        {.key = FAIL_GAUGE_ATTITUDE, .action = 1},
        {.key = FAIL_NONE},
        {.key = 9, .action = FAIL_ACTION_NO_DRAW},  // after the end: never read
    };
    const struct {
        std::set<int32_t> active;
        bool stops;
    } cases[] = {
        {{}, false},
        {{FAIL_SYSTEM_ELECTRICAL_PANELS}, true},
        {{FAIL_SYSTEM_VACUUM, 99}, true},
        {{FAIL_GAUGE_ATTITUDE}, false},
        {{9}, false},
        {{21, 22}, false},
    };
    for (const auto& c : cases) {
        std::string keys;
        for (const int32_t key : c.active) keys += std::to_string(key) + " ";
        EXPECT_EQ(failure_stops_drawing(attitude, c.active), c.stops) << "active: " << keys;
    }
    EXPECT_FALSE(failure_stops_drawing(nullptr, {FAIL_SYSTEM_ELECTRICAL_PANELS}));
}

TEST(HostChainTests, AFailureListWithoutEndIsReadNoFurtherThanItsBound) {
    std::vector<FailureRecord> endless(max_failure_records + 1, {.key = 7, .action = 1});
    endless[max_failure_records] = {.key = 8, .action = FAIL_ACTION_NO_DRAW};
    EXPECT_FALSE(failure_stops_drawing(endless.data(), {8}));

    ElementHeader element{.failure_systems = endless.data()};
    const std::vector<std::string> problems = check_elements({&element});
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("element 0: failure list has no end record"), std::string::npos) << problems[0];
}

TEST(HostChainTests, DrawnMeansHideBitClearAndNoFailure) {
    FailureRecord panels[] = {{.key = FAIL_SYSTEM_ELECTRICAL_PANELS, .action = FAIL_ACTION_NO_DRAW}, {}};
    const struct {
        uint32_t flags;
        bool failed;
        bool drawn;
    } cases[] = {
        {0x7, false, true},
        {0x7 | IMAGE_HIDDEN, false, false},
        {0x7, true, false},
        {IMAGE_HIDDEN, true, false},
        {0x80000000u, false, true},
    };
    for (const auto& c : cases) {
        ElementHeader element{.failure_systems = panels, .image_flags = c.flags};
        std::set<int32_t> active;
        if (c.failed) active.insert(FAIL_SYSTEM_ELECTRICAL_PANELS);
        EXPECT_EQ(element_drawn(element, active), c.drawn) << std::hex << c.flags << " failed " << c.failed;
    }
}

TEST(HostChainTests, UnknownElementKindsAreFaults) {
    ElementHeader known{.element_type = ELEMENT_SPRITE};
    ElementHeader beyond{.element_type = 7};
    ElementHeader negative{.element_type = -1};
    const std::vector<std::string> problems = check_elements({&known, &beyond, &negative});
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0], "element 1 has unknown kind 7");
    EXPECT_EQ(problems[1], "element 2 has unknown kind -1");
}

}  // namespace
}  // namespace panelhost
