// The one way the module writes a text: an element's text formatted by the
// module's printf (text_formatter.h) into the buffer the host supplied, cut
// to the element's character count.
//
// Formats and text arguments are string literals of the module: a text is
// remembered by its address, and an element written again with the same
// format and arguments is not formatted again while its buffer still holds
// the text (see write_text).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "module/host_abi.h"
#include "module/text_formatter.h"

namespace orvane {

// What an element was last given and the text that made, so that writing the
// same again costs a comparison rather than a formatting. Module state like
// any other: static, never reset, never trusted further than the text the
// buffer holds. The slots are in text_writer.cpp.
struct TextMemo {
    static constexpr size_t max_arguments = 3;
    static constexpr size_t max_chars = 15;

    const ElementString* element;  // null while the slot is free
    const char* format;
    TextArgument arguments[max_arguments];
    size_t argument_count;
    size_t char_count;
    size_t length;  // of the text, at most char_count
    char text[max_chars + 1];
    TextMemo* following;  // the memo used after this one last time round
};

// The host asks for the texts in the same order at every update, so the memo
// used after the last one is nearly always the one asked for next.
extern TextMemo* expected_text_memo;

template <typename Word>
Word load_bytes(const char* bytes) {
    Word word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// Whether the buffer holds a memo's text and its NUL (what follows the NUL
// shows nowhere). A word at a time: the first bytes and the last, which
// overlap; two words cover the longest text a memo holds.
[[gnu::always_inline]] inline bool holds_text(const char* buffer, const char* text, size_t length) {
    static_assert(TextMemo::max_chars + 1 <= 2 * sizeof(uint64_t));
    const size_t n = length + 1;
    if (n >= 8) {
        return load_bytes<uint64_t>(buffer) == load_bytes<uint64_t>(text) &&
               load_bytes<uint64_t>(buffer + n - 8) == load_bytes<uint64_t>(text + n - 8);
    }
    if (n >= 4) {
        return load_bytes<uint32_t>(buffer) == load_bytes<uint32_t>(text) &&
               load_bytes<uint32_t>(buffer + n - 4) == load_bytes<uint32_t>(text + n - 4);
    }
    for (size_t i = 0; i < n; ++i) {
        if (buffer[i] != text[i]) return false;
    }
    return true;
}

// The same format and arguments for the same character count as last time.
[[gnu::always_inline]] inline bool same_writing(const TextMemo& memo, const ElementString* element,
                                                const char* format, const TextArgument* arguments, size_t count) {
    if (memo.element != element || memo.format != format || memo.argument_count != count ||
        memo.char_count != element->max_string_length) {
        return false;
    }
    for (size_t i = 0; i < count; ++i) {
        if (memo.arguments[i].kind != arguments[i].kind || memo.arguments[i].bits != arguments[i].bits) return false;
    }
    return true;
}

// Every write but the same one again: the element's memo found or given a
// slot, the text restored from it or formatted afresh and remembered.
void write_text_arguments(ElementString* element, const char* format, const TextArgument* arguments,
                          size_t count);

// Replaces the element's text, cut to its character count. Does nothing while
// the host has not supplied the element's buffer.
//
// The element remembers what it was last given and what that made: given the
// same again, with its buffer still holding that text, it is done. This check
// is made where write_text is called, with the arguments' kinds and number
// known there; everything else is write_text_arguments'. A buffer holding
// anything else (a fresh one from the host, wherever it lies) gets the text
// again.
//
// Built with ORVANE_REFERENCE_FORMATTING, every call formats afresh with the
// C library's snprintf instead: the yardstick for the benchmarks.
template <typename... Args>
[[gnu::always_inline]] inline void write_text(ElementString* element, const char* format, Args... args) {
    if (element == nullptr || element->string == nullptr) return;
#if ORVANE_REFERENCE_FORMATTING
    std::snprintf(element->string, element->max_string_length + size_t{1}, format, args...);
#else
    const TextArgument arguments[] = {text_argument(args)..., {}};
    TextMemo& memo = *expected_text_memo;
    if (same_writing(memo, element, format, arguments, sizeof...(Args)) &&
        holds_text(element->string, memo.text, memo.length)) {
        expected_text_memo = memo.following;
        return;
    }
    write_text_arguments(element, format, arguments, sizeof...(Args));
#endif
}

}  // namespace orvane
