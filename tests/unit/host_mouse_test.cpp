#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/panel/mouse.h"

namespace panelhost {
namespace {

using namespace orvane;

int32_t HOST_CALL handler(PixPoint*, uint32_t) { return 0; }

MouseRect open(PixBox box) { return {.rect_type = MOUSE_OPEN_AREA, .relative_box = box, .cursor = CURSOR_NONE}; }
MouseRect label(const char* text) {
    return {.rect_type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .action = {.tooltip = text}};
}
MouseRect click(PixBox box, int32_t cursor, uint32_t flags, uint32_t event) {
    return {.rect_type = MOUSE_CLICK_AREA, .relative_box = box, .cursor = cursor, .mouse_flags = flags,
            .event_id = event};
}
MouseRect click_handler(PixBox box, int32_t cursor, uint32_t flags) {
    return {.rect_type = MOUSE_CLICK_AREA, .relative_box = box, .cursor = cursor, .mouse_flags = flags,
            .action = {.handler = handler}};
}
MouseRect close() { return {.rect_type = MOUSE_CLOSE_AREA, .cursor = CURSOR_NONE}; }
MouseRect end() { return {.rect_type = MOUSE_END_OF_TABLE}; }

// A gauge with a knob of two halves and a gap, a nested push-button with its
// own tooltip, a click box that reaches past its area, a far area whose click
// box points back over the knob, and two overlapping rows told apart by flags.
std::vector<MouseRect> nested_table() {
    return {
        open({0, 0, 0, 0}),                                   // 0 whole gauge
        label("Gauge"),                                       // 1
        open({10, 10, 40, 30}),                               // 2 knob
        label("Knob"),                                        // 3
        click({0, 0, 18, 20}, 2, MOUSE_CLICK_REPEAT, 1001),   // 4 left half, repeats
        click({22, 0, 18, 20}, 1, MOUSE_CLICK, 1002),         // 5 right half, once
        open({30, 0, 10, 10}),                                // 6 button inside the knob's right half
        label("Button"),                                      // 7
        close(),                                              // 8
        click({38, 15, 12, 20}, 4, MOUSE_CLICK, 1003),        // 9 reaches past the knob's edges
        close(),                                              // 10
        open({100, 0, 10, 10}),                               // 11 far area
        label("Far"),                                         // 12
        click({-100, 0, 200, 10}, 6, MOUSE_CLICK, 1004),      // 13 box over the knob, outside its area
        close(),                                              // 14
        open({60, 40, 20, 20}),                               // 15 overlap
        click_handler({0, 0, 20, 20}, 5, MOUSE_RIGHTSINGLE),  // 16 right only
        click({0, 0, 20, 20}, 7, MOUSE_CLICK, 1005),          // 17 either button
        close(),                                              // 18
        close(),                                              // 19
        end(),                                                // 20
    };
}

struct HitCase {
    const char* what;
    PixPoint point;
    uint32_t flags;
    int row;  // -1: no row acts
    int32_t cursor;
    const char* tooltip;
    PixPoint relative;
};

TEST(HostMouseTests, HitTestingFollowsNestedAreasFlagsAndRowOrder) {
    const std::vector<MouseRect> table = nested_table();
    const HitCase cases[] = {
        {"left half, left click", {12, 15}, mouse_left, 4, 2, "Knob", {2, 5}},
        {"left half, right click", {27, 29}, mouse_right, 4, 2, "Knob", {17, 19}},
        {"left half, held left button repeats", {12, 15}, mouse_left | mouse_repeat, 4, 2, "Knob", {2, 5}},
        {"gap between the halves", {29, 15}, mouse_left, -1, CURSOR_NONE, "Knob", {}},
        {"right half acts once", {33, 25}, mouse_left, 5, 1, "Knob", {1, 15}},
        {"right half ignores a repeat", {33, 25}, mouse_left | mouse_repeat, -1, 1, "Knob", {}},
        {"nested button takes the innermost tooltip", {45, 12}, mouse_left, 5, 1, "Button", {13, 2}},
        {"click box inside its area", {49, 35}, mouse_left, 9, 4, "Knob", {1, 10}},
        {"click box past its area's right edge", {51, 35}, mouse_left, -1, CURSOR_NONE, "Gauge", {}},
        {"click box past its area's bottom edge", {49, 41}, mouse_left, -1, CURSOR_NONE, "Gauge", {}},
        {"far area's box never reaches outside it", {12, 5}, mouse_left, -1, CURSOR_NONE, "Gauge", {}},
        {"far area itself", {105, 5}, mouse_left, 13, 6, "Far", {105, 5}},
        {"first matching row wins for right", {65, 45}, mouse_right, 16, 5, "Gauge", {5, 5}},
        {"first row skipped when flags differ", {65, 45}, mouse_left, 17, 5, "Gauge", {5, 5}},
        {"hover acts on nothing", {12, 15}, 0, -1, 2, "Knob", {}},
        {"whole gauge has no right edge", {5000, 5000}, mouse_left, -1, CURSOR_NONE, "Gauge", {}},
        {"left of the gauge is outside it", {-1, 15}, mouse_left, -1, CURSOR_NONE, "", {}},
        {"above the gauge is outside it", {12, -1}, mouse_left, -1, CURSOR_NONE, "", {}},
    };
    for (const HitCase& c : cases) {
        const MouseHit hit = hit_test(table.data(), c.point, c.flags);
        if (c.row < 0) {
            EXPECT_EQ(hit.row, nullptr) << c.what << ": row " << hit.row_index;
        } else {
            ASSERT_NE(hit.row, nullptr) << c.what;
            EXPECT_EQ(hit.row_index, static_cast<size_t>(c.row)) << c.what;
            EXPECT_EQ(hit.row, &table[static_cast<size_t>(c.row)]) << c.what;
            EXPECT_EQ(hit.relative.x, c.relative.x) << c.what;
            EXPECT_EQ(hit.relative.y, c.relative.y) << c.what;
        }
        EXPECT_EQ(hit.cursor, c.cursor) << c.what;
        EXPECT_EQ(hit.tooltip, c.tooltip) << c.what;
    }
}

TEST(HostMouseTests, NoTableMeetsNothing) {
    const MouseHit hit = hit_test(nullptr, {1, 1}, mouse_left);
    EXPECT_EQ(hit.row, nullptr);
    EXPECT_EQ(hit.cursor, CURSOR_NONE);
    EXPECT_EQ(hit.tooltip, "");
}

TEST(HostMouseTests, ClickFlagsMatchTheButtonAndRepeatOnlyWhereAsked) {
    const struct {
        uint32_t row_flags;
        uint32_t click;
        bool match;
    } cases[] = {
        {MOUSE_CLICK, mouse_left, true},
        {MOUSE_CLICK, mouse_right, true},
        {MOUSE_CLICK, mouse_left | mouse_repeat, false},
        {MOUSE_CLICK_REPEAT, mouse_right | mouse_repeat, true},
        {MOUSE_LEFTSINGLE, mouse_right, false},
        {MOUSE_RIGHTSINGLE | MOUSE_DOWN_REPEAT, mouse_left | mouse_repeat, false},
        {MOUSE_CLICK_REPEAT, 0, false},
        {MOUSE_CLICK_REPEAT, mouse_repeat, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(click_flags_match(c.row_flags, c.click), c.match)
            << std::hex << "row 0x" << c.row_flags << " click 0x" << c.click;
    }
}

TEST(HostMouseTests, AreasAreFoundByTooltipInGaugePixels) {
    const std::vector<MouseRect> table = nested_table();
    const auto knob = find_area(table.data(), "Knob");
    ASSERT_TRUE(knob.has_value());
    EXPECT_TRUE(knob->bounded);
    EXPECT_EQ(knob->box.x, 10);
    EXPECT_EQ(knob->box.y, 10);
    EXPECT_EQ(knob->box.size_x, 40);
    EXPECT_EQ(knob->box.size_y, 30);

    const auto button = find_area(table.data(), "Button");
    ASSERT_TRUE(button.has_value());
    EXPECT_EQ(button->box.x, 40);
    EXPECT_EQ(button->box.y, 10);

    const auto gauge = find_area(table.data(), "Gauge");
    ASSERT_TRUE(gauge.has_value());
    EXPECT_FALSE(gauge->bounded);

    EXPECT_FALSE(find_area(table.data(), "Missing").has_value());
    EXPECT_FALSE(find_area(table.data(), "knob").has_value());
    EXPECT_FALSE(find_area(nullptr, "Knob").has_value());
}

TEST(HostMouseTests, ASoundTableHasNoFault) {
    const std::vector<MouseRect> table = nested_table();
    EXPECT_TRUE(validate_mouse_table(table.data()).empty());
    EXPECT_TRUE(validate_mouse_table(nullptr).empty());
}

TEST(HostMouseTests, EachFaultOfATableIsReportedAtItsRow) {
    const MouseRect unknown = {.rect_type = 9};
    const MouseRect untitled = {.rect_type = MOUSE_TOOLTIP};
    MouseRect both = click({0, 0, 5, 5}, 5, MOUSE_CLICK, 1001);
    both.action.handler = handler;
    const struct {
        const char* what;
        std::vector<MouseRect> rows;
        size_t row;
        const char* message;
    } cases[] = {
        {"unknown kind", {open({0, 0, 0, 0}), unknown, close(), end()}, 1, "unknown row kind 9"},
        {"close without open", {close(), end()}, 0, "close row without an open area"},
        {"area left open", {open({0, 0, 0, 0}), open({1, 1, 2, 2}), close(), end()}, 3, "1 area(s) still open"},
        {"tooltip after a click row",
         {open({0, 0, 0, 0}), click({0, 0, 5, 5}, 5, MOUSE_CLICK, 1001), label("Late"), close(), end()},
         2,
         "tooltip row does not follow an open row"},
        {"tooltip first", {label("First"), end()}, 0, "tooltip row does not follow an open row"},
        {"tooltip without text", {open({0, 0, 0, 0}), untitled, close(), end()}, 1, "tooltip row has no text"},
        {"click with event and handler", {open({0, 0, 0, 0}), both, close(), end()}, 1,
         "both a key event and a handler"},
        {"click with neither", {open({0, 0, 0, 0}), click({0, 0, 5, 5}, 5, MOUSE_CLICK, 0), close(), end()}, 1,
         "neither a key event nor a handler"},
        {"click without size", {open({0, 0, 0, 0}), click({3, 3, 0, 5}, 5, MOUSE_CLICK, 1001), close(), end()}, 1,
         "box has no size"},
        {"click taking no button",
         {open({0, 0, 0, 0}), click({0, 0, 5, 5}, 5, MOUSE_DOWN_REPEAT, 1001), close(), end()},
         1,
         "neither a left nor a right click"},
        {"area with a corner but no size", {open({4, 4, 0, 0}), close(), end()}, 0, "area box has no size"},
        {"area of negative size", {open({4, 4, -3, 5}), close(), end()}, 0, "area box has no size"},
    };
    for (const auto& c : cases) {
        const std::vector<MouseTableProblem> problems = validate_mouse_table(c.rows.data());
        ASSERT_EQ(problems.size(), 1u) << c.what;
        EXPECT_EQ(problems[0].row, c.row) << c.what;
        EXPECT_NE(problems[0].message.find(c.message), std::string::npos) << c.what << ": " << problems[0].message;
    }
}

TEST(HostMouseTests, ATableWithoutEndIsReportedNotOverrun) {
    std::vector<MouseRect> rows(8, open({0, 0, 0, 0}));
    for (size_t i = 1; i < rows.size(); i += 2) rows[i] = close();
    const std::vector<MouseTableProblem> problems = validate_mouse_table(rows.data(), rows.size());
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].row, 8u);
    EXPECT_NE(problems[0].message.find("no end row"), std::string::npos);
}

TEST(HostMouseTests, AnOverlongTooltipIsAFault) {
    const std::string text(max_tooltip_length + 1, 't');
    const std::vector<MouseRect> rows = {open({0, 0, 0, 0}), label(text.c_str()), close(), end()};
    const auto problems = validate_mouse_table(rows.data());
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].row, 1u);
    // Hit-testing still reads no more than the bound.
    EXPECT_EQ(hit_test(rows.data(), {1, 1}, 0).tooltip.size(), max_tooltip_length);
}

}  // namespace
}  // namespace panelhost
