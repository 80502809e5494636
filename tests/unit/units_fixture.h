// Shared ground for the DH, FD and DME unit tests: a host attached to the
// module, every record of the three units and the cockpit state put back to
// their load values around each test, and a walk of a mouse table.
#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/services/host_services.h"
#include "module/cockpit.h"
#include "module/host_vars.h"
#include "module/linkage.h"
#include "units/units.h"

namespace orvane::testing {

// The records as the library loads them. They are constant-initialised, so
// these copies, made before main, see their load values.
struct UnitsRecords {
    GaugeHeader dh_gauge, fd_gauge, dme_gauge;
    ElementStaticImage dh_background, fd_background, dme_background;
    ElementString dh_value_window;
    ElementIcon gsa_light, dh_light, ils_light, fd_light, dme_light;
};

inline UnitsRecords units_records() {
    return {dh_gauge,   fd_gauge,        dme_gauge, dh_background, fd_background, dme_background, dh_value_window,
            gsa_light,  dh_light,        ils_light, fd_light,      dme_light};
}

inline const UnitsRecords units_at_load = units_records();

inline void restore_units_state() {
    const UnitsRecords& r = units_at_load;
    dh_gauge = r.dh_gauge;
    fd_gauge = r.fd_gauge;
    dme_gauge = r.dme_gauge;
    dh_background = r.dh_background;
    fd_background = r.fd_background;
    dme_background = r.dme_background;
    dh_value_window = r.dh_value_window;
    gsa_light = r.gsa_light;
    dh_light = r.dh_light;
    ils_light = r.ils_light;
    fd_light = r.fd_light;
    dme_light = r.dme_light;
    cockpit = cockpit_state_at_load;
    for (ModuleVar& record : shared_vars) record = ModuleVar{.id = record.id};
}

inline bool is_hidden(const ElementHeader& element) { return (element.image_flags & IMAGE_HIDDEN) != 0; }

class UnitsTest : public ::testing::Test {
protected:
    void SetUp() override {
        restore_units_state();
        host.attach(&ImportTable);
    }
    void TearDown() override {
        EXPECT_TRUE(host.traps().empty()) << host.traps().front();
        host.detach();
        restore_units_state();
    }

    static void update(GaugeHeader& gauge) { gauge.gauge_callback(&gauge, SERVICE_PRE_UPDATE, 0); }

    std::vector<uint32_t> key_event_ids() {
        std::vector<uint32_t> ids;
        for (const panelhost::KeyEvent& event : host.take_key_events()) {
            EXPECT_EQ(event.value, 0u) << "key event " << event.id;
            ids.push_back(event.id);
        }
        return ids;
    }

    panelhost::HostServices host;
};

// A click area of a mouse table with its box in gauge pixels and the tooltip
// of the area that holds it.
struct ClickArea {
    PixBox box;
    int32_t cursor;
    uint32_t mouse_flags;
    uint32_t event_id;
    MouseFunction handler;
    std::string tooltip;
};

// Walks a table as the host does; fails the test on a table whose areas do
// not nest or that does not end.
inline std::vector<ClickArea> click_areas(const MouseRect* table) {
    struct Area {
        PixBox box;
        std::string tooltip;
    };
    std::vector<Area> open;
    std::vector<ClickArea> clicks;
    for (int row = 0; row < 64; ++row) {
        const MouseRect& r = table[row];
        const PixBox origin = open.empty() ? PixBox{} : open.back().box;
        const PixBox box = {origin.x + r.relative_box.x, origin.y + r.relative_box.y, r.relative_box.size_x,
                            r.relative_box.size_y};
        switch (r.rect_type) {
            case MOUSE_OPEN_AREA:
                EXPECT_EQ(r.cursor, CURSOR_NONE) << "row " << row;
                EXPECT_EQ(r.mouse_flags, 0u) << "row " << row;
                open.push_back({box, ""});
                break;
            case MOUSE_TOOLTIP:
                EXPECT_FALSE(open.empty()) << "row " << row;
                if (!open.empty()) open.back().tooltip = r.action.tooltip;
                break;
            case MOUSE_CLICK_AREA:
                EXPECT_FALSE(open.empty()) << "row " << row;
                EXPECT_TRUE((r.event_id == 0) != (r.action.handler == nullptr)) << "row " << row;
                clicks.push_back({box, r.cursor, r.mouse_flags, r.event_id, r.action.handler,
                                  open.empty() ? "" : open.back().tooltip});
                break;
            case MOUSE_CLOSE_AREA:
                EXPECT_FALSE(open.empty()) << "row " << row;
                if (!open.empty()) open.pop_back();
                break;
            case MOUSE_END_OF_TABLE:
                EXPECT_TRUE(open.empty()) << "areas left open at the end, row " << row;
                return clicks;
            default:
                ADD_FAILURE() << "row " << row << " has kind " << r.rect_type;
                return clicks;
        }
        EXPECT_EQ(r.help_id, 0u) << "row " << row;
    }
    ADD_FAILURE() << "no end of table";
    return clicks;
}

inline bool same_box(const PixBox& a, const PixBox& b) {
    return a.x == b.x && a.y == b.y && a.size_x == b.size_x && a.size_y == b.size_y;
}

}  // namespace orvane::testing
