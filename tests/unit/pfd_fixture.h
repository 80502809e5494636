// A PFD on a host of its own: every PFD record, the shared host-variable
// records and the cockpit state are put back as they were at load after each
// test; text buffers are attached as the host does at install; every refresh
// the module asks of the host is logged in order.
#pragma once

#include <cstring>
#include <initializer_list>
#include <utility>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/services/host_services.h"
#include "module/cockpit.h"
#include "module/host_vars.h"
#include "module/linkage.h"
#include "pfd/pfd_gauge.h"
#include "tests/support/guarded_text.h"

namespace orvane {

// Where each PFD element should stand in the chain, in the order the host
// draws them; the chain test holds the module to it.
enum PfdChainIndex : uint32_t {
    PFD_BACKGROUND = 0,
    PFD_ATTITUDE_SPHERE = 1,
    PFD_SPEED_TAPE = 2,
    PFD_HEADING_TAPE = 3,
    PFD_ALTITUDE = 4,
    PFD_SPEED_MODE = 5,
    PFD_VERTICAL_MODE = 6,
    PFD_GLIDESLOPE_MODE = 7,
    PFD_LATERAL_MODE = 8,
    PFD_NAV_MODE = 9,
    PFD_SELECTED_HEADING = 10,
    PFD_SELECTED_SPEED = 11,
    PFD_MACH = 12,
    PFD_SELECTED_ALTITUDE = 13,
    PFD_SELECTED_VS = 14,
    PFD_VS_LABEL = 15,
    PFD_AP1 = 16,
    PFD_FD = 17,
    PFD_AT = 18,
    PFD_DH_LABEL = 19,
    PFD_DH_VALUE = 20,
    PFD_DME_LABEL = 21,
    PFD_DME_DISTANCE = 22,
    PFD_RADIO_ALTITUDE = 23,
    PFD_GLIDESLOPE_SCALE = 24,
    PFD_LOCALIZER_SCALE = 25,
    PFD_LOCALIZER_DIAMOND = 26,
    PFD_GLIDESLOPE_DIAMOND = 27,
    PFD_FD_PITCH_BAR = 28,
    PFD_FD_ROLL_BAR = 29,
    PFD_AIRCRAFT_SYMBOL = 30,
    PFD_ELEMENT_COUNT = 31,
};

}  // namespace orvane

namespace orvane::testing {

// One refresh the module asked of the host: which variable, and whether it
// was the module's shared record or an element's own.
struct Refresh {
    int32_t id;
    bool shared;
    bool operator==(const Refresh&) const = default;
};

inline void PrintTo(const Refresh& refresh, std::ostream* out) {
    *out << refresh.id << (refresh.shared ? " (shared)" : " (element's own)");
}

inline std::vector<Refresh>* refresh_log = nullptr;

inline bool is_shared_record(const ModuleVar* var) {
    return var >= shared_vars && var < shared_vars + detail::shared_var_count;
}

inline void HOST_CALL logging_refresh(ModuleVar* var) {
    if (refresh_log != nullptr && var != nullptr) refresh_log->push_back({var->id, is_shared_record(var)});
    if (panelhost::HostServices* host = panelhost::HostServices::active()) host->refresh(var);
}

class PfdTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const Record& record : records()) {
            const auto* bytes = static_cast<const unsigned char*>(record.address);
            saved_.emplace_back(bytes, bytes + record.size);
        }
        cockpit = cockpit_state_at_load;
        host.attach(&ImportTable);
        host.table().slot[SLOT_REFRESH_VAR] = reinterpret_cast<HostOperation>(logging_refresh);
        refresh_log = &refreshes;
        for (uint32_t n = 0; n < PFD_ELEMENT_COUNT; ++n) {
            ElementHeader* element = chain(n);
            if (element == nullptr || element->element_type != ELEMENT_STRING) continue;
            ElementString* text = as_text(element);
            buffers_[n] = std::make_unique<GuardedText>(text->max_string_length);
            buffers_[n]->attach(*text);
        }
    }

    void TearDown() override {
        refresh_log = nullptr;
        host.detach();
        const auto& list = records();
        for (size_t i = 0; i < list.size(); ++i) std::memcpy(list[i].address, saved_[i].data(), list[i].size);
        cockpit = cockpit_state_at_load;
    }

    static ElementHeader* chain(uint32_t n) { return nth_element(first_element(&pfd_gauge), n); }

    static ElementString* as_text(ElementHeader* element) { return reinterpret_cast<ElementString*>(element); }

    // Calls a text element's callback as the host does at an update: its own
    // records are refreshed first (by the host, so not logged as the module's).
    double update_text(uint32_t n) {
        for (ModuleVar& var : as_text(chain(n))->source_var) {
            if (var.id != 0) host.refresh(&var);
        }
        return call_text(n);
    }

    // Calls the callback on the element's own records as they stand.
    double call_text(uint32_t n) {
        ElementString* element = as_text(chain(n));
        refreshes.clear();
        const double returned = element->update_cb(element);
        EXPECT_TRUE(buffers_[n]->intact()) << "text of chain element " << n << " written out of bounds";
        return returned;
    }

    std::string text(uint32_t n) { return buffers_[n]->str(); }

    // Puts a known text in the element's buffer, as an earlier update would.
    void preset_text(uint32_t n, const char* value) {
        std::strncpy(buffers_[n]->text(), value, as_text(chain(n))->max_string_length);
    }

    bool hidden(uint32_t n) { return (chain(n)->image_flags & IMAGE_HIDDEN) != 0; }

    void set(int32_t id, double value) { host.set_var(id, value); }

    // Sets the given host variables and every other one the PFD reads to 0.
    void set_only(std::initializer_list<std::pair<int32_t, double>> values) {
#define ORVANE_ZERO_VAR(name, number) host.set_var(number, 0.0);
        ORVANE_HOST_VARIABLES(ORVANE_ZERO_VAR)
#undef ORVANE_ZERO_VAR
        for (const auto& [id, value] : values) host.set_var(id, value);
    }

    panelhost::HostServices host;
    std::vector<Refresh> refreshes;

private:
    struct Record {
        void* address;
        size_t size;
    };

    static const std::vector<Record>& records() {
        static const std::vector<Record> list = {
            {&pfd_gauge, sizeof pfd_gauge},
            {&pfd_background, sizeof pfd_background},
            {&pfd_attitude_sphere, sizeof pfd_attitude_sphere},
            {&pfd_speed_tape, sizeof pfd_speed_tape},
            {&pfd_heading_tape, sizeof pfd_heading_tape},
            {&pfd_altitude, sizeof(ElementString)},
            {&pfd_speed_mode, sizeof(ElementString)},
            {&pfd_vertical_mode, sizeof(ElementString)},
            {&pfd_glideslope_mode, sizeof(ElementString)},
            {&pfd_lateral_mode, sizeof(ElementString)},
            {&pfd_nav_mode, sizeof(ElementString)},
            {&pfd_selected_heading, sizeof(ElementString)},
            {&pfd_selected_speed, sizeof(ElementString)},
            {&pfd_mach, sizeof(ElementString)},
            {&pfd_selected_altitude, sizeof(ElementString)},
            {&pfd_selected_vs, sizeof(ElementString)},
            {&pfd_vs_label, sizeof(ElementString)},
            {&pfd_ap1, sizeof(ElementString)},
            {&pfd_fd, sizeof(ElementString)},
            {&pfd_at, sizeof(ElementString)},
            {&pfd_dh_label, sizeof(ElementString)},
            {&pfd_dh_value, sizeof(ElementString)},
            {&pfd_dme_label, sizeof(ElementString)},
            {&pfd_dme_distance, sizeof(ElementString)},
            {&pfd_radio_altitude, sizeof(ElementString)},
            {&pfd_glideslope_scale, sizeof pfd_glideslope_scale},
            {&pfd_localizer_scale, sizeof pfd_localizer_scale},
            {&pfd_localizer_diamond, sizeof pfd_localizer_diamond},
            {&pfd_glideslope_diamond, sizeof pfd_glideslope_diamond},
            {&pfd_fd_pitch_bar, sizeof pfd_fd_pitch_bar},
            {&pfd_fd_roll_bar, sizeof pfd_fd_roll_bar},
            {&pfd_aircraft_symbol, sizeof pfd_aircraft_symbol},
            {shared_vars, sizeof shared_vars},
        };
        return list;
    }

    std::vector<std::vector<unsigned char>> saved_;
    std::map<uint32_t, std::unique_ptr<GuardedText>> buffers_;
};

}  // namespace orvane::testing
