#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/panel/geometry.h"
#include "host/panel/panel.h"
#include "host/panel/trace.h"
#include "tests/unit/host_test_module.h"

namespace panelhost::testing {
namespace {

bool contains(const std::vector<std::string>& texts, const std::string& part) {
    for (const std::string& text : texts) {
        if (text.find(part) != std::string::npos) return true;
    }
    return false;
}

std::string joined(const std::vector<std::string>& texts) {
    std::string all;
    for (const std::string& text : texts) all += text + "\n";
    return all;
}

class HostPanelTests : public HostedTestModule {
protected:
    Trace trace;
    Panel panel{host, test_records(), &trace};

    const ElementState& state(size_t index) {
        const ElementState* found = nullptr;
        const Status status = panel.element_state("T", index, found);
        EXPECT_TRUE(status.ok()) << status.error;
        return *found;
    }
};

TEST_F(HostPanelTests, InstallHandsEachTextAZeroedBufferOfItsCountAndOneMore) {
    ASSERT_TRUE(panel.install("T").ok());
    EXPECT_EQ(calls.services, (std::vector<int32_t>{2, 3, 4, 5}));
    EXPECT_EQ(calls.extras.at(0), test_instance);
    ASSERT_NE(test_text.string, nullptr);
    const ElementState& text = state(1);
    ASSERT_TRUE(text.text);
    EXPECT_EQ(text.text->char_count(), 4u);
    EXPECT_EQ(test_text.string, text.text->text());
    for (int i = 0; i <= 4; ++i) EXPECT_EQ(test_text.string[i], '\0') << i;
    EXPECT_EQ(text.text->check(), "");
    EXPECT_EQ(calls.text_calls, 0);

    // A gauge without a service callback and with a text of no characters.
    ASSERT_TRUE(panel.install("U").ok());
    ASSERT_NE(second_text.string, nullptr);
    EXPECT_EQ(second_text.string[0], '\0');
    EXPECT_EQ(panel.installed_names(), (std::vector<std::string>{"T", "U"}));
    EXPECT_TRUE(panel.take_faults().empty());
}

TEST_F(HostPanelTests, EachPlacementOfAGaugeHasItsOwnRecordsAndSharesTheModulesState) {
    ASSERT_TRUE(panel.set_placements("T", 2).ok());
    EXPECT_EQ(panel.placement_names(), (std::vector<std::string>{"T", "T:2", "U"}));
    GaugeHeader* second = panel.gauge("T:2");
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, &test_gauge);
    for (const char* name : {"T:1", "T:3", "T:02", "U:2", "T:"}) EXPECT_EQ(panel.gauge(name), nullptr) << name;
    EXPECT_FALSE(panel.set_placements("T", max_placements + 1).ok());
    host.set_var(DECISION_HEIGHT, 200);
    ASSERT_TRUE(panel.install("T").ok());
    ASSERT_TRUE(panel.install("T:2").ok());
    EXPECT_NE(panel.set_placements("T", 1).error.find("T:2 is installed"), std::string::npos);
    panel.update();
    // Each service call is given its own placement's header.
    EXPECT_EQ(calls.service_gauges, (std::vector<GaugeHeader*>{&test_gauge, &test_gauge, &test_gauge, &test_gauge,
                                                               second, second, second, second, &test_gauge,
                                                               &test_gauge, second, second}));

    // Every element is copied whole at its kind's size and chained to its own gauge.
    for (size_t i = 0; i < 6; ++i) {
        const ElementState* own = nullptr;
        const ElementState* copy = nullptr;
        ASSERT_TRUE(panel.element_state("T", i, own).ok());
        ASSERT_TRUE(panel.element_state("T:2", i, copy).ok());
        EXPECT_NE(copy->element, own->element) << i;
        EXPECT_EQ(copy->element->gauge_header, second) << i;
        EXPECT_EQ(copy->element->resource_id, own->element->resource_id) << i;
        EXPECT_EQ(copy->element->failure_systems, own->element->failure_systems) << i;
    }
    const ElementState& own_text = state(1);
    const ElementState* copy_text = nullptr;
    ASSERT_TRUE(panel.element_state("T:2", 1, copy_text).ok());
    EXPECT_EQ(own_text.text->str(), "200");
    EXPECT_EQ(copy_text->text->str(), "200");
    EXPECT_NE(own_text.text->text(), copy_text->text->text());
    const ElementState* copy_slider = nullptr;
    ASSERT_TRUE(panel.element_state("T:2", 2, copy_slider).ok());
    EXPECT_EQ(reinterpret_cast<const ElementSlider*>(copy_slider->element)->update_y_cb, test_slider_y_cb);

    // A hide bit is its placement's own.
    ElementHeader* copy_icon = nullptr;
    ASSERT_TRUE(panel.element("T:2", 5, copy_icon).ok());
    copy_icon->image_flags &= ~IMAGE_HIDDEN;
    EXPECT_TRUE(panel.drawn(*copy_icon));
    EXPECT_FALSE(panel.drawn(test_icon.header));

    // A click on the second placement names its header; the mouse table is the module's.
    ASSERT_TRUE(panel.click("T:2", {35, 15}, Button::left, 0).ok());
    EXPECT_EQ(calls.handler_gauge, second);
    ASSERT_TRUE(panel.click("T", {35, 15}, Button::left, 0).ok());
    EXPECT_EQ(calls.handler_gauge, &test_gauge);
    EXPECT_EQ(panel.probe("T:2", {12, 15}).tooltip, "Test Knob");

    EXPECT_NE(trace.text().find("update 1\n  T\n    text 1 \"200\"\n"), std::string::npos) << trace.text();
    EXPECT_NE(trace.text().find("  T:2\n    text 1 \"200\"\n"), std::string::npos) << trace.text();
    ASSERT_TRUE(panel.kill("T:2").ok());
    EXPECT_EQ(panel.installed_names(), (std::vector<std::string>{"T"}));
    // A panel edited as it flies places the gauge once more, or once less.
    ASSERT_TRUE(panel.set_placements("T", 3).ok());
    ASSERT_TRUE(panel.install("T:3").ok());
    EXPECT_TRUE(panel.set_placements("T", 1).error.find("T:3 is installed") != std::string::npos);
    EXPECT_NE(test_text.string, nullptr) << "the first placement keeps its buffer";
    EXPECT_TRUE(panel.take_faults().empty());
}

TEST_F(HostPanelTests, InstallRefusesAnUnknownOrInstalledGauge) {
    EXPECT_NE(panel.install("X").error.find("no gauge named X"), std::string::npos);
    ASSERT_TRUE(panel.install("T").ok());
    EXPECT_NE(panel.install("T").error.find("already installed"), std::string::npos);
    EXPECT_EQ(calls.services.size(), 4u);
}

TEST_F(HostPanelTests, UpdateRefreshesEachElementsOwnVariablesAndUsesItsCallbacks) {
    host.set_var(DECISION_HEIGHT, 200);
    host.set_var(AIRSPEED_TARGET, 250);
    host.set_var(LOCALIZER_DEVIATION, 10);
    host.set_var(FD_PITCH_COMMAND, 4);
    host.set_var(AIRSPEED, 300);
    host.set_var(PITCH, 2);
    host.set_var(BANK, -3);
    ASSERT_TRUE(panel.install("T").ok());
    test_text.source_var[1].value.n = 77.0;  // id 0: the host must leave it alone
    panel.update();

    EXPECT_EQ(calls.services, (std::vector<int32_t>{2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(calls.text_calls, 1);
    EXPECT_EQ(test_text.source_var[0].value.n, 200.0);
    EXPECT_EQ(test_text.source_var[1].value.n, 77.0);
    EXPECT_EQ(test_text.source_var[2].value.n, 250.0);
    EXPECT_EQ(state(1).text->str(), "200");
    EXPECT_EQ(state(1).result, 201.0);

    const struct {
        size_t index;
        int axis;
        double value;
    } axes[] = {
        {2, 0, 10.0},   // slider x: the source, no callback
        {2, 1, 8.0},    // slider y: the callback's result replaces the source
        {3, 0, 0.0},    // moving image x: no variable
        {3, 1, 300.0},  // moving image y
        {4, 1, 2.0},    // sprite y
        {4, 2, -3.0},   // sprite rotation
    };
    for (const auto& a : axes) EXPECT_EQ(state(a.index).axis[a.axis], a.value) << a.index << " axis " << a.axis;
    EXPECT_EQ(state(2).offset[0], 5.0);
    EXPECT_EQ(state(2).offset[1], 12.0);
    EXPECT_FALSE(state(3).has_offset);
    EXPECT_TRUE(panel.take_faults().empty());

    panel.update();
    EXPECT_EQ(calls.text_calls, 2);
    EXPECT_EQ(panel.update_count(), 2u);
}

TEST_F(HostPanelTests, MovingImageOffsetsComeFromTheTextureAndWindowSizes) {
    panel.set_bitmap_sizes([](int32_t id) -> std::optional<PixPoint> {
        if (id == 5001) return PixPoint{26, 839};
        if (id == 5002) return PixPoint{32, 97};
        return std::nullopt;
    });
    host.set_var(AIRSPEED, 310);
    ASSERT_TRUE(panel.install("T").ok());
    panel.update();
    ASSERT_TRUE(state(3).has_offset);
    EXPECT_EQ(state(3).offset[1], moving_image_offset(310, 620, 0, 839, 97));
    EXPECT_EQ(state(3).offset[1], 371.0);
}

TEST_F(HostPanelTests, ADamagedTextBufferIsReportedOnceAndRepaired) {
    const struct {
        TextMode mode;
        const char* fault;
    } cases[] = {
        {TextMode::past_end, "T element 1: the module wrote past the end of its text buffer"},
        {TextMode::before_start, "T element 1: the module wrote before the start of its text buffer"},
        {TextMode::unterminated, "T element 1: the module left its text without a terminating NUL"},
        {TextMode::swap_pointer, "T element 1: the module replaced the host's text buffer pointer"},
    };
    ASSERT_TRUE(panel.install("T").ok());
    for (const auto& c : cases) {
        calls.text_mode = c.mode;
        panel.update();
        const std::vector<std::string> faults = panel.take_faults();
        EXPECT_TRUE(contains(faults, c.fault)) << c.fault << "\ngot:\n" << joined(faults);
        EXPECT_NE(trace.text().find("! " + std::string(c.fault)), std::string::npos) << c.fault;
        EXPECT_EQ(test_text.string, state(1).text->text()) << c.fault;
        EXPECT_EQ(state(1).text->check(), "") << c.fault;

        calls.text_mode = TextMode::normal;
        panel.update();
        EXPECT_TRUE(panel.take_faults().empty()) << c.fault;
    }
}

TEST_F(HostPanelTests, ACallOfAnOperationTheHostDoesNotProvideIsAFault) {
    ASSERT_TRUE(panel.install("T").ok());
    calls.text_mode = TextMode::trap;
    panel.update();
    const std::vector<std::string> faults = panel.take_faults();
    ASSERT_EQ(faults.size(), 1u) << joined(faults);
    EXPECT_NE(faults[0].find("slot 37"), std::string::npos) << faults[0];
    EXPECT_TRUE(panel.take_faults().empty());
}

TEST_F(HostPanelTests, KillTakesTheBuffersBackAndSendsKillCodes) {
    ASSERT_TRUE(panel.install("T").ok());
    panel.update();
    ASSERT_TRUE(panel.kill("T").ok());
    EXPECT_EQ(calls.services, (std::vector<int32_t>{2, 3, 4, 5, 6, 7, 12, 13}));
    EXPECT_EQ(test_text.string, nullptr);
    EXPECT_EQ(panel.installed("T"), nullptr);
    EXPECT_NE(panel.kill("T").error.find("not installed"), std::string::npos);
    // A later update leaves the killed gauge alone.
    panel.update();
    EXPECT_EQ(calls.services.size(), 8u);
    // And it may be installed afresh.
    ASSERT_TRUE(panel.install("T").ok());
    EXPECT_NE(test_text.string, nullptr);
}

TEST_F(HostPanelTests, DrawnFollowsTheHideBitAndTheFailureList) {
    const struct {
        int32_t failure;
        size_t index;
        bool drawn;
    } cases[] = {
        {0, 0, true},                                // background, no failure
        {0, 5, false},                               // icon hidden at load
        {FAIL_SYSTEM_ELECTRICAL_PANELS, 0, false},   // no-draw failure in its list
        {FAIL_SYSTEM_ELECTRICAL_PANELS, 1, true},    // the text has no failure list
        {FAIL_GAUGE_ATTITUDE, 0, true},              // in the list, but not a no-draw action
    };
    for (const auto& c : cases) {
        if (c.failure != 0) panel.set_failure(c.failure, true);
        ElementHeader* element = nullptr;
        ASSERT_TRUE(panel.element("T", c.index, element).ok());
        EXPECT_EQ(panel.drawn(*element), c.drawn) << "failure " << c.failure << " element " << c.index;
        if (c.failure != 0) panel.set_failure(c.failure, false);
    }
    EXPECT_TRUE(panel.active_failures().empty());
}

TEST_F(HostPanelTests, AClickSendsTheRowsEventOrCallsItsHandler) {
    ASSERT_TRUE(panel.click("T", {12, 15}, Button::left, 0).ok());
    ASSERT_EQ(host.key_events().size(), 1u);
    EXPECT_EQ(host.key_events()[0].id, KEY_ALTITUDE_TARGET_DEC);
    EXPECT_EQ(host.key_events()[0].value, 0u);
    EXPECT_EQ(calls.handler_calls, 0);

    ASSERT_TRUE(panel.click("T", {35, 15}, Button::right, 0).ok());
    EXPECT_EQ(calls.handler_calls, 1);
    EXPECT_EQ(calls.handler_point.x, 3);
    EXPECT_EQ(calls.handler_point.y, 5);
    EXPECT_EQ(calls.handler_flags, mouse_right);
    ASSERT_EQ(host.key_events().size(), 2u);
    EXPECT_EQ(host.key_events()[1].id, KEY_FLIGHT_DIRECTOR_TOGGLE);

    // The gap between the halves reacts to nothing.
    ASSERT_TRUE(panel.click("T", {29, 15}, Button::left, 0).ok());
    EXPECT_EQ(host.key_events().size(), 2u);
    EXPECT_NE(panel.click("X", {1, 1}, Button::left, 0).error.find("no gauge"), std::string::npos);
}

TEST_F(HostPanelTests, AHeldButtonRepeatsOnlyOnRowsThatAskForRepeats) {
    ASSERT_TRUE(panel.click("T", {12, 15}, Button::left, 3).ok());
    EXPECT_EQ(host.take_key_events().size(), 4u);
    ASSERT_TRUE(panel.click("T", {35, 15}, Button::left, 3).ok());
    EXPECT_EQ(calls.handler_calls, 1);
    EXPECT_EQ(calls.handler_flags, mouse_left);
}

TEST_F(HostPanelTests, TheAircraftModelAppliesClicksWhenSwitchedOn) {
    host.set_var(ALTITUDE_TARGET, 5000);
    panel.click("T", {12, 15}, Button::left, 0);
    EXPECT_EQ(host.var(ALTITUDE_TARGET), 5000.0);
    panel.set_aircraft_model(true);
    panel.click("T", {12, 15}, Button::left, 1);
    EXPECT_EQ(host.var(ALTITUDE_TARGET), 4800.0);
    panel.set_aircraft_model(false);
    panel.click("T", {12, 15}, Button::left, 0);
    EXPECT_EQ(host.var(ALTITUDE_TARGET), 4800.0);
}

TEST_F(HostPanelTests, ACycleInTheChainIsReportedAtInstallNotFollowed) {
    test_icon_list[0] = &test_text.header;  // the sprite leads back to the text
    const Status status = panel.install("T");
    test_icon_list[0] = &test_icon.header;
    ASSERT_TRUE(status.ok());
    const std::vector<std::string> faults = panel.take_faults();
    EXPECT_TRUE(contains(faults, "T: element chain: element 4 leads back to element 1")) << joined(faults);
    EXPECT_EQ(panel.installed("T")->elements.size(), 5u);
}

TEST_F(HostPanelTests, CallbacksCanBeCalledDirectlyInstalledOrNot) {
    // Not installed: the text has no buffer, and the callback must cope.
    ASSERT_TRUE(panel.call_callback("T", 1).ok());
    EXPECT_EQ(calls.text_calls, 1);
    EXPECT_EQ(test_text.string, nullptr);

    host.set_var(DECISION_HEIGHT, 50);
    ASSERT_TRUE(panel.install("T").ok());
    panel.update();
    ASSERT_TRUE(panel.call_callback("T", 1).ok());
    EXPECT_EQ(calls.text_calls, 3);
    EXPECT_EQ(state(1).text->str(), "50");

    EXPECT_NE(panel.call_callback("T", 0).error.find("(static image) has no callback"), std::string::npos);
    EXPECT_NE(panel.call_callback("T", 9).error.find("no element 9"), std::string::npos);
}

TEST_F(HostPanelTests, ServiceCallsPassAnyCodeAndExtra) {
    ASSERT_TRUE(panel.service("T", 99, 7).ok());
    ASSERT_TRUE(panel.service("U", 6, 0).ok());  // no service callback: nothing to call
    EXPECT_EQ(calls.services, (std::vector<int32_t>{99}));
    EXPECT_EQ(calls.extras, (std::vector<ServiceExtra>{7}));
}

TEST_F(HostPanelTests, TheTraceRecordsEachUpdatesTextsHiddenElementsAndValues) {
    host.set_var(DECISION_HEIGHT, 200);
    host.set_var(FD_PITCH_COMMAND, 4);
    ASSERT_TRUE(panel.install("T").ok());
    panel.set_failure(FAIL_SYSTEM_ELECTRICAL_PANELS, true);
    panel.update();
    panel.click("T", {12, 15}, Button::left, 1);
    panel.click("T", {29, 15}, Button::right, 0);
    ASSERT_TRUE(panel.kill("T").ok());
    EXPECT_EQ(trace.text(),
              "install T\n"
              "update 1\n"
              "  T\n"
              "    text 1 \"200\"\n"
              "    hidden 5\n"
              "    failed 0\n"
              "    slider 2 x 0 0 y 8 12\n"
              "    moving 3 x 0 y 0\n"
              "    sprite 4 x 0 y 0 rotation 0\n"
              "  press row 4 event cursor 2 tooltip \"Test Knob\"\n"
              "    event 65893 KEY_ALTITUDE_TARGET_DEC\n"
              "  repeat row 4 event cursor 2 tooltip \"Test Knob\"\n"
              "    event 65893 KEY_ALTITUDE_TARGET_DEC\n"
              "  press none cursor -1 tooltip \"Test Knob\"\n"
              "kill T\n");
}

}  // namespace
}  // namespace panelhost::testing
