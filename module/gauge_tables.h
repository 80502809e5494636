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

// A gauge's element chain: the headers of its records in drawing order, made
// at build time from the records (and arrays of records) named in that order.
// An element's position in it is the index its gauge's service callback shows
// and hides it by, and the next-element lists are made from the same order,
// so that the order is written once.
template <size_t N>
using ElementChain = std::array<ElementHeader*, N>;

// Records of one kind that stand side by side in a chain, made by one
// builder from a table: a plain array, whose addresses the builder may take
// while it makes them.
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

template <auto&... Records>
inline constexpr size_t chain_length = (records_in<std::remove_cvref_t<decltype(Records)>> + ...);

template <typename Record>
constexpr void append(ElementHeader**& out, Record& record) {
    *out++ = &record.header;
}
template <typename Record, size_t N>
constexpr void append(ElementHeader**& out, ElementRecords<Record, N>& records) {
    for (Record& record : records.records) *out++ = &record.header;
}

template <typename Record>
constexpr const ElementHeader& first_header(const Record& record) {
    return record.header;
}
template <typename Record, size_t N>
constexpr const ElementHeader& first_header(const ElementRecords<Record, N>& records) {
    return records.records[0].header;
}

template <size_t N>
constexpr std::array<std::array<ElementHeader*, 2>, N> lists_of(const ElementChain<N>& chain) {
    std::array<std::array<ElementHeader*, 2>, N> lists{};
    for (size_t i = 0; i < N; ++i) lists[i] = {chain[i], nullptr};
    return lists;
}

// Never defined: reaching it while the module is built is the build error
// for an element missing from its chain.
void element_not_in_its_chain();

template <size_t N>
constexpr uint32_t position_in(const ElementChain<N>& chain, const ElementHeader& element) {
    for (size_t i = 0; i < N; ++i) {
        if (chain[i] == &element) return static_cast<uint32_t>(i);
    }
    element_not_in_its_chain();
    return 0;
}

}  // namespace chain_detail

template <auto&... Records>
inline constexpr ElementChain<chain_detail::chain_length<Records...>> chain_of = [] {
    ElementChain<chain_detail::chain_length<Records...>> chain{};
    ElementHeader** out = chain.data();
    (chain_detail::append(out, Records), ...);
    return chain;
}();

// List i of a chain holds element i alone: the gauge's element list is list
// 0, the next-element list of element i is list i + 1.
template <const auto& Chain>
inline constinit std::array<std::array<ElementHeader*, 2>, Chain.size()> chain_lists = chain_detail::lists_of(Chain);

// The position of a record in its chain; of an array of records, that of its first.
template <const auto& Chain, const auto& Record>
inline constexpr uint32_t chain_index = chain_detail::position_in(Chain, chain_detail::first_header(Record));

// The gauge header's element list.
template <const auto& Chain>
constexpr ElementHeader** first_in_chain() {
    return chain_lists<Chain>[0].data();
}

// An element's next-element list: the list of the element after it, null
// for the last.
template <const auto& Chain>
constexpr ElementHeader** next_in_chain(const ElementHeader& element) {
    const uint32_t i = chain_detail::position_in(Chain, element);
    return i + 1 < Chain.size() ? chain_lists<Chain>[i + 1].data() : nullptr;
}

// A push-button's light, drawn over the button where its hide bit is off.
inline constexpr uint32_t light_flags = IMAGE_USE_BRIGHT | IMAGE_USE_ERASE | IMAGE_USE_TRANSPARENCY;  // 0x7

// The seven-segment windows of the FCU and the DH unit: amber on maroon.
inline constexpr uint32_t window_amber = rgb(246, 150, 13);
inline constexpr uint32_t window_maroon = rgb(105, 25, 25);

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

// Bitmap ids of the module's resources, from the one resource list.
enum BitmapId : int32_t {
#define ORVANE_BITMAP_ID(name, id, file) name = id,
    ORVANE_BITMAPS(ORVANE_BITMAP_ID)
#undef ORVANE_BITMAP_ID
};

}  // namespace orvane
