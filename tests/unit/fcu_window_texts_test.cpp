#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "tests/unit/fcu_fixture.h"

namespace orvane::testing {
namespace {

constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

// One live window: the element, the buffer the host gave it, its flag.
struct Window {
    const char* name;
    ElementString* element;
    int32_t CockpitState::*live;
};

class FcuWindowTextTest : public FcuTest {
protected:
    // The text before the host's cut: a buffer wide enough for any ladder rung.
    std::string formatted(ElementString* element, double value) {
        GuardedText wide(12);
        const uint16_t chars = element->max_string_length;
        char* const buffer = element->string;
        wide.attach(*element);
        element->source_var[0].value.n = value;
        element->update_cb(element);
        element->max_string_length = chars;
        element->string = buffer;
        EXPECT_TRUE(wide.intact());
        return wide.str();
    }
    std::string shown(ElementString* element, double value) {
        element->source_var[0].value.n = value;
        element->update_cb(element);
        return element->string;
    }
};

struct LadderRow {
    double value;
    const char* formatted;
    const char* shown;
};

TEST_F(FcuWindowTextTest, ThreeDigitWindowsPadTheTargetWithZerosAndTheLastHoldingTestDecides) {
    const LadderRow rows[] = {
        {0, "000", "000"},    {5, "005", "005"},      {9.5, "0010", "001"}, {10, "010", "010"},
        {99, "099", "099"},   {99.2, " 99", " 99"},   {99.5, "100", "100"}, {100, "100", "100"},
        {250, "250", "250"},  {1000, "1000", "100"},  {-5, "00-5", "00-"},  {-0.4, "00-0", "00-"},
    };
    const Window windows[] = {{"speed", &ap_speed_window, &CockpitState::speed_window_live},
                              {"heading", &ap_heading_window, &CockpitState::heading_window_live}};
    for (const Window& w : windows) {
        cockpit.*w.live = 1;
        for (const LadderRow& row : rows) {
            EXPECT_EQ(formatted(w.element, row.value), row.formatted) << w.name << " " << row.value;
            EXPECT_EQ(shown(w.element, row.value), row.shown) << w.name << " " << row.value;
            EXPECT_EQ(w.element->update_cb(w.element), row.value) << w.name;
        }
    }
    EXPECT_TRUE(speed_text.intact() && heading_text.intact());
}

TEST_F(FcuWindowTextTest, FiveDigitWindowsPadTheTargetWithZerosAndPrintNegativesBare) {
    const LadderRow rows[] = {
        {0, "00000", "00000"},       {9.5, "000010", "00001"},     {10, "00010", "00010"},
        {99, "00099", "00099"},      {100, "00100", "00100"},      {700, "00700", "00700"},
        {1000, "01000", "01000"},    {9999.5, "010000", "01000"},  {10000, "10000", "10000"},
        {99999, "99999", "99999"},   {-700, " -700", " -700"},     {-1000, "-1000", "-1000"},
        {-12000, "-12000", "-1200"},
    };
    const Window windows[] = {{"altitude", &ap_altitude_window, &CockpitState::altitude_window_live},
                              {"vertical speed", &ap_vs_window, &CockpitState::vs_window_live}};
    for (const Window& w : windows) {
        cockpit.*w.live = 1;
        for (const LadderRow& row : rows) {
            EXPECT_EQ(formatted(w.element, row.value), row.formatted) << w.name << " " << row.value;
            EXPECT_EQ(shown(w.element, row.value), row.shown) << w.name << " " << row.value;
            EXPECT_EQ(w.element->update_cb(w.element), row.value) << w.name;
        }
    }
    EXPECT_TRUE(altitude_text.intact() && vs_text.intact());
}

TEST_F(FcuWindowTextTest, SpeedWindowInMachModeShowsHundredthsAndReturnsThem) {
    const struct {
        double mach;
        const char* shown;
        double returned;
    } rows[] = {
        {0.78, ".78", 78}, {0.99, ".99", 99}, {0.05, ".05", 5}, {0.10, ".01", 10},  // 10 takes the ".0" rung
        {0.11, ".11", 11}, {1.2, ".12", 120},
    };
    cockpit.speed_window_live = 1;
    cockpit.mach_mode = 1;
    ap_speed_window.source_var[0].value.n = 250;
    for (const auto& row : rows) {
        ap_speed_window.source_var[1].value.n = row.mach;
        EXPECT_DOUBLE_EQ(speed_window_text(&ap_speed_window), row.returned) << row.mach;
        EXPECT_EQ(speed_text.str(), row.shown) << row.mach;
    }
}

TEST_F(FcuWindowTextTest, WindowWithoutItsLiveFlagShowsDashesAndReturnsItsVariable) {
    const struct {
        ElementString* element;
        GuardedText* text;
        const char* dashes;
    } rows[] = {{&ap_speed_window, &speed_text, "---"},
                {&ap_altitude_window, &altitude_text, "-----"},
                {&ap_heading_window, &heading_text, "---"},
                {&ap_vs_window, &vs_text, "-----"}};
    for (int32_t mach_mode : {0, 1}) {
        cockpit.mach_mode = mach_mode;
        for (const auto& row : rows) {
            row.element->source_var[0].value.n = 250;
            row.element->source_var[1].value.n = 0.78;
            EXPECT_EQ(row.element->update_cb(row.element), 250) << "Mach mode " << mach_mode;
            EXPECT_EQ(row.text->str(), row.dashes);
        }
    }
}

TEST_F(FcuWindowTextTest, NaNTargetReplacesThePreviousTextInsteadOfLeavingItOnShow) {
    const struct {
        ElementString* element;
        int32_t mach_mode;
        const char* shown;
    } rows[] = {{&ap_speed_window, 0, "nan"},
                {&ap_speed_window, 1, ".0n"},
                {&ap_heading_window, 0, "nan"},
                {&ap_altitude_window, 0, "  nan"},
                {&ap_vs_window, 0, "  nan"}};
    set_live_windows("SHAV");
    for (const auto& row : rows) {
        cockpit.mach_mode = row.mach_mode;
        row.element->source_var[0].value.n = 250;
        row.element->source_var[1].value.n = 0.78;
        row.element->update_cb(row.element);
        row.element->source_var[0].value.n = nan_value;
        row.element->source_var[1].value.n = nan_value;
        row.element->update_cb(row.element);
        EXPECT_STREQ(row.element->string, row.shown) << "Mach mode " << row.mach_mode;
    }
}

TEST_F(FcuWindowTextTest, AnyHostValueStaysWithinTheWindowBuffer) {
    const double values[] = {nan_value, -nan_value, inf, -inf, 1e308, -1e308,
                             std::numeric_limits<double>::max(), std::numeric_limits<double>::denorm_min(),
                             -0.0, 4294967296.0, -2147483649.0};
    GuardedText* texts[] = {&speed_text, &altitude_text, &heading_text, &vs_text};
    for (const char* live : {"----", "SHAV"}) {
        set_live_windows(live);
        for (int32_t mach_mode : {0, 1}) {
            cockpit.mach_mode = mach_mode;
            for (double v : values) {
                for (int i = 0; i < 4; ++i) {
                    ap_windows[i]->source_var[0].value.n = v;
                    ap_windows[i]->source_var[1].value.n = v;
                    ap_windows[i]->update_cb(ap_windows[i]);
                    EXPECT_TRUE(texts[i]->intact()) << i << " " << v;
                    EXPECT_LE(texts[i]->str().size(), ap_windows[i]->max_string_length) << i << " " << v;
                }
            }
        }
    }
}

TEST_F(FcuWindowTextTest, CallbacksBeforeTheHostSuppliesABufferWriteNothing) {
    set_live_windows("SHAV");
    for (ElementString* window : ap_windows) {
        window->string = nullptr;
        window->source_var[0].value.n = 123;
        EXPECT_EQ(window->update_cb(window), 123);
        EXPECT_EQ(window->update_cb(nullptr), 0);
    }
}

}  // namespace
}  // namespace orvane::testing
