#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "tests/unit/pfd_fixture.h"

namespace orvane {
namespace {

using testing::PfdTest;

constexpr uint32_t text_elements[] = {4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23};

const double awkward_values[] = {
    0.0,
    -0.0,
    1.0,
    -1.0,
    0.5,
    std::numeric_limits<double>::quiet_NaN(),
    -std::numeric_limits<double>::quiet_NaN(),
    std::bit_cast<double>(uint64_t{0x7FF0000000000001}),  // signalling NaN
    std::numeric_limits<double>::infinity(),
    -std::numeric_limits<double>::infinity(),
    std::numeric_limits<double>::max(),
    std::numeric_limits<double>::lowest(),
    std::numeric_limits<double>::denorm_min(),
    -std::numeric_limits<double>::denorm_min(),
    std::numeric_limits<double>::min(),
    1e300,
    -1e300,
    4294967296.0,
    -2147483649.0,
    99999.5,
};

const int32_t awkward_switches[] = {0, 1, 2, -1, INT_MIN, INT_MAX};

class PfdBadInputTest : public PfdTest {
protected:
    // Every text stays inside its character count; both bars stay within
    // their travel; the update touches nothing but the hide bit.
    void update_everything_and_check(const std::string& context) {
        uint32_t flags_before[PFD_ELEMENT_COUNT];
        for (uint32_t n = 0; n < PFD_ELEMENT_COUNT; ++n) flags_before[n] = chain(n)->image_flags;
        pfd_service_callback(&pfd_gauge, SERVICE_PRE_UPDATE, 0);
        for (uint32_t n = 0; n < PFD_ELEMENT_COUNT; ++n) {
            ASSERT_EQ(chain(n)->image_flags & ~IMAGE_HIDDEN, flags_before[n] & ~IMAGE_HIDDEN) << context;
        }
        for (uint32_t n : text_elements) {
            update_text(n);
            ASSERT_LE(text(n).size(), as_text(chain(n))->max_string_length) << context << ", element " << n;
        }
        for (ElementSlider* bar : {&pfd_fd_pitch_bar, &pfd_fd_roll_bar}) {
            host.refresh(&bar->source_var_x);
            host.refresh(&bar->source_var_y);
            const double value = bar == &pfd_fd_pitch_bar ? bar->update_y_cb(bar) : bar->update_x_cb(bar);
            ASSERT_TRUE(value >= -25.0 && value <= 25.0) << context << ", bar value " << value;
        }
    }

    void fill(double value) {
#define ORVANE_FILL_VAR(name, number) host.set_var(number, value);
        ORVANE_HOST_VARIABLES(ORVANE_FILL_VAR)
#undef ORVANE_FILL_VAR
    }
};

TEST_F(PfdBadInputTest, EveryHostValueAndCockpitSwitchGivesBoundedTextsAndBars) {
    for (double value : awkward_values) {
        for (int32_t switch_value : awkward_switches) {
            fill(value);
            cockpit.ls_display = switch_value;
            cockpit.dme_source = switch_value;
            cockpit.dh_mode = switch_value;
            cockpit.gsa_mode = switch_value == 1 ? 0 : 1;
            cockpit.gsa_angle = value;
            update_everything_and_check("value " + std::to_string(value) + ", switches " +
                                        std::to_string(switch_value));
        }
    }
}

// Random host values of every magnitude and class, random switches and a
// random order of callbacks; seeded so that a failure can be replayed.
TEST_F(PfdBadInputTest, RandomValuesAndCallOrdersKeepEveryTextInItsBuffer) {
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937_64 random(seed);
    const int32_t ids[] = {
#define ORVANE_VAR_NUMBER(name, number) number,
        ORVANE_HOST_VARIABLES(ORVANE_VAR_NUMBER)
#undef ORVANE_VAR_NUMBER
    };
    auto random_value = [&]() -> double {
        switch (random() % 4) {
            case 0:
                return awkward_values[random() % std::size(awkward_values)];
            case 1:
                return std::bit_cast<double>(random());  // any bit pattern at all
            case 2: {
                const double magnitude = std::ldexp(1.0, static_cast<int>(random() % 80) - 20);
                return (static_cast<double>(random() % 2000001) / 1000000.0 - 1.0) * magnitude;
            }
            default:
                return static_cast<double>(static_cast<int64_t>(random() % 200001) - 100000) / 10.0;
        }
    };
    for (int round = 0; round < 3000; ++round) {
        for (int32_t id : ids) set(id, random_value());
        cockpit.ls_display = awkward_switches[random() % std::size(awkward_switches)];
        cockpit.dme_source = awkward_switches[random() % std::size(awkward_switches)];
        cockpit.dh_mode = static_cast<int32_t>(random() % 3);
        cockpit.gsa_mode = static_cast<int32_t>(random() % 3);
        cockpit.gsa_angle = random_value();
        for (int call = 0; call < 8; ++call) {
            const uint32_t pick = static_cast<uint32_t>(random() % 24);
            if (pick < std::size(text_elements)) {
                const uint32_t n = text_elements[pick];
                update_text(n);
                ASSERT_LE(text(n).size(), as_text(chain(n))->max_string_length) << "element " << n;
            } else if (pick == 20) {
                pfd_service_callback(&pfd_gauge, static_cast<int32_t>(random() % 16), 0);
            } else if (pick == 21) {
                const double value = pfd_pitch_bar_value(&pfd_fd_pitch_bar);
                ASSERT_TRUE(value >= -25.0 && value <= 25.0) << value;
            } else {
                host.refresh(&pfd_fd_roll_bar.source_var_x);
                const double value = pfd_roll_bar_value(&pfd_fd_roll_bar);
                ASSERT_TRUE(value >= -25.0 && value <= 25.0) << value;
            }
        }
    }
    for (uint32_t n = 0; n < PFD_ELEMENT_COUNT; ++n) {
        const bool switched = n >= PFD_GLIDESLOPE_SCALE && n <= PFD_FD_ROLL_BAR;
        if (!switched) {
            EXPECT_FALSE(hidden(n)) << "element " << n;
        }
    }
}

TEST_F(PfdBadInputTest, CallbacksBeforeTheHostSuppliesTextBuffersOrItsTableDoNothingHarmful) {
    for (uint32_t n : text_elements) as_text(chain(n))->string = nullptr;
    host.detach();  // no function table: refreshes do nothing
    for (uint32_t n : text_elements) {
        ElementString* element = as_text(chain(n));
        element->update_cb(element);
        EXPECT_EQ(element->string, nullptr);
    }
    pfd_service_callback(&pfd_gauge, SERVICE_PRE_UPDATE, 0);
    EXPECT_TRUE(hidden(PFD_FD_PITCH_BAR));  // the flight director reads as off
    EXPECT_EQ(pfd_pitch_bar_value(&pfd_fd_pitch_bar), 0.0);
}

}  // namespace
}  // namespace orvane
