#include <cmath>
#include <iterator>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "tests/unit/pfd_fixture.h"

namespace orvane {
namespace {

using testing::PfdTest;
using testing::Refresh;

constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

ElementHeader* chain_at(uint32_t n) { return nth_element(first_element(&pfd_gauge), n); }

TEST(PfdGaugeTests, HeaderNamesTheGaugeItsFirstElementMouseTableAndServiceCallback) {
    EXPECT_STREQ(pfd_gauge.gauge_name, "PFD");
    EXPECT_EQ(pfd_gauge.gauge_header_version, 700u);
    EXPECT_EQ(pfd_gauge.size_x_mm, 189u);
    ASSERT_NE(pfd_gauge.elements_list, nullptr);
    EXPECT_EQ(pfd_gauge.elements_list[0], &pfd_background.header);
    EXPECT_EQ(pfd_gauge.elements_list[1], nullptr);
    EXPECT_EQ(pfd_gauge.mouse_rect, pfd_mouse_table);
    EXPECT_EQ(pfd_gauge.gauge_callback, pfd_service_callback);
    EXPECT_EQ(pfd_gauge.query_routine, ap_gauge.query_routine);
    EXPECT_EQ(pfd_gauge.kill_routine, ap_gauge.kill_routine);
}

TEST(PfdGaugeTests, ChainHoldsThirtyOneElementsInDrawingOrderEachLinkedToTheNext) {
    enum Failures { all, sphere };
    const struct {
        uint32_t index;
        int32_t kind;
        int32_t bitmap;
        PixPoint position;
        uint32_t flags;
        Failures failures;
    } rows[] = {
        {0, ELEMENT_STATIC_IMAGE, 4144, {0, 0}, 0x5, all},
        {1, ELEMENT_SPRITE, 4160, {56, 36}, 0x87, sphere},
        {2, ELEMENT_MOVING_IMAGE, 4176, {14, 39}, 0x6, all},
        {3, ELEMENT_MOVING_IMAGE, 4192, {60, 144}, 0x6, all},
        {4, ELEMENT_STRING, -1, {153, 82}, 0x7, all},
        {5, ELEMENT_STRING, -1, {22, 5}, 0x7, all},
        {6, ELEMENT_STRING, -1, {54, 5}, 0x7, all},
        {7, ELEMENT_STRING, -1, {54, 20}, 0x7, all},
        {8, ELEMENT_STRING, -1, {88, 5}, 0x7, all},
        {9, ELEMENT_STRING, -1, {88, 20}, 0x7, all},
        {10, ELEMENT_STRING, -1, {60, 139}, 0x7, all},
        {11, ELEMENT_STRING, -1, {14, 27}, 0x7, all},
        {12, ELEMENT_STRING, -1, {14, 138}, 0x7, all},
        {13, ELEMENT_STRING, -1, {152, 51}, 0x7, all},
        {14, ELEMENT_STRING, -1, {152, 39}, 0x7, all},
        {15, ELEMENT_STRING, -1, {130, 39}, 0x7, all},
        {16, ELEMENT_STRING, -1, {156, 5}, 0x7, all},
        {17, ELEMENT_STRING, -1, {156, 16}, 0x7, all},
        {18, ELEMENT_STRING, -1, {156, 27}, 0x7, all},
        {19, ELEMENT_STRING, -1, {156, 149}, 0x7, all},
        {20, ELEMENT_STRING, -1, {156, 160}, 0x7, all},
        {21, ELEMENT_STRING, -1, {24, 149}, 0x7, all},
        {22, ELEMENT_STRING, -1, {24, 160}, 0x7, all},
        {23, ELEMENT_STRING, -1, {156, 129}, 0x7, all},
        {24, ELEMENT_ICON, 4464, {143, 50}, 0x87, all},
        {25, ELEMENT_ICON, 4448, {62, 140}, 0x87, all},
        {26, ELEMENT_SLIDER, 4496, {96, 138}, 0x3, all},
        {27, ELEMENT_SLIDER, 4480, {141, 84}, 0x3, all},
        {28, ELEMENT_SLIDER, 4224, {75, 86}, 0x3, all},
        {29, ELEMENT_SLIDER, 4208, {100, 65}, 0x3, all},
        {30, ELEMENT_ICON, 4608, {58, 79}, 0x7, all},
    };
    static_assert(std::size(rows) == PFD_ELEMENT_COUNT);
    for (const auto& row : rows) {
        ElementHeader* element = chain_at(row.index);
        ASSERT_NE(element, nullptr) << "chain index " << row.index;
        EXPECT_EQ(element->element_type, row.kind) << "chain index " << row.index;
        EXPECT_EQ(element->resource_id, row.bitmap) << "chain index " << row.index;
        EXPECT_EQ(element->position.x, row.position.x) << "chain index " << row.index;
        EXPECT_EQ(element->position.y, row.position.y) << "chain index " << row.index;
        EXPECT_EQ(element->image_flags, row.flags) << "chain index " << row.index;
        EXPECT_EQ(element->failure_systems, row.failures == sphere ? pfd_attitude_failures : pfd_failures)
            << "chain index " << row.index;
        EXPECT_EQ(element->gauge_header, &pfd_gauge) << "chain index " << row.index;
        EXPECT_EQ(element->previous_element, nullptr) << "chain index " << row.index;
        if (row.kind != ELEMENT_SPRITE) {
            EXPECT_EQ(element->ofs.x, 0) << "chain index " << row.index;
            EXPECT_EQ(element->ofs.y, 0) << "chain index " << row.index;
        }
        if (row.index + 1 < PFD_ELEMENT_COUNT) {
            ASSERT_NE(element->next_element, nullptr) << "chain index " << row.index;
            EXPECT_EQ(element->next_element[1], nullptr) << "next list of " << row.index << " holds one entry";
        } else {
            EXPECT_EQ(element->next_element, nullptr) << "the last element has no next list";
        }
    }
    EXPECT_EQ(chain_at(PFD_ELEMENT_COUNT), nullptr);
}

TEST(PfdGaugeTests, TextElementsCarryTheirBoxesColoursVariablesAndCallbacks) {
    constexpr uint32_t green = 0x0037E737;  // RGB (55, 231, 55)
    constexpr uint32_t blue = 0x00E69900;   // RGB (0, 153, 230)
    constexpr uint32_t white = 0x00FFFFFF;
    const struct {
        uint32_t index;
        PixPoint box;
        uint16_t chars;
        uint32_t colour;
        int32_t var0;
        int32_t var1;
        StringCallback callback;
    } rows[] = {
        {4, {32, 11}, 5, green, 74, 0, pfd_altitude_text},
        {5, {22, 12}, 3, green, 115, 117, pfd_speed_mode_text},
        {6, {22, 12}, 3, green, 108, 0, pfd_vertical_mode_text},
        {7, {22, 12}, 3, green, 108, 0, pfd_glideslope_text},
        {8, {22, 12}, 3, green, 105, 0, pfd_lateral_mode_text},
        {9, {22, 12}, 3, green, 105, 0, pfd_nav_mode_text},
        {10, {20, 10}, 3, blue, 107, 0, pfd_selected_heading_text},
        {11, {20, 10}, 3, blue, 116, 118, pfd_selected_speed_text},
        {12, {20, 10}, 3, blue, 64, 0, pfd_mach_text},
        {13, {33, 10}, 5, blue, 109, 0, pfd_selected_altitude_text},
        {14, {33, 10}, 5, blue, 120, 0, pfd_selected_vs_text},
        {15, {20, 10}, 3, blue, 120, 0, pfd_vs_label_text},
        {16, {20, 10}, 3, white, 115, 0, pfd_ap1_text},
        {17, {20, 10}, 3, white, 115, 0, pfd_fd_text},
        {18, {20, 10}, 3, white, 115, 0, pfd_at_text},
        {19, {20, 10}, 3, white, 115, 0, pfd_dh_label_text},
        {20, {27, 10}, 4, blue, 615, 0, pfd_dh_value_text},
        {21, {27, 10}, 4, white, 31, 0, pfd_dme_label_text},
        {22, {27, 10}, 4, blue, 31, 35, pfd_dme_distance_text},
        {23, {27, 10}, 4, blue, 73, 2, pfd_radio_altitude_text},
    };
    for (const auto& row : rows) {
        const auto* text = reinterpret_cast<const ElementString*>(chain_at(row.index));
        ASSERT_EQ(text->header.element_type, ELEMENT_STRING) << "chain index " << row.index;
        EXPECT_EQ(text->img_size.x, row.box.x) << "chain index " << row.index;
        EXPECT_EQ(text->img_size.y, row.box.y) << "chain index " << row.index;
        EXPECT_EQ(text->max_string_length, row.chars) << "chain index " << row.index;
        EXPECT_EQ(text->fg_color, row.colour) << "chain index " << row.index;
        EXPECT_EQ(text->hilite_color, row.colour) << "chain index " << row.index;
        EXPECT_EQ(text->bg_color, 0u) << "chain index " << row.index;
        EXPECT_EQ(text->source_var[0].id, row.var0) << "chain index " << row.index;
        EXPECT_EQ(text->source_var[1].id, row.var1) << "chain index " << row.index;
        EXPECT_EQ(text->source_var[2].id, 0) << "chain index " << row.index;
        EXPECT_EQ(text->update_cb, row.callback) << "chain index " << row.index;
        EXPECT_STREQ(text->font_name, "Glass Gauge") << "chain index " << row.index;
        EXPECT_EQ(text->font_weight, 400) << "chain index " << row.index;
        EXPECT_EQ(text->font_charset, 1) << "chain index " << row.index;
        EXPECT_EQ(text->draw_text_flags, 0x25u) << "chain index " << row.index;
        EXPECT_EQ(text->string, nullptr) << "the host supplies the buffer of " << row.index;
        for (ModuleVarCallback cb : text->source_var_cb) EXPECT_EQ(cb, nullptr) << "chain index " << row.index;
        EXPECT_EQ(text->source_fn, nullptr) << "chain index " << row.index;
        EXPECT_EQ(text->char_height, 0) << "chain index " << row.index;
    }
}

TEST(PfdGaugeTests, AttitudeSphereTurnsWithBankAndSlidesWithPitch) {
    const ElementSprite& s = pfd_attitude_sphere;
    EXPECT_EQ(s.header.ofs.x, 99);
    EXPECT_EQ(s.header.ofs.y, 87);
    EXPECT_EQ(s.source_var_x.id, 0);
    EXPECT_EQ(s.scale_x, 0.0);
    EXPECT_EQ(s.source_var_y.id, 78);
    EXPECT_EQ(s.scale_y, 1.5);
    EXPECT_EQ(s.source_var_0.id, 80);
    EXPECT_EQ(s.scale_0, -1.0);
    EXPECT_EQ(s.texture_scale_x, 1.0f);
    EXPECT_EQ(s.texture_scale_y, 1.0f);
    EXPECT_EQ(s.update_x_cb, nullptr);
    EXPECT_EQ(s.update_y_cb, nullptr);
    EXPECT_EQ(s.update_0_cb, nullptr);
}

TEST(PfdGaugeTests, TapesMapAirspeedAndHeadingAcrossTheirTextures) {
    const struct {
        const char* name;
        const ElementMovingImage& tape;
        int32_t x_id;
        double min_x, max_x;
        int32_t y_id;
        double min_y, max_y;
    } rows[] = {
        {"speed tape", pfd_speed_tape, 0, 0.0, 0.0, 61, 620.0, 0.0},
        {"heading tape", pfd_heading_tape, 84, 0.0, 360.0, 0, 0.0, 0.0},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.tape.source_var_x.id, row.x_id) << row.name;
        EXPECT_EQ(row.tape.min_x, row.min_x) << row.name;
        EXPECT_EQ(row.tape.max_x, row.max_x) << row.name;
        EXPECT_EQ(row.tape.source_var_y.id, row.y_id) << row.name;
        EXPECT_EQ(row.tape.min_y, row.min_y) << row.name;
        EXPECT_EQ(row.tape.max_y, row.max_y) << row.name;
        EXPECT_EQ(row.tape.update_x_cb, nullptr) << row.name;
        EXPECT_EQ(row.tape.update_y_cb, nullptr) << row.name;
    }
}

TEST(PfdGaugeTests, SlidersScaleTheirSourcesAndTheBarsTakeTheirCallbacks) {
    const struct {
        const char* name;
        const ElementSlider& slider;
        int32_t x_id;
        double scale_x;
        SliderCallback x_cb;
        int32_t y_id;
        double scale_y;
        SliderCallback y_cb;
    } rows[] = {
        {"localizer diamond", pfd_localizer_diamond, 40, 0.3, nullptr, 0, 0.0, nullptr},
        {"glideslope diamond", pfd_glideslope_diamond, 0, 0.0, nullptr, 41, 0.3, nullptr},
        {"pitch bar", pfd_fd_pitch_bar, 0, 0.0, nullptr, 793, 1.5, pfd_pitch_bar_value},
        {"roll bar", pfd_fd_roll_bar, 794, -1.6, pfd_roll_bar_value, 0, 0.0, nullptr},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.slider.source_var_x.id, row.x_id) << row.name;
        EXPECT_EQ(row.slider.scale_x, row.scale_x) << row.name;
        EXPECT_EQ(row.slider.update_x_cb, row.x_cb) << row.name;
        EXPECT_EQ(row.slider.source_var_y.id, row.y_id) << row.name;
        EXPECT_EQ(row.slider.scale_y, row.scale_y) << row.name;
        EXPECT_EQ(row.slider.update_y_cb, row.y_cb) << row.name;
        EXPECT_EQ(row.slider.lag_fn_x, nullptr) << row.name;
        EXPECT_EQ(row.slider.lag_fn_y, nullptr) << row.name;
        EXPECT_EQ(row.slider.source_var_x_cb, nullptr) << row.name;
        EXPECT_EQ(row.slider.source_var_y_cb, nullptr) << row.name;
    }
    const struct {
        const char* name;
        const ElementIcon& icon;
    } icons[] = {{"glideslope scale", pfd_glideslope_scale},
                 {"localizer scale", pfd_localizer_scale},
                 {"aircraft symbol", pfd_aircraft_symbol}};
    for (const auto& row : icons) {
        EXPECT_EQ(row.icon.num_icons, 1) << row.name;
        EXPECT_EQ(row.icon.source_var.id, 0) << row.name;
        EXPECT_EQ(row.icon.update_cb, nullptr) << row.name;
    }
}

TEST(PfdGaugeTests, ElectricalFailureBlanksEverythingAndGyroFailuresTheSphereAlone) {
    const struct {
        const char* name;
        const FailureRecord* list;
        std::vector<int32_t> keys;
    } rows[] = {
        {"pfd_failures", pfd_failures, {20}},
        {"pfd_attitude_failures", pfd_attitude_failures, {20, 4, 8}},
    };
    for (const auto& row : rows) {
        size_t i = 0;
        for (; i < row.keys.size(); ++i) {
            EXPECT_EQ(row.list[i].key, row.keys[i]) << row.name << " entry " << i;
            EXPECT_EQ(row.list[i].action, 3) << row.name << " entry " << i;
            EXPECT_EQ(row.list[i].reserved, nullptr) << row.name << " entry " << i;
        }
        EXPECT_EQ(row.list[i].key, 0) << row.name << " ends with key 0";
        EXPECT_EQ(row.list[i].action, 0) << row.name;
    }
}

TEST(PfdGaugeTests, MouseTableOnlyLabelsTheWholeGauge) {
    const MouseRect* rows = pfd_mouse_table;
    EXPECT_EQ(rows[0].rect_type, MOUSE_OPEN_AREA);
    EXPECT_EQ(rows[0].relative_box.x | rows[0].relative_box.y | rows[0].relative_box.size_x |
                  rows[0].relative_box.size_y,
              0);
    EXPECT_EQ(rows[0].cursor, -1);
    EXPECT_EQ(rows[1].rect_type, MOUSE_TOOLTIP);
    EXPECT_STREQ(rows[1].action.tooltip, "Airbus A310 Primary Flight Display");
    EXPECT_EQ(rows[2].rect_type, MOUSE_CLOSE_AREA);
    EXPECT_EQ(rows[3].rect_type, MOUSE_END_OF_TABLE);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(rows[i].event_id, 0u) << "row " << i << ": the PFD sends no key event";
        EXPECT_EQ(rows[i].mouse_flags, 0u) << "row " << i << ": the PFD has no click area";
    }
}

// --- Service callback -------------------------------------------------------

TEST_F(PfdTest, UpdateShowsLandingSystemSymbolsAndFlightDirectorBarsByTheirSwitches) {
    const struct {
        const char* name;
        int32_t ls_display;
        double flight_director;
        bool ls_shown;
        bool bars_shown;
    } rows[] = {
        {"both off at load", 0, 0.0, false, false},
        {"both on", 1, 1.0, true, true},
        {"ILS only", 1, 0.0, true, false},
        {"flight director only", 0, 1.0, false, true},
        {"ls_display other than 1 hides", 2, 1.0, false, true},
        {"ls_display negative hides", -1, 1.0, false, true},
        {"flight director half is not on", 1, 0.5, true, false},
        {"flight director two is not on", 1, 2.0, true, false},
        {"flight director minus one is not on", 1, -1.0, true, false},
        {"flight director just above one is not on", 1, std::nextafter(1.0, 2.0), true, false},
        {"flight director NaN is not on", 1, nan_value, true, false},
        {"flight director infinity is not on", 1, inf, true, false},
    };
    for (const auto& row : rows) {
        cockpit.ls_display = row.ls_display;
        set(FLIGHT_DIRECTOR, row.flight_director);
        pfd_service_callback(&pfd_gauge, SERVICE_PRE_UPDATE, 0);
        for (uint32_t n : {24u, 25u, 26u, 27u}) EXPECT_EQ(hidden(n), !row.ls_shown) << row.name << ", element " << n;
        for (uint32_t n : {28u, 29u}) EXPECT_EQ(hidden(n), !row.bars_shown) << row.name << ", element " << n;
    }
}

TEST_F(PfdTest, UpdateTouchesOnlyTheHideBitOfElements24To29) {
    uint32_t at_load[PFD_ELEMENT_COUNT];
    for (uint32_t n = 0; n < PFD_ELEMENT_COUNT; ++n) at_load[n] = chain(n)->image_flags;
    for (int32_t ls : {0, 1}) {
        for (double fd : {0.0, 1.0}) {
            cockpit.ls_display = ls;
            set(FLIGHT_DIRECTOR, fd);
            pfd_service_callback(&pfd_gauge, SERVICE_PRE_UPDATE, 0);
            for (uint32_t n = 0; n < PFD_ELEMENT_COUNT; ++n) {
                const bool switched = n >= 24 && n <= 29;
                EXPECT_EQ(chain(n)->image_flags & ~IMAGE_HIDDEN, at_load[n]) << "element " << n;
                if (!switched) {
                    EXPECT_FALSE(hidden(n)) << "element " << n << " stays visible";
                }
            }
        }
    }
}

TEST_F(PfdTest, UpdateRefreshesOnlyTheFlightDirectorSharedRecord) {
    set(FLIGHT_DIRECTOR, 1.0);
    pfd_service_callback(&pfd_gauge, SERVICE_PRE_UPDATE, 0);
    EXPECT_EQ(refreshes, (std::vector<Refresh>{{792, true}}));
}

TEST_F(PfdTest, ServiceCodesOtherThanUpdateDoNothing) {
    cockpit.ls_display = 0;
    set(FLIGHT_DIRECTOR, 0.0);
    for (int32_t code : {0, 1, 2, 3, 7, 10, 12, 13, -6, 0x7FFFFFFF}) {
        pfd_service_callback(&pfd_gauge, code, 0x12345678);
        for (uint32_t n = 0; n < PFD_ELEMENT_COUNT; ++n) EXPECT_FALSE(hidden(n)) << "code " << code << " element " << n;
    }
    EXPECT_TRUE(refreshes.empty());
}

TEST_F(PfdTest, VisibilityIsRecomputedAtEveryUpdate) {
    set(FLIGHT_DIRECTOR, 1.0);
    pfd_service_callback(&pfd_gauge, SERVICE_PRE_UPDATE, 0);
    EXPECT_TRUE(hidden(PFD_LOCALIZER_SCALE));
    EXPECT_FALSE(hidden(PFD_FD_PITCH_BAR));

    cockpit.ls_display = 1;  // the ILS button pressed
    set(FLIGHT_DIRECTOR, 0.0);
    pfd_service_callback(&pfd_gauge, SERVICE_PRE_UPDATE, 0);
    EXPECT_FALSE(hidden(PFD_LOCALIZER_SCALE));
    EXPECT_TRUE(hidden(PFD_FD_PITCH_BAR));

    cockpit.ls_display = 0;
    pfd_service_callback(&pfd_gauge, SERVICE_PRE_UPDATE, 0);
    EXPECT_TRUE(hidden(PFD_LOCALIZER_SCALE));
}

TEST_F(PfdTest, UpdateWithoutAGaugeHeaderChangesNoElement) {
    pfd_service_callback(nullptr, SERVICE_PRE_UPDATE, 0);
    for (uint32_t n = 0; n < PFD_ELEMENT_COUNT; ++n) EXPECT_FALSE(hidden(n)) << "element " << n;
}

// --- Flight-director bars -----------------------------------------------------

TEST_F(PfdTest, PitchBarFollowsCommandLessPitchWithinTwentyFiveDegrees) {
    const struct {
        double command;
        double pitch;
        double expected;
    } rows[] = {
        {10.0, 2.0, 8.0},
        {40.0, 0.0, 25.0},
        {25.0, 0.0, 25.0},
        {-25.0, 0.0, -25.0},
        {0.0, 25.0, -25.0},
        {-30.0, 0.0, -25.0},
        {std::nextafter(25.0, 26.0), 0.0, 25.0},
        {std::nextafter(-25.0, -26.0), 0.0, -25.0},
        {0.0, 0.0, 0.0},
        {inf, 0.0, 25.0},
        {-inf, 0.0, -25.0},
        {1e308, -1e308, 25.0},  // overflows to infinity
        {nan_value, 0.0, 0.0},  // no command: the bar rests at its place
        {0.0, nan_value, 0.0},
        {inf, inf, 0.0},
    };
    for (const auto& row : rows) {
        set(FD_PITCH_COMMAND, row.command);
        set(PITCH, row.pitch);
        pfd_fd_pitch_bar.source_var_y.value.n = 99.0;  // the element's own record is not used
        refreshes.clear();
        const double value = pfd_fd_pitch_bar.update_y_cb(&pfd_fd_pitch_bar);
        EXPECT_EQ(value, row.expected) << "command " << row.command << ", pitch " << row.pitch;
        EXPECT_EQ(refreshes, (std::vector<Refresh>{{78, true}, {793, true}}));
    }
}

TEST_F(PfdTest, RollBarFollowsItsOwnCommandLessBankWithinTwentyFiveDegrees) {
    const struct {
        double command;
        double bank;
        double expected;
    } rows[] = {
        {-5.0, 30.0, -25.0},
        {5.0, -30.0, 25.0},
        {10.0, 4.0, 6.0},
        {25.0, 0.0, 25.0},
        {-25.0, 0.0, -25.0},
        {0.0, -26.0, 25.0},
        {nan_value, 0.0, 0.0},
        {0.0, -inf, 25.0},
    };
    for (const auto& row : rows) {
        set(FD_BANK_COMMAND, 77.0);  // the shared record of the command is not used
        set(BANK, row.bank);
        pfd_fd_roll_bar.source_var_x.value.n = row.command;  // refreshed by the host before the call
        refreshes.clear();
        const double value = pfd_fd_roll_bar.update_x_cb(&pfd_fd_roll_bar);
        EXPECT_EQ(value, row.expected) << "command " << row.command << ", bank " << row.bank;
        EXPECT_EQ(refreshes, (std::vector<Refresh>{{80, true}}));
    }
}

}  // namespace
}  // namespace orvane
