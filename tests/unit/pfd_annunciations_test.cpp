#include <climits>
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

// One update of one annunciation: the host variables it sees, the text it shows.
struct Row {
    const char* name;
    Vars vars;
    const char* expected;
};

class PfdAnnunciationTest : public PfdTest {
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

TEST_F(PfdAnnunciationTest, SpeedModeNamesTheHoldAndMachWinsWhenBothAreOn) {
    expect_rows(PFD_SPEED_MODE, {
        {"both holds off", {{115, 0.0}, {117, 0.0}}, "MAN"},
        {"airspeed hold on", {{115, 1.0}, {117, 0.0}}, "SPD"},
        {"Mach hold on", {{115, 0.0}, {117, 1.0}}, "MCH"},
        {"both holds on", {{115, 1.0}, {117, 1.0}}, "MCH"},
        {"negative zero and NaN count as zero", {{115, -0.0}, {117, nan_value}}, "MAN"},
        {"airspeed hold on, Mach hold 0.5", {{115, 1.0}, {117, 0.5}}, "SPD"},
        {"airspeed hold 2.0, Mach hold on", {{115, 2.0}, {117, 1.0}}, "MCH"},
    });
}

TEST_F(PfdAnnunciationTest, SpeedModeWritesNothingWhenNoStepApplies) {
    expect_rows(PFD_SPEED_MODE, {
        {"airspeed hold 0.5", {{115, 0.5}, {117, 0.0}}, "old"},
        {"Mach hold 2.0", {{115, 0.0}, {117, 2.0}}, "old"},
        {"airspeed hold -1", {{115, -1.0}, {117, 0.0}}, "old"},
        {"Mach hold just above 1", {{115, 0.0}, {117, std::nextafter(1.0, 2.0)}}, "old"},
        {"airspeed hold denormal", {{115, denormal}, {117, 0.0}}, "old"},
        {"Mach hold infinite", {{115, 0.0}, {117, inf}}, "old"},
    });
}

TEST_F(PfdAnnunciationTest, VerticalModeShowsAltitudeOrVerticalSpeedOnlyWhileAltitudeHoldIsEngaged) {
    expect_rows(PFD_VERTICAL_MODE, {
        {"altitude hold with no target", {{108, 1.0}, {120, 0.0}}, "ALT"},
        {"altitude hold with a target", {{108, 1.0}, {120, -700.0}}, "V/S"},
        {"no altitude hold, no target", {{108, 0.0}, {120, 0.0}}, ""},
        {"no altitude hold whatever the target", {{108, 0.0}, {120, 500.0}}, ""},
        {"NaN hold counts as zero", {{108, nan_value}, {120, 500.0}}, ""},
        {"negative zero hold counts as zero", {{108, -0.0}, {120, 500.0}}, ""},
        {"a non-zero hold of 0.5 engages", {{108, 0.5}, {120, 0.0}}, "ALT"},
        {"NaN target counts as none", {{108, 1.0}, {120, nan_value}}, "ALT"},
        {"negative zero target counts as none", {{108, 1.0}, {120, -0.0}}, "ALT"},
        {"the smallest target counts", {{108, 1.0}, {120, denormal}}, "V/S"},
    });
}

TEST_F(PfdAnnunciationTest, GlideslopeShowsWhileApproachHoldIsOn) {
    expect_rows(PFD_GLIDESLOPE_MODE, {
        {"approach hold on", {{112, 1.0}}, "G/S"},
        {"approach hold off", {{112, 0.0}}, ""},
        {"approach hold 0.5", {{112, 0.5}}, ""},
        {"approach hold on without altitude hold", {{112, 1.0}, {108, 0.0}}, "G/S"},
    });
}

TEST_F(PfdAnnunciationTest, LateralModeShowsHeadingBeforeWingLeveler) {
    expect_rows(PFD_LATERAL_MODE, {
        {"heading hold", {{106, 1.0}}, "HDG"},
        {"wing leveler", {{104, 1.0}}, "LVL"},
        {"both", {{106, 1.0}, {104, 1.0}}, "HDG"},
        {"neither", {}, ""},
        {"heading hold 0.5 leaves the wing leveler", {{106, 0.5}, {104, 1.0}}, "LVL"},
        {"neither exactly on", {{106, 2.0}, {104, -1.0}}, ""},
        {"the element's NAV1 hold plays no part", {{105, 1.0}}, ""},
    });
}

TEST_F(PfdAnnunciationTest, NavModeShowsNavOrGpsBeforeLocalizer) {
    expect_rows(PFD_NAV_MODE, {
        {"NAV1 hold", {{105, 1.0}}, "NAV"},
        {"NAV1 hold driven by GPS", {{105, 1.0}, {848, 1.0}}, "GPS"},
        {"NAV1 and approach hold", {{105, 1.0}, {112, 1.0}}, "NAV"},
        {"NAV1 and approach hold, GPS", {{105, 1.0}, {112, 1.0}, {848, 1.0}}, "GPS"},
        {"approach hold alone", {{112, 1.0}}, "LOC"},
        {"approach hold, GPS without NAV1 hold", {{112, 1.0}, {848, 1.0}}, "LOC"},
        {"GPS alone", {{848, 1.0}}, ""},
        {"NAV1 hold 0.5", {{105, 0.5}, {112, 1.0}}, "LOC"},
        {"GPS 0.5 is not GPS", {{105, 1.0}, {848, 0.5}}, "NAV"},
        {"nothing", {}, ""},
    });
}

TEST_F(PfdAnnunciationTest, VsLabelFollowsTheTargetAlone) {
    expect_rows(PFD_VS_LABEL, {
        {"a climb target", {{120, 500.0}}, "V/S"},
        {"a descent target", {{120, -700.0}}, "V/S"},
        {"no target", {{120, 0.0}}, ""},
        {"negative zero", {{120, -0.0}}, ""},
        {"NaN", {{120, nan_value}}, ""},
        {"infinity", {{120, inf}}, "V/S"},
        {"the smallest target", {{120, -denormal}}, "V/S"},
        {"without altitude hold", {{120, 500.0}, {108, 0.0}}, "V/S"},
    });
}

TEST_F(PfdAnnunciationTest, StatusColumnShowsEachSystemOnlyWhenExactlyOn) {
    const struct {
        uint32_t index;
        int32_t id;
        const char* shown;
    } columns[] = {
        {PFD_AP1, 103, "AP1"},
        {PFD_FD, 792, "F/D"},
        {PFD_AT, 123, "A/T"},
    };
    const struct {
        double value;
        bool shown;
    } values[] = {{1.0, true}, {0.0, false}, {0.5, false}, {2.0, false}, {-1.0, false},
                  {std::nextafter(1.0, 0.0), false}, {nan_value, false}, {inf, false}};
    for (const auto& column : columns) {
        for (const auto& v : values) {
            set_only({{column.id, v.value}, {115, 1.0}});
            preset_text(column.index, "old");
            update_text(column.index);
            EXPECT_EQ(text(column.index), v.shown ? column.shown : "") << column.shown << " at " << v.value;
        }
    }
}

TEST_F(PfdAnnunciationTest, DhLabelNamesTheDecisionHeightUnitsMode) {
    const struct {
        int32_t dh_mode;
        int32_t gsa_mode;
        const char* expected;
    } rows[] = {
        {1, 0, "DH "},
        {0, 1, "GSA"},
        {0, 0, ""},
        {1, 1, "DH "},
        {2, 0, ""},
        {-1, 1, "GSA"},
        {0, 2, ""},
    };
    for (const auto& row : rows) {
        cockpit.dh_mode = row.dh_mode;
        cockpit.gsa_mode = row.gsa_mode;
        preset_text(PFD_DH_LABEL, "old");
        update_text(PFD_DH_LABEL);
        EXPECT_EQ(text(PFD_DH_LABEL), row.expected) << "dh_mode " << row.dh_mode << ", gsa_mode " << row.gsa_mode;
    }
}

TEST_F(PfdAnnunciationTest, DmeLabelShowsDme2ForEverySourceButOne) {
    const struct {
        int32_t source;
        const char* expected;
    } rows[] = {{1, "DME1"}, {2, "DME2"}, {0, "DME2"}, {-1, "DME2"}, {3, "DME2"}, {INT_MIN, "DME2"}, {INT_MAX, "DME2"}};
    for (const auto& row : rows) {
        cockpit.dme_source = row.source;
        update_text(PFD_DME_LABEL);
        EXPECT_EQ(text(PFD_DME_LABEL), row.expected) << "dme_source " << row.source;
    }
}

TEST_F(PfdAnnunciationTest, ApproachAndNavHoldsShareTheSecondRow) {
    const struct {
        const char* name;
        Vars vars;
        const char* vertical;
        const char* lateral;
    } rows[] = {
        {"approach hold on, NAV1 hold off", {{112, 1.0}}, "G/S", "LOC"},
        {"approach and NAV1 hold on", {{112, 1.0}, {105, 1.0}}, "G/S", "NAV"},
        {"approach and NAV1 hold on, GPS", {{112, 1.0}, {105, 1.0}, {848, 1.0}}, "G/S", "GPS"},
    };
    for (const auto& row : rows) {
        set_only({});
        for (const auto& [id, value] : row.vars) set(id, value);
        update_text(PFD_GLIDESLOPE_MODE);
        update_text(PFD_NAV_MODE);
        EXPECT_EQ(text(PFD_GLIDESLOPE_MODE), row.vertical) << row.name;
        EXPECT_EQ(text(PFD_NAV_MODE), row.lateral) << row.name;
    }
}

TEST_F(PfdAnnunciationTest, VsLabelShowsWhileTheVerticalModeIsEmptyWithoutAltitudeHold) {
    set_only({{108, 0.0}, {120, 500.0}});
    update_text(PFD_VERTICAL_MODE);
    update_text(PFD_VS_LABEL);
    EXPECT_EQ(text(PFD_VERTICAL_MODE), "");
    EXPECT_EQ(text(PFD_VS_LABEL), "V/S");
}

TEST_F(PfdAnnunciationTest, AnnunciationsRefreshTheirFurtherVariablesInOrderAndNeverTheirOwn) {
    const struct {
        uint32_t index;
        std::vector<Refresh> expected;
    } rows[] = {
        {PFD_SPEED_MODE, {}},
        {PFD_VERTICAL_MODE, {{120, true}}},
        {PFD_GLIDESLOPE_MODE, {{112, true}}},
        {PFD_LATERAL_MODE, {{106, true}, {104, true}}},
        {PFD_NAV_MODE, {{105, true}, {848, true}, {112, true}}},
        {PFD_VS_LABEL, {}},
        {PFD_AP1, {{103, true}}},
        {PFD_FD, {{792, true}}},
        {PFD_AT, {{123, true}}},
        {PFD_DH_LABEL, {}},
        {PFD_DME_LABEL, {}},
    };
    for (const auto& row : rows) {
        update_text(row.index);
        EXPECT_EQ(refreshes, row.expected) << "chain element " << row.index;
    }
}

}  // namespace
}  // namespace orvane
