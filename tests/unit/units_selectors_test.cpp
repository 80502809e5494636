#include <cmath>
#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "module/key_event_list.h"
#include "tests/unit/units_fixture.h"

namespace orvane {
namespace {

using testing::is_hidden;

constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

// Host values around 1.0 and of every kind; only exactly 1.0 is on.
const struct {
    double value;
    bool on;
} host_values[] = {
    {1.0, true},
    {0.0, false},
    {0.5, false},
    {2.0, false},
    {-1.0, false},
    {std::nextafter(1.0, 2.0), false},
    {std::nextafter(1.0, 0.0), false},
    {std::numeric_limits<double>::denorm_min(), false},
    {nan_value, false},
    {inf, false},
    {-inf, false},
};

using SelectorTest = testing::UnitsTest;

TEST_F(SelectorTest, IlsButtonSwitchesTheLandingSystemDisplay) {
    const struct {
        int32_t before;
        int32_t after;
    } cases[] = {{0, 1}, {1, 0}, {2, 1}, {-1, 1}, {INT32_MIN, 1}};
    for (const auto& c : cases) {
        cockpit.ls_display = c.before;
        EXPECT_EQ(ls_toggle_click(nullptr, MOUSE_CLICK), 0);
        EXPECT_EQ(cockpit.ls_display, c.after) << "from " << c.before;
    }
}

TEST_F(SelectorTest, DmeButtonAlternatesTheSourcesAndSendsAnyOtherValueToDme1) {
    const struct {
        int32_t before;
        int32_t after;
    } cases[] = {{1, 2}, {2, 1}, {0, 1}, {3, 1}, {-1, 1}, {INT32_MIN, 1}, {INT32_MAX, 1}};
    for (const auto& c : cases) {
        cockpit.dme_source = c.before;
        EXPECT_EQ(dme_toggle_click(nullptr, MOUSE_CLICK), 0);
        EXPECT_EQ(cockpit.dme_source, c.after) << "from " << c.before;
    }
}

TEST_F(SelectorTest, HandlersIgnoreTheirArgumentsAndTouchOnlyTheirOwnSwitch) {
    PixPoint inside{3, 3};
    PixPoint far_away{INT32_MIN, INT32_MAX};
    const struct {
        PixPoint* point;
        uint32_t flags;
    } arguments[] = {{nullptr, 0}, {&inside, MOUSE_CLICK_REPEAT}, {&far_away, 0xFFFFFFFFu}};
    for (const auto& a : arguments) {
        EXPECT_EQ(ls_toggle_click(a.point, a.flags), 0);
        EXPECT_EQ(cockpit.ls_display, 1);
        EXPECT_EQ(cockpit.dme_source, 1);
        EXPECT_EQ(dme_toggle_click(a.point, a.flags), 0);
        EXPECT_EQ(cockpit.dme_source, 2);
        EXPECT_EQ(cockpit.ls_display, 1);
        cockpit = cockpit_state_at_load;
    }
    EXPECT_TRUE(key_event_ids().empty());
}

TEST_F(SelectorTest, FdLightsFollowTheLandingSystemSwitchAndTheFlightDirectorExactlyOn) {
    for (int32_t ls : {0, 1}) {
        for (const auto& v : host_values) {
            cockpit.ls_display = ls;
            host.set_var(FLIGHT_DIRECTOR, v.value);
            const uint64_t refreshes = host.refresh_count();
            update(fd_gauge);
            EXPECT_EQ(host.refresh_count(), refreshes + 1) << "the flight director is refreshed once";
            EXPECT_EQ(is_hidden(ils_light.header), ls != 1) << "ls_display " << ls;
            EXPECT_EQ(is_hidden(fd_light.header), !v.on) << "flight director " << v.value;
            EXPECT_EQ(ils_light.header.image_flags & ~IMAGE_HIDDEN, 0x7u);
            EXPECT_EQ(fd_light.header.image_flags & ~IMAGE_HIDDEN, 0x7u);
            EXPECT_EQ(fd_background.header.image_flags, 0x4001u);
        }
    }
    EXPECT_TRUE(key_event_ids().empty());
}

TEST_F(SelectorTest, DmeLightFollowsItsHostStateWhateverTheSelectedSource) {
    for (int32_t source : {1, 2, 0}) {
        for (const auto& v : host_values) {
            cockpit.dme_source = source;
            host.set_var(PANEL_CIRCUIT_ON, v.value);
            update(dme_gauge);
            EXPECT_EQ(is_hidden(dme_light.header), !v.on) << "host value " << v.value << ", DME" << source;
            EXPECT_EQ(dme_light.header.image_flags & ~IMAGE_HIDDEN, 0x7u);
            EXPECT_EQ(dme_background.header.image_flags, 0x4001u);
            EXPECT_EQ(cockpit.dme_source, source);
        }
    }
}

TEST_F(SelectorTest, ServiceCallsOtherThanUpdateChangeNothing) {
    const int32_t codes[] = {SERVICE_PRE_INSTALL, SERVICE_PRE_KILL, 0, 1, 3, 5, 7, 13, 17, -1, INT32_MIN, INT32_MAX};
    cockpit.ls_display = 1;
    host.set_var(FLIGHT_DIRECTOR, 1.0);
    host.set_var(PANEL_CIRCUIT_ON, 1.0);
    for (GaugeHeader* gauge : {&fd_gauge, &dme_gauge}) {
        for (ElementHeader* e = gauge->elements_list[0]; e != nullptr; e = e->next_element ? e->next_element[0] : nullptr) {
            e->image_flags |= IMAGE_HIDDEN;  // an update would show every light
        }
        for (int32_t code : codes) {
            gauge->gauge_callback(gauge, code, 0x1234);
            for (uint32_t i = 0; nth_element(gauge->elements_list[0], i) != nullptr; ++i) {
                EXPECT_TRUE(is_hidden(*nth_element(gauge->elements_list[0], i)))
                    << gauge->gauge_name << " element " << i << ", service code " << code;
            }
        }
        gauge->gauge_callback(nullptr, SERVICE_PRE_UPDATE, 0);  // no header: no chain to change
    }
    EXPECT_TRUE(is_hidden(ils_light.header));
    EXPECT_TRUE(is_hidden(dme_light.header));
    EXPECT_EQ(host.refresh_count(), 2u) << "only the two headerless updates read the host";
    EXPECT_TRUE(key_event_ids().empty());
}

TEST_F(SelectorTest, LightsSitWhereTheUpdatesLookForThem) {
    EXPECT_EQ(nth_element(fd_gauge.elements_list[0], FdChain::index<ils_light>), &ils_light.header);
    EXPECT_EQ(nth_element(fd_gauge.elements_list[0], FdChain::index<fd_light>), &fd_light.header);
    EXPECT_EQ(fd_light.header.next_element, nullptr);
    EXPECT_EQ(nth_element(dme_gauge.elements_list[0], DmeChain::index<dme_light>), &dme_light.header);
    EXPECT_EQ(dme_light.header.next_element, nullptr);
    for (ElementIcon* light : {&ils_light, &fd_light, &dme_light}) {
        EXPECT_EQ(light->num_icons, 1);
        EXPECT_EQ(light->source_var.id, 0);
        EXPECT_EQ(light->update_cb, nullptr);
        EXPECT_FALSE(is_hidden(light->header));
    }
    EXPECT_EQ(ils_light.header.gauge_header, &fd_gauge);
    EXPECT_EQ(fd_light.header.gauge_header, &fd_gauge);
    EXPECT_EQ(dme_light.header.gauge_header, &dme_gauge);
}

TEST_F(SelectorTest, EachButtonSendsItsEventOrReachesItsHandler) {
    const struct {
        MouseRect* table;
        size_t index;
        PixBox box;
        uint32_t event;
        MouseFunction handler;
        const char* tooltip;
    } expected[] = {
        {fd_mouse_table, 0, {1, 2, 18, 13}, KEY_FLIGHT_DIRECTOR_TOGGLE, nullptr, "Toggle Flight Director"},
        {fd_mouse_table, 1, {21, 2, 18, 13}, 0, ls_toggle_click, "Toggle Glideslope Angle"},
        {dme_mouse_table, 0, {0, 0, 18, 14}, 0, dme_toggle_click, "Toggle DME1/2"},
    };
    EXPECT_EQ(testing::click_areas(fd_mouse_table).size(), 2u);
    EXPECT_EQ(testing::click_areas(dme_mouse_table).size(), 1u);
    for (const auto& e : expected) {
        const auto clicks = testing::click_areas(e.table);
        ASSERT_LT(e.index, clicks.size());
        const testing::ClickArea& click = clicks[e.index];
        EXPECT_TRUE(testing::same_box(click.box, e.box)) << e.tooltip;
        EXPECT_EQ(click.cursor, CURSOR_HAND) << e.tooltip;
        EXPECT_EQ(click.mouse_flags, 0xA0200000u) << e.tooltip;
        EXPECT_EQ(click.event_id, e.event) << e.tooltip;
        EXPECT_EQ(click.handler, e.handler) << e.tooltip;
        EXPECT_EQ(click.tooltip, e.tooltip);
    }
    // The FD and DME gauges have no tooltip of their own.
    EXPECT_EQ(fd_mouse_table[1].rect_type, MOUSE_OPEN_AREA);
    EXPECT_EQ(dme_mouse_table[1].rect_type, MOUSE_OPEN_AREA);
}

}  // namespace
}  // namespace orvane
