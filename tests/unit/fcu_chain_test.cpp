#include <gtest/gtest.h>

#include "tests/unit/fcu_fixture.h"

namespace orvane::testing {
namespace {

using FcuChainTest = FcuTest;

TEST_F(FcuChainTest, ChainHoldsFourteenElementsInDrawingOrderNoneHiddenAtLoad) {
    const struct {
        int32_t kind, bitmap, x, y;
        uint32_t flags;
    } rows[] = {
        {ELEMENT_STATIC_IMAGE, 4112, 0, 0, 0x4001}, {ELEMENT_STRING, -1, 26, 14, 0x6},
        {ELEMENT_STRING, -1, 90, 14, 0x6},          {ELEMENT_STRING, -1, 160, 14, 0x6},
        {ELEMENT_STRING, -1, 216, 14, 0x6},         {ELEMENT_ICON, 4096, 281, 22, 0x4003},
        {ELEMENT_ICON, 4128, 244, 71, 0x7},         {ELEMENT_ICON, 4128, 186, 71, 0x7},
        {ELEMENT_ICON, 4128, 167, 71, 0x7},         {ELEMENT_ICON, 4128, 125, 71, 0x7},
        {ELEMENT_ICON, 4128, 106, 71, 0x7},         {ELEMENT_ICON, 4128, 87, 71, 0x7},
        {ELEMENT_ICON, 4128, 34, 71, 0x7},          {ELEMENT_ICON, 4128, 15, 71, 0x7},
    };
    ASSERT_EQ(ap_gauge.elements_list[0], &ap_background.header);
    ASSERT_EQ(ap_gauge.elements_list[1], nullptr);
    ElementHeader* element = ap_gauge.elements_list[0];
    for (uint32_t n = 0; n < ap_element_count; ++n) {
        ASSERT_NE(element, nullptr) << n;
        EXPECT_EQ(element->element_type, rows[n].kind) << n;
        EXPECT_EQ(element->resource_id, rows[n].bitmap) << n;
        EXPECT_EQ(element->position.x, rows[n].x) << n;
        EXPECT_EQ(element->position.y, rows[n].y) << n;
        EXPECT_EQ(element->image_flags, rows[n].flags) << n;
        EXPECT_EQ(element->gauge_header, &ap_gauge) << n;
        EXPECT_EQ(element->failure_systems, nullptr) << n;
        EXPECT_EQ(element->ofs.x | element->ofs.y, 0) << n;
        if (n + 1 == ap_element_count) {
            EXPECT_EQ(element->next_element, nullptr) << "the last element has no next list";
            break;
        }
        ASSERT_NE(element->next_element, nullptr) << n;
        EXPECT_EQ(element->next_element[1], nullptr) << n;
        element = element->next_element[0];
    }
    for (ElementIcon* icon : ap_icons) {
        EXPECT_EQ(icon->num_icons, 1);
        EXPECT_EQ(icon->source_var.id, 0);
        EXPECT_EQ(icon->update_cb, nullptr);
    }
}

TEST_F(FcuChainTest, WindowsNameTheirVariablesBoxCharacterCountAndCallback) {
    const struct {
        ElementString* window;
        int32_t var0, var1, width;
        uint16_t chars;
        StringCallback callback;
    } rows[] = {
        {&ap_speed_window, 116, 118, 34, 3, speed_window_text},
        {&ap_altitude_window, 109, 0, 51, 5, altitude_window_text},
        {&ap_heading_window, 107, 0, 34, 3, heading_window_text},
        {&ap_vs_window, 120, 0, 51, 5, vs_window_text},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        const ElementString& w = ap_load_state.windows[i];
        EXPECT_EQ(w.source_var[0].id, rows[i].var0) << i;
        EXPECT_EQ(w.source_var[1].id, rows[i].var1) << i;
        EXPECT_EQ(w.source_var[2].id, 0) << i;
        EXPECT_EQ(w.img_size.x, rows[i].width) << i;
        EXPECT_EQ(w.img_size.y, 16) << i;
        EXPECT_EQ(w.max_string_length, rows[i].chars) << i;
        EXPECT_EQ(w.update_cb, rows[i].callback) << i;
        EXPECT_EQ(w.string, nullptr) << "the host supplies the buffer";
        for (ModuleVarCallback cb : w.source_var_cb) EXPECT_EQ(cb, nullptr) << "the callback sits in update_cb";
    }
    EXPECT_NE(ap_gauge.mouse_rect, nullptr);
    EXPECT_EQ(ap_gauge.gauge_callback, fcu_service);
}

}  // namespace
}  // namespace orvane::testing
