// Building blocks for the gauges' tables: element lists and mouse-table rows.
// The tables themselves live in each gauge's folder, written as data.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "module/host_abi.h"
#include "res/resources.h"

namespace orvane {

// Records of one kind that stand side by side in a chain, made by one
// builder from a table.
template <typename Record, size_t N>
struct ElementRecords {
    Record records[N];

    constexpr Record& operator[](size_t i) { return records[i]; }
    constexpr const Record& operator[](size_t i) const { return records[i]; }
    static constexpr size_t size() { return N; }
};

namespace chain_detail {

template <typename Record>
inline constexpr size_t records_in = 1;
template <typename Record, size_t N>
inline constexpr size_t records_in<ElementRecords<Record, N>> = N;

template <auto& Record>
inline constexpr size_t records_of = records_in<std::remove_cvref_t<decltype(Record)>>;

using ElementList = std::array<ElementHeader*, 2>;

template <size_t N, typename Record>
constexpr void append(std::array<ElementList, N>& lists, size_t& i, Record& record) {
    lists[i++] = {&record.header, nullptr};
}
template <size_t N, typename Record, size_t M>
constexpr void append(std::array<ElementList, N>& lists, size_t& i, ElementRecords<Record, M>& records) {
    for (Record& record : records.records) lists[i++] = {&record.header, nullptr};
}

// A record as a type: two names are of one record exactly when their types
// are one, which the compiler settles without comparing addresses (under the
// address sanitizer no address is a constant to compare).
template <auto& Record>
struct RecordName {};

}  // namespace chain_detail

// A gauge's element chain: its records (and arrays of records) named once, in
// drawing order. An element's position in it is the index its gauge's service
// callback shows and hides it by, and its next-element list is the list of
// the position after it, so that the order is written once.
template <auto&... Records>
struct ElementChain {
private:
    template <auto& Record>
    static constexpr uint32_t position_of() {
        constexpr bool is_record[] = {
            std::is_same_v<chain_detail::RecordName<Record>, chain_detail::RecordName<Records>>...};
        static_assert((std::is_same_v<chain_detail::RecordName<Record>, chain_detail::RecordName<Records>> || ...),
                      "the record is not in this chain");
        constexpr size_t counts[] = {chain_detail::records_of<Records>...};
        uint32_t position = 0;
        for (size_t k = 0; !is_record[k]; ++k) position += static_cast<uint32_t>(counts[k]);
        return position;
    }

public:
    static constexpr size_t size = (chain_detail::records_of<Records> + ...);

    // List i holds element i alone: the gauge's element list is list 0.
    static constinit inline std::array<chain_detail::ElementList, size> lists = [] {
        std::array<chain_detail::ElementList, size> made{};
        size_t i = 0;
        (chain_detail::append(made, i, Records), ...);
        return made;
    }();

    // The position of a record; of an array of records, that of its first.
    template <auto& Record>
    static constexpr uint32_t index = position_of<Record>();

    static constexpr ElementHeader** first() { return lists[0].data(); }

    // The next-element list of a record, of record k of an array: the list of
    // the element after it; null for the last.
    template <auto& Record>
    static constexpr ElementHeader** next(size_t k = 0) {
        const size_t after = index<Record> + k + 1;
        return after < size ? lists[after].data() : nullptr;
    }
};

// A push-button's light, drawn over the button where its hide bit is off.
inline constexpr uint32_t light_flags = IMAGE_USE_BRIGHT | IMAGE_USE_ERASE | IMAGE_USE_TRANSPARENCY;  // 0x7

// A unit's face under its lights and windows, lit by the panel lights.
inline constexpr uint32_t face_flags = IMAGE_USE_LUMINOUS | IMAGE_USE_TRANSPARENCY;  // 0x4001

// The seven-segment windows of the FCU and the DH unit: amber on maroon.
inline constexpr uint32_t window_flags = IMAGE_USE_ERASE | IMAGE_USE_BRIGHT;  // 0x6
inline constexpr uint32_t window_amber = rgb(246, 150, 13);
inline constexpr uint32_t window_maroon = rgb(105, 25, 25);
inline constexpr const char* window_font = "QUARTZ";

// What sets one text element apart from another. Every text in the module is
// drawn in weight 400, character set 1, centred on one line, its highlight in
// its own colour; everything else in the record is the host's.
struct TextElement {
    GaugeHeader* gauge;
    PixPoint position;
    PixPoint box;
    uint16_t chars;
    uint32_t image_flags;
    FailureRecord* failures;
    uint32_t foreground;
    uint32_t background;
    const char* font;
    int32_t vars[3];  // the element's own host variables, refreshed by the host
    StringCallback callback;
    ElementHeader** next;  // the following element's list; null on the last
};

constexpr ElementString text_element(const TextElement& text) {
    ElementString element = {
        .header = {.element_type = ELEMENT_STRING,
                   .resource_id = -1,
                   .position = text.position,
                   .gauge_header = text.gauge,
                   .next_element = text.next,
                   .failure_systems = text.failures,
                   .image_flags = text.image_flags},
        .source_var = {{.id = text.vars[0]}, {.id = text.vars[1]}, {.id = text.vars[2]}},
        .img_size = text.box,
        .fg_color = text.foreground,
        .bg_color = text.background,
        .hilite_color = text.foreground,
        .font_weight = 400,
        .font_charset = 1,
        .draw_text_flags = DRAW_TEXT_CENTRED_LINE,
        .max_string_length = text.chars,
        .update_cb = text.callback,
    };
    for (size_t i = 0; text.font != nullptr && text.font[i] != '\0' && i + 1 < sizeof element.font_name; ++i) {
        element.font_name[i] = text.font[i];
    }
    return element;
}

constexpr MouseRect open_area(PixBox box) {
    return {.rect_type = MOUSE_OPEN_AREA, .relative_box = box, .cursor = CURSOR_NONE};
}

// Labels the area opened just before it.
constexpr MouseRect tooltip(const char* text) {
    return {.rect_type = MOUSE_TOOLTIP, .cursor = CURSOR_NONE, .action = {.tooltip = text}};
}

// A click area whose key event the host sends itself.
constexpr MouseRect click_event(PixBox box, int32_t cursor, uint32_t mouse_flags, uint32_t event) {
    return {.rect_type = MOUSE_CLICK_AREA, .relative_box = box, .cursor = cursor, .mouse_flags = mouse_flags,
            .event_id = event};
}

// A click area handled by the module.
constexpr MouseRect click_handler(PixBox box, int32_t cursor, uint32_t mouse_flags, MouseFunction handler) {
    return {.rect_type = MOUSE_CLICK_AREA, .relative_box = box, .cursor = cursor, .mouse_flags = mouse_flags,
            .action = {.handler = handler}};
}

constexpr MouseRect close_area() { return {.rect_type = MOUSE_CLOSE_AREA, .cursor = CURSOR_NONE}; }

constexpr MouseRect end_of_table() { return {.rect_type = MOUSE_END_OF_TABLE}; }

// Parts of a mouse table, written out or made from a gauge's table of
// controls, joined in their order into one.
template <size_t... N>
constexpr std::array<MouseRect, (N + ...)> join_rows(const std::array<MouseRect, N>&... parts) {
    std::array<MouseRect, (N + ...)> rows{};
    size_t next = 0;
    ((void)[&] { for (const MouseRect& row : parts) rows[next++] = row; }(), ...);
    return rows;
}

inline constexpr PixBox whole_gauge = {0, 0, 0, 0};

// A push-button lies exactly over its light: the light stands at the corner of
// the button's area, and the click covers the whole area.
constexpr PixPoint corner_of(PixBox button) { return {button.x, button.y}; }
constexpr PixBox all_of(PixBox button) { return {0, 0, button.size_x, button.size_y}; }

// Bitmap ids of the module's resources, from the one resource list.
enum BitmapId : int32_t {
#define ORVANE_BITMAP_ID(name, id, file) name = id,
    ORVANE_BITMAPS(ORVANE_BITMAP_ID)
#undef ORVANE_BITMAP_ID
};

}  // namespace orvane
