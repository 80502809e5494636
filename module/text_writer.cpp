#include "module/text_writer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace orvane {

namespace {

constexpr size_t memo_slots = 64;  // well above the module's 25 texts

constinit TextMemo text_memos[memo_slots] = {};
constinit size_t memos_used = 0;

// A slot for an element that has none: a free one, linked into the round
// after the last one used; once all are taken, the one used longest ago.
TextMemo& memo_of(const ElementString* element) {
    if (expected_text_memo->element == element) return *expected_text_memo;
    for (size_t slot = 0; slot < memos_used; ++slot) {
        if (text_memos[slot].element == element) return text_memos[slot];
    }
    TextMemo* memo = expected_text_memo;
    if (memos_used < memo_slots) {
        memo = &text_memos[memos_used++];
        memo->following = &text_memos[0];
        if (memo != &text_memos[0]) memo[-1].following = memo;
    }
    memo->element = nullptr;
    return *memo;
}

template <typename Word>
void store_bytes(char* bytes, Word word) {
    std::memcpy(bytes, &word, sizeof word);
}

// A memo's text and its NUL, a word at a time as holds_text compares them.
void copy_text(char* to, const char* from, size_t length) {
    const size_t n = length + 1;
    if (n >= 8) {
        const uint64_t head = load_bytes<uint64_t>(from);
        const uint64_t tail = load_bytes<uint64_t>(from + n - 8);
        store_bytes(to, head);
        store_bytes(to + n - 8, tail);
    } else if (n >= 4 && n < 8) {
        const uint32_t head = load_bytes<uint32_t>(from);
        const uint32_t tail = load_bytes<uint32_t>(from + n - 4);
        store_bytes(to, head);
        store_bytes(to + n - 4, tail);
    } else {
        std::memcpy(to, from, n);
    }
}

}  // namespace

constinit TextMemo* expected_text_memo = &text_memos[0];

void write_text_arguments(ElementString* element, const char* format, const TextArgument* arguments,
                          size_t count) {
    if (element == nullptr || element->string == nullptr) return;
    char* const buffer = element->string;
    const size_t char_count = element->max_string_length;
    if (char_count > TextMemo::max_chars || count > TextMemo::max_arguments) {
        format_arguments(buffer, char_count, format, arguments, count);
        return;
    }
    // write_text has compared the memo it expected already: should the
    // element's be that one, its text is formatted afresh, which is right in
    // any case.
    const TextMemo* const compared = expected_text_memo;
    TextMemo& memo = memo_of(element);
    expected_text_memo = memo.following;
    if (&memo != compared && memo.element == element && same_writing(memo, element, format, arguments, count)) {
        if (!holds_text(buffer, memo.text, memo.length)) copy_text(buffer, memo.text, memo.length);
        return;
    }
    const size_t length = format_arguments(buffer, char_count, format, arguments, count);
    memo.element = element;
    memo.format = format;
    for (size_t i = 0; i < count; ++i) memo.arguments[i] = arguments[i];
    memo.argument_count = count;
    memo.char_count = char_count;
    memo.length = std::min(length, char_count);
    copy_text(memo.text, buffer, memo.length);
}

}  // namespace orvane
