#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "host/services/host_services.h"
#include "host/services/names.h"
#include "module/host_calls.h"
#include "module/host_vars.h"
#include "module/linkage.h"

namespace orvane {
namespace {

TEST(LinkageTests, ImportTableAsksForTheHostFunctionTable) {
    EXPECT_EQ(ImportTable.entry[0].id, 0x0Fu);
    EXPECT_EQ(ImportTable.entry[1].id, 0u);
    EXPECT_EQ(ImportTable.entry[1].table, nullptr);
}

TEST(LinkageTests, LinkageListsTheFiveGaugesInOrderThenNull) {
    EXPECT_EQ(Linkage.module_id, 0x13u);
    ASSERT_NE(Linkage.module_init, nullptr);
    ASSERT_NE(Linkage.module_deinit, nullptr);
    Linkage.module_init();
    Linkage.module_deinit();
    EXPECT_EQ(Linkage.module_flags, 0u);
    EXPECT_EQ(Linkage.module_priority, 0u);
    EXPECT_EQ(Linkage.module_version, 0u);

    const struct {
        const char* name;
        uint32_t width_mm;
    } expected[] = {{"AP", 314}, {"PFD", 189}, {"DH", 109}, {"FD", 40}, {"DME", 18}};
    for (int i = 0; i < 5; ++i) {
        GaugeHeader* gauge = Linkage.gauge_table[i];
        ASSERT_NE(gauge, nullptr);
        EXPECT_STREQ(gauge->gauge_name, expected[i].name);
        EXPECT_EQ(gauge->gauge_header_version, 700u) << expected[i].name;
        EXPECT_EQ(gauge->size_x_mm, expected[i].width_mm) << expected[i].name;
        ASSERT_NE(gauge->elements_list, nullptr);
        ASSERT_NE(gauge->elements_list[0], nullptr) << expected[i].name;
        EXPECT_EQ(gauge->elements_list[1], nullptr) << expected[i].name;
        EXPECT_EQ(gauge->elements_list[0]->gauge_header, gauge) << expected[i].name;
        EXPECT_NE(gauge->mouse_rect, nullptr);
        EXPECT_NE(gauge->gauge_callback, nullptr);
    }
    EXPECT_EQ(Linkage.gauge_table[5], nullptr);
}

TEST(LinkageTests, HeaderFieldsTheModuleDoesNotFillAreZero) {
    for (int i = 0; i < 5; ++i) {
        const GaugeHeader& g = *Linkage.gauge_table[i];
        EXPECT_EQ(g.reserved1, nullptr);
        EXPECT_EQ(g.size_y_mm, 0u);
        EXPECT_EQ(g.x_adjust, 0.0f);
        EXPECT_EQ(g.y_adjust, 0.0f);
        EXPECT_EQ(g.position.x, 0);
        EXPECT_EQ(g.user_data, 0u);
        EXPECT_EQ(g.parameters, nullptr);
        EXPECT_EQ(g.usage, nullptr);
        EXPECT_EQ(g.flags, 0u);
        EXPECT_EQ(g.key_id, 0u);
        for (double d : g.user_area) EXPECT_EQ(d, 0.0);
        for (uint8_t b : g.guid) EXPECT_EQ(b, 0);
        for (void* p : g.serialize_callbacks) EXPECT_EQ(p, nullptr);
    }
}

class WithHost : public ::testing::Test {
protected:
    void SetUp() override { host.attach(&ImportTable); }
    panelhost::HostServices host;
};

TEST_F(WithHost, EveryGaugesElementListRoutinesPassTheFcuFirstElement) {
    ElementHeader* fcu_first = ap_gauge.elements_list[0];
    for (int i = 0; i < 5; ++i) {
        GaugeHeader* g = Linkage.gauge_table[i];
        g->query_routine();
        g->install_routine(reinterpret_cast<void*>(uintptr_t{0x1234}));
        g->initialize_routine();
        g->update_routine();
        g->generate_routine(7);
        g->draw_routine();
        g->kill_routine();
    }
    const auto& calls = host.element_list_calls();
    ASSERT_EQ(calls.size(), 35u);
    const int slots[] = {24, 25, 26, 27, 28, 29, 31};
    for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].slot, slots[i % 7]) << "call " << i;
        EXPECT_EQ(calls[i].first, fcu_first) << "call " << i;
    }
    EXPECT_EQ(calls[1].value, 0x1234u);
    EXPECT_EQ(calls[4].value, 7u);
    EXPECT_TRUE(host.traps().empty());
}

// A first gauge, or its element list, taken away (as a host that rewrote the
// table might): the routines hand the host no element rather than follow it.
TEST_F(WithHost, WithoutTheFcuOrItsElementListTheRoutinesPassNoElement) {
    GaugeHeader* const fcu = Linkage.gauge_table[0];
    ElementHeader** const list = fcu->elements_list;
    const struct Row {
        const char* what;
        void (*damage)(GaugeHeader*);
    } rows[] = {
        {"no first gauge", [](GaugeHeader*) { Linkage.gauge_table[0] = nullptr; }},
        {"no element list", [](GaugeHeader* g) { g->elements_list = nullptr; }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        row.damage(fcu);
        Linkage.gauge_table[1]->query_routine();
        Linkage.gauge_table[1]->install_routine(nullptr);
        Linkage.gauge_table[0] = fcu;
        fcu->elements_list = list;
        ASSERT_GE(host.element_list_calls().size(), 2u);
        EXPECT_EQ(host.element_list_calls().back().first, nullptr);
        EXPECT_EQ(host.element_list_calls().end()[-2].first, nullptr);
    }
}

TEST_F(WithHost, RefreshAndKeyEventsGoThroughTheTable) {
    host.set_var(AIRSPEED_HOLD, 1.0);
    EXPECT_EQ(read_var(AIRSPEED_HOLD), 1.0);
    host.set_var(AIRSPEED_HOLD, 0.5);
    EXPECT_EQ(read_var(AIRSPEED_HOLD), 0.5);
    EXPECT_EQ(shared_var(AIRSPEED_HOLD).id, 115);
    trigger_key_event(65580);
    ASSERT_EQ(host.key_events().size(), 1u);
    EXPECT_EQ(host.key_events()[0].id, 65580u);
    EXPECT_EQ(host.key_events()[0].value, 0u);
}

TEST(HostCallTests, BeforeTheHostWritesItsTableCallsDoNothing) {
    ASSERT_EQ(ImportTable.entry[0].table, nullptr);
    ModuleVar record{.id = 115};
    record.value.n = 42.0;
    refresh_var(&record);
    EXPECT_EQ(record.value.n, 42.0);
    trigger_key_event(65580);
    for (int i = 0; i < 5; ++i) Linkage.gauge_table[i]->update_routine();
}

TEST(HostVarTests, EverySharedRecordCarriesItsOwnId) {
    for (const ModuleVar& record : shared_vars) {
        ASSERT_FALSE(panelhost::host_var_label(record.id).empty()) << record.id;
        EXPECT_EQ(&shared_var(static_cast<HostVarId>(record.id)), &record);
    }
    EXPECT_EQ(panelhost::host_var_label(615), "DECISION_HEIGHT");
    EXPECT_EQ(panelhost::host_var_label(999), "");
}

TEST(HostVarTests, AnIdTheModuleDoesNotReadHasNoSharedRecord) {
    for (const HostVarId id : {HostVarId{-1}, HostVarId{0}, HostVarId{3}, HostVarId{detail::largest_var_id + 1}}) {
        EXPECT_EQ(detail::shared_var_slot(id), detail::shared_var_count) << id;
    }
    EXPECT_NE(detail::shared_var_slot(DECISION_HEIGHT), detail::shared_var_count);
}

}  // namespace
}  // namespace orvane
