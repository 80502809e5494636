#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/unit/pfd_fixture.h"
#include "units/units.h"

namespace orvane {
namespace {

using testing::PfdTest;

// The PFD after presses on the FD/ILS, DME and DH units' buttons, one step
// after another, each followed by an update of the PFD.
TEST_F(PfdTest, PfdFollowsTheIlsDmeAndDecisionHeightUnits) {
    set_only({{HEADING_HOLD, 1.0},
              {HEADING_TARGET, 90.0},
              {DME1_DISTANCE, 3.456},
              {DME2_DISTANCE, 12.34},
              {DECISION_HEIGHT, 200.0}});
    const struct {
        const char* step;
        MouseFunction press;
        int presses;
        bool landing_system_shown;
        std::vector<std::pair<uint32_t, const char*>> texts;
    } steps[] = {
        {"at load", nullptr, 0, false,
         {{PFD_SELECTED_HEADING, " 90"}, {PFD_DH_LABEL, ""}, {PFD_DH_VALUE, ""}, {PFD_DME_LABEL, "DME1"},
          {PFD_DME_DISTANCE, "3.46"}}},
        {"ILS pressed", ls_toggle_click, 1, true, {{PFD_SELECTED_HEADING, ""}}},
        {"ILS pressed again", ls_toggle_click, 1, false, {{PFD_SELECTED_HEADING, " 90"}}},
        {"DME pressed", dme_toggle_click, 1, false, {{PFD_DME_LABEL, "DME2"}, {PFD_DME_DISTANCE, "12.3"}}},
        {"DME pressed again", dme_toggle_click, 1, false, {{PFD_DME_LABEL, "DME1"}, {PFD_DME_DISTANCE, "3.46"}}},
        {"DH pressed", dh_toggle_click, 1, false, {{PFD_DH_LABEL, "DH "}, {PFD_DH_VALUE, "200 "}}},
        {"GSA pressed", gsa_toggle_click, 1, false, {{PFD_DH_LABEL, "GSA"}, {PFD_DH_VALUE, "+0.0"}}},
        {"knob up three steps", dh_knob_inc_click, 3, false, {{PFD_DH_VALUE, "+0.3"}}},
        {"knob down four steps", dh_knob_dec_click, 4, false, {{PFD_DH_VALUE, "-0.1"}}},
        {"knob down to its stop", dh_knob_dec_click, 200, false, {{PFD_DH_VALUE, "-9.9"}}},
        {"GSA pressed again", gsa_toggle_click, 1, false, {{PFD_DH_LABEL, ""}, {PFD_DH_VALUE, ""}}},
    };
    for (const auto& step : steps) {
        PixPoint point{1, 1};
        for (int i = 0; i < step.presses; ++i) step.press(&point, MOUSE_LEFTSINGLE);
        pfd_service_callback(&pfd_gauge, SERVICE_PRE_UPDATE, 0);
        for (uint32_t n = PFD_ALTITUDE; n <= PFD_RADIO_ALTITUDE; ++n) update_text(n);
        for (uint32_t n = PFD_GLIDESLOPE_SCALE; n <= PFD_GLIDESLOPE_DIAMOND; ++n) {
            EXPECT_EQ(hidden(n), !step.landing_system_shown) << step.step << ", element " << n;
        }
        for (const auto& [n, expected] : step.texts) EXPECT_EQ(text(n), expected) << step.step << ", element " << n;
    }
}

}  // namespace
}  // namespace orvane
