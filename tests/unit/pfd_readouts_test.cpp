#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/unit/pfd_fixture.h"

namespace orvane {
namespace {

using testing::PfdTest;
using testing::Refresh;
using Vars = std::vector<std::pair<int32_t, double>>;

constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double denormal = std::numeric_limits<double>::denorm_min();
constexpr double feet_per_metre = 3.28083989501312;

struct Row {
    const char* name;
    Vars vars;
    const char* expected;
};

class PfdReadoutTest : public PfdTest {
protected:
    void expect_rows(uint32_t n, const std::vector<Row>& rows) {
        for (const Row& row : rows) {
            set_only({});
            for (const auto& [id, value] : row.vars) set(id, value);
            preset_text(n, "old");
            update_text(n);
            EXPECT_EQ(text(n), row.expected) << row.name;
        }
    }
};

TEST_F(PfdReadoutTest, AltitudeShowsFiveDigitsWithLeadingZeros) {
    expect_rows(PFD_ALTITUDE, {
        {"zero", {{74, 0.0}}, "00000"},
        {"one digit", {{74, 7.0}}, "00007"},
        {"three digits", {{74, 850.0}}, "00850"},
        {"four digits rounded down", {{74, 9999.4}}, "09999"},
        {"exactly 10000", {{74, 10000.0}}, "10000"},
        {"10000.4", {{74, 10000.4}}, "10000"},
        {"cruise", {{74, 35000.0}}, "35000"},
        {"below zero, plain format", {{74, -50.0}}, "  -50"},
        {"six digits cut to five", {{74, 123456.0}}, "12345"},
        {"six characters below zero cut to five", {{74, -12345.0}}, "-1234"},
        {"a tie rounds to even", {{74, 98.5}}, "00098"},
        {"half a foot rounds to zero", {{74, 0.5}}, "00000"},
    });
}

TEST_F(PfdReadoutTest, AltitudeJustUnderAPowerOfTenReadsTheRoundedValue) {
    expect_rows(PFD_ALTITUDE, {
        {"999.6 rounds to 1000", {{74, 999.6}}, "01000"},
        {"9999.6 rounds to 10000", {{74, 9999.6}}, "10000"},
        {"99.6 rounds to 100", {{74, 99.6}}, "00100"},
        {"9.5 rounds to 10", {{74, 9.5}}, "00010"},
        {"999.5 ties to 1000", {{74, 999.5}}, "01000"},
        {"9999.5 ties to 10000", {{74, 9999.5}}, "10000"},
        {"99.4 stays 99", {{74, 99.4}}, "00099"},
        {"just under 999.5 stays 999", {{74, std::nextafter(999.5, 0.0)}}, "00999"},
    });
}

TEST_F(PfdReadoutTest, AltitudeRoundingToZeroFromBelowReadsZeros) {
    expect_rows(PFD_ALTITUDE, {
        {"negative zero", {{74, -0.0}}, "00000"},
        {"-0.3", {{74, -0.3}}, "00000"},
        {"-0.5 ties to zero", {{74, -0.5}}, "00000"},
        {"-0.6 rounds to -1", {{74, -0.6}}, "   -1"},
        {"the smallest negative", {{74, -denormal}}, "00000"},
    });
}

TEST_F(PfdReadoutTest, AltitudeOfNoNumberOrInfinityIsBounded) {
    expect_rows(PFD_ALTITUDE, {
        {"NaN", {{74, nan_value}}, "  nan"},
        {"infinity", {{74, inf}}, "  inf"},
        {"minus infinity", {{74, -inf}}, " -inf"},
        {"the largest double", {{74, std::numeric_limits<double>::max()}}, "17976"},
        {"the most negative double", {{74, std::numeric_limits<double>::lowest()}}, "-1797"},
    });
}

TEST_F(PfdReadoutTest, SelectedHeadingShowsWhileHeadingHoldIsOnAndTheLocalizerScaleIsAway) {
    const struct {
        const char* name;
        int32_t ls_display;
        Vars vars;
        const char* expected;
    } rows[] = {
        {"two digits", 0, {{106, 1.0}, {107, 90.0}}, " 90"},
        {"one digit", 0, {{106, 1.0}, {107, 5.0}}, "  5"},
        {"three digits", 0, {{106, 1.0}, {107, 360.0}}, "360"},
        {"rounded", 0, {{106, 1.0}, {107, 271.6}}, "272"},
        {"localizer scale shown", 1, {{106, 1.0}, {107, 90.0}}, ""},
        {"ls_display other than 1", 2, {{106, 1.0}, {107, 90.0}}, " 90"},
        {"heading hold off", 0, {{106, 0.0}, {107, 90.0}}, ""},
        {"heading hold 0.5", 0, {{106, 0.5}, {107, 90.0}}, ""},
        {"four digits cut to three", 0, {{106, 1.0}, {107, 1234.0}}, "123"},
        {"NaN target", 0, {{106, 1.0}, {107, nan_value}}, "nan"},
    };
    for (const auto& row : rows) {
        set_only({});
        for (const auto& [id, value] : row.vars) set(id, value);
        cockpit.ls_display = row.ls_display;
        update_text(PFD_SELECTED_HEADING);
        EXPECT_EQ(text(PFD_SELECTED_HEADING), row.expected) << row.name;
    }
}

TEST_F(PfdReadoutTest, SelectedSpeedShowsTheAirspeedTargetBeforeTheMachTarget) {
    expect_rows(PFD_SELECTED_SPEED, {
        {"airspeed hold", {{115, 1.0}, {116, 250.0}, {118, 0.78}}, "250"},
        {"both holds", {{115, 1.0}, {117, 1.0}, {116, 250.0}, {118, 0.78}}, "250"},
        {"Mach hold", {{117, 1.0}, {116, 250.0}, {118, 0.78}}, ".78"},
        {"Mach decimals are cut, not rounded", {{117, 1.0}, {118, 0.785}}, ".78"},
        {"Mach 0.29 is not cut to .28", {{117, 1.0}, {118, 0.29}}, ".29"},
        {"Mach 1.0 cut to three characters", {{117, 1.0}, {118, 1.0}}, ".10"},
        {"neither hold", {{116, 250.0}, {118, 0.78}}, ""},
        {"holds of 0.5 are not on", {{115, 0.5}, {117, 0.5}, {116, 250.0}}, ""},
        {"airspeed hold 2.0 leaves the Mach hold", {{115, 2.0}, {117, 1.0}, {118, 0.8}}, ".80"},
        {"NaN Mach target", {{117, 1.0}, {118, nan_value}}, ".na"},
        {"airspeed target cut to three", {{115, 1.0}, {116, 1250.0}}, "125"},
    });
}

TEST_F(PfdReadoutTest, MachShowsHundredthsFromAboveMachPoint45) {
    expect_rows(PFD_MACH, {
        {"Mach .78", {{64, 15600.0}}, ".78"},
        {"Mach .451", {{64, 9020.0}}, ".45"},
        {"exactly .45 is empty", {{64, 9000.0}}, ""},
        {"just above .45", {{64, 9001.0}}, ".45"},
        {"standing still", {{64, 0.0}}, ""},
        {"negative", {{64, -20000.0}}, ""},
        {"NaN", {{64, nan_value}}, ""},
        {"infinity", {{64, inf}}, ".in"},
    });
}

TEST_F(PfdReadoutTest, SelectedAltitudeShowsTheTargetWithSpacesWhileAltitudeHoldIsOn) {
    expect_rows(PFD_SELECTED_ALTITUDE, {
        {"five digits", {{108, 1.0}, {109, 35000.0}}, "35000"},
        {"four digits after a space", {{108, 1.0}, {109, 5000.0}}, " 5000"},
        {"altitude hold off", {{108, 0.0}, {109, 35000.0}}, ""},
        {"altitude hold 0.5", {{108, 0.5}, {109, 35000.0}}, ""},
        {"six digits cut to five", {{108, 1.0}, {109, 123456.0}}, "12345"},
        {"infinite target", {{108, 1.0}, {109, inf}}, "  inf"},
    });
}

TEST_F(PfdReadoutTest, SelectedVerticalSpeedFollowsTheTargetAlone) {
    expect_rows(PFD_SELECTED_VS, {
        {"descent", {{120, -1500.0}}, "-1500"},
        {"climb", {{120, 700.0}}, "  700"},
        {"six characters cut to five", {{120, -12000.0}}, "-1200"},
        {"no target", {{120, 0.0}}, ""},
        {"negative zero is no target", {{120, -0.0}}, ""},
        {"NaN is no target", {{120, nan_value}}, ""},
        {"without altitude hold", {{108, 0.0}, {120, 700.0}}, "  700"},
        {"infinity", {{120, -inf}}, " -inf"},
    });
}

TEST_F(PfdReadoutTest, DhValueShowsTheDecisionHeightOrTheSignedGlideslopeAngle) {
    const struct {
        const char* name;
        int32_t dh_mode;
        int32_t gsa_mode;
        double angle;
        double decision_height;
        const char* expected;
    } rows[] = {
        {"decision height with its trailing space", 1, 0, 0.0, 200.0, "200 "},
        {"two digits", 1, 0, 0.0, 50.0, " 50 "},
        {"four digits lose the space", 1, 0, 0.0, 1000.0, "1000"},
        {"zero", 1, 0, 0.0, 0.0, "  0 "},
        {"decision height mode first", 1, 1, 3.0, 200.0, "200 "},
        {"angle zero", 0, 1, 0.0, 200.0, "+0.0"},
        {"angle negative zero", 0, 1, -0.0, 200.0, "+0.0"},
        {"angle positive", 0, 1, 3.0, 200.0, "+3.0"},
        {"angle negative", 0, 1, -2.5, 200.0, "-2.5"},
        {"angle -0.1", 0, 1, -0.1, 200.0, "-0.1"},
        {"angle at its upper limit", 0, 1, 9.9, 200.0, "+9.9"},
        {"angle at its lower limit", 0, 1, -9.9, 200.0, "-9.9"},
        {"angle NaN", 0, 1, nan_value, 200.0, "nan"},
        {"angle NaN with its sign bit set", 0, 1, -nan_value, 200.0, "-nan"},
        {"angle infinite", 0, 1, -inf, 200.0, "-inf"},
        {"neither mode", 0, 0, 3.0, 200.0, ""},
        {"modes other than 1", 2, 2, 3.0, 200.0, ""},
    };
    for (const auto& row : rows) {
        set_only({{615, row.decision_height}});
        cockpit.dh_mode = row.dh_mode;
        cockpit.gsa_mode = row.gsa_mode;
        cockpit.gsa_angle = row.angle;
        update_text(PFD_DH_VALUE);
        EXPECT_EQ(text(PFD_DH_VALUE), row.expected) << row.name;
    }
}

TEST_F(PfdReadoutTest, DmeDistanceShowsTheSelectedDmeWithFewerDecimalsAsItGrows) {
    const struct {
        const char* name;
        int32_t source;
        double dme1;
        double dme2;
        const char* expected;
    } rows[] = {
        {"three digits", 1, 123.4, 0.0, "123"},
        {"four digits", 1, 1234.0, 0.0, "1234"},
        {"five digits cut to four", 1, 12345.0, 0.0, "1234"},
        {"two digits and a tenth", 1, 45.26, 0.0, "45.3"},
        {"exactly 10", 1, 10.0, 0.0, "10.0"},
        {"one digit and hundredths", 1, 3.456, 0.0, "3.46"},
        {"very close", 1, 0.004, 0.0, "0.00"},
        {"zero", 1, 0.0, 5.0, "N/A "},
        {"below zero", 1, -3.0, 5.0, "N/A "},
        {"NaN", 1, nan_value, 5.0, "N/A "},
        {"DME2 selected", 2, 5.0, 12.34, "12.3"},
        {"any source but 1 selects DME2", 0, 5.0, 7.0, "7.00"},
        {"DME2 with no distance", 2, 5.0, 0.0, "N/A "},
        {"infinite", 1, inf, 0.0, "inf"},
    };
    for (const auto& row : rows) {
        set_only({{31, row.dme1}, {35, row.dme2}});
        cockpit.dme_source = row.source;
        update_text(PFD_DME_DISTANCE);
        EXPECT_EQ(text(PFD_DME_DISTANCE), row.expected) << row.name;
    }
}

// An aircraft altitude in metres that puts the aircraft exactly this many
// feet above a ground at 0, found by stepping to the double that gives it.
double altitude_giving_exactly(double feet) {
    double metres = feet / feet_per_metre;
    for (int i = 0; i < 8 && metres * feet_per_metre < feet; ++i) metres = std::nextafter(metres, inf);
    for (int i = 0; i < 8 && metres * feet_per_metre > feet; ++i) metres = std::nextafter(metres, 0.0);
    return metres;
}

TEST_F(PfdReadoutTest, RadioAltitudeShowsFeetAboveGroundBelow2500) {
    const double exactly_2500 = altitude_giving_exactly(2500.0);
    ASSERT_EQ(exactly_2500 * feet_per_metre, 2500.0);
    expect_rows(PFD_RADIO_ALTITUDE, {
        {"100 m over ground at 90 m", {{73, 100.0}, {2, 90.0 * 256}}, "  33"},
        {"at ground altitude", {{73, 90.0}, {2, 90.0 * 256}}, "   0"},
        {"below the ground", {{73, -3.7 / feet_per_metre}}, "  -4"},
        {"2499.6 ft rounds to 2500", {{73, 2499.6 / feet_per_metre}}, "2500"},
        {"exactly 2500 ft", {{73, exactly_2500}}, ""},
        {"cruise", {{73, 10000.0}, {2, 50.0 * 256}}, ""},
        {"NaN aircraft altitude", {{73, nan_value}}, " nan"},
        {"infinite ground", {{73, 100.0}, {2, inf}}, "-inf"},
        {"infinite aircraft altitude", {{73, inf}}, ""},
        {"far below cut to four", {{73, -10000.0}}, "-328"},
    });
}

TEST_F(PfdReadoutTest, ReadoutsRefreshTheirHoldsInOrderAndNeverTheirOwnRecords) {
    const struct {
        uint32_t index;
        std::vector<Refresh> expected;
    } rows[] = {
        {PFD_ALTITUDE, {}},
        {PFD_SELECTED_HEADING, {{106, true}}},
        {PFD_SELECTED_SPEED, {{115, true}, {117, true}}},
        {PFD_MACH, {}},
        {PFD_SELECTED_ALTITUDE, {{108, true}}},
        {PFD_SELECTED_VS, {}},
        {PFD_DH_VALUE, {}},
        {PFD_DME_DISTANCE, {}},
        {PFD_RADIO_ALTITUDE, {}},
    };
    for (const auto& row : rows) {
        update_text(row.index);
        EXPECT_EQ(refreshes, row.expected) << "chain element " << row.index;
    }
}

// Each text hands back a value of its own records, often not the one it shows.
TEST_F(PfdTest, EveryTextReturnsTheValueItsTableNames) {
    cockpit.dme_source = 2;
    cockpit.dh_mode = 1;
    set_only({{115, 1.0}, {117, 1.0}, {108, 1.0}, {106, 1.0}, {105, 1.0}});
    const struct {
        uint32_t index;
        double own0;
        double own1;
        double expected;
    } rows[] = {
        {PFD_ALTITUDE, 1234.5, 0.0, 1234.5},
        {PFD_SPEED_MODE, 0.25, 0.75, 0.25},
        {PFD_VERTICAL_MODE, 0.5, 0.0, 0.5},
        {PFD_GLIDESLOPE_MODE, 0.125, 0.0, 0.125},
        {PFD_LATERAL_MODE, 3.0, 0.0, 3.0},
        {PFD_NAV_MODE, 4.0, 0.0, 4.0},
        {PFD_SELECTED_HEADING, 271.0, 0.0, 271.0},
        {PFD_SELECTED_SPEED, 250.0, 0.78, 250.0},
        {PFD_MACH, 9000.0, 0.0, 45.0},
        {PFD_SELECTED_ALTITUDE, 35000.0, 0.0, 35000.0},
        {PFD_SELECTED_VS, -700.0, 0.0, -700.0},
        {PFD_VS_LABEL, 500.0, 0.0, 500.0},
        {PFD_AP1, 6.0, 0.0, 6.0},
        {PFD_FD, 7.0, 0.0, 7.0},
        {PFD_AT, 8.0, 0.0, 8.0},
        {PFD_DH_LABEL, 9.0, 0.0, 9.0},
        {PFD_DH_VALUE, 200.0, 0.0, 200.0},
        {PFD_DME_LABEL, 11.0, 0.0, 11.0},
        {PFD_DME_DISTANCE, 12.0, 13.0, 12.0},
        {PFD_RADIO_ALTITUDE, 100.0, 90.0 * 256, 10.0 * feet_per_metre},
    };
    for (const auto& row : rows) {
        ElementString* element = as_text(chain(row.index));
        element->source_var[0].value.n = row.own0;
        element->source_var[1].value.n = row.own1;
        EXPECT_EQ(call_text(row.index), row.expected) << "chain element " << row.index;
    }
}

}  // namespace
}  // namespace orvane
