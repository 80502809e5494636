#include "module/text_writer.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "module/cockpit.h"

namespace orvane {
namespace {

// Appends characters up to the character count and counts the rest.
struct TextSink {
    char* out;
    size_t char_count;
    size_t length;

    void put(char c) {
        if (length < char_count) out[length] = c;
        ++length;
    }
    void put(const char* text, size_t n) {
        if (length < char_count) std::memcpy(out + length, text, std::min(n, char_count - length));
        length += n;
    }
    void repeat(char c, size_t n) {
        for (size_t i = 0; i < n; ++i) put(c);
    }
};

struct Spec {
    bool left = false;
    bool plus = false;
    bool space = false;
    bool zero = false;
    bool alternate = false;
    int width = 0;
    int precision = -1;
};

// Formats never come from outside the module; these bounds only keep a
// mistaken one from running away.
constexpr int max_width = 256;
constexpr int max_precision = 64;

// sign, digits and padding laid out as printf does
void put_padded(TextSink& sink, const Spec& spec, const char* sign, const char* body, size_t body_length,
                bool zero_pad) {
    const size_t sign_length = std::strlen(sign);
    const size_t used = sign_length + body_length;
    const size_t pad = spec.width > 0 && static_cast<size_t>(spec.width) > used ? spec.width - used : 0;
    if (!spec.left && !zero_pad) sink.repeat(' ', pad);
    sink.put(sign, sign_length);
    if (!spec.left && zero_pad) sink.repeat('0', pad);
    sink.put(body, body_length);
    if (spec.left) sink.repeat(' ', pad);
}

const char* sign_text(bool negative, const Spec& spec) {
    if (negative) return "-";
    if (spec.plus) return "+";
    if (spec.space) return " ";
    return "";
}

// Powers of ten that a double holds exactly.
constexpr double powers_of_ten[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};

// Past this the product is left to the general path; below it the rounded
// product and its fraction fit 32 bits, and the product's rounding error is
// under 2^-22.
constexpr double fast_product_limit = 4294967295.0;
// A fraction this near a half may have been carried across it by the
// product's rounding: the general path decides those, exact ties included.
constexpr double tie_margin = 1.0 / (1 << 20);

// The digits of a magnitude with `precision` decimals, correctly rounded
// with ties to the even digit, as printf prints them: the magnitude times
// 10^precision, rounded to a whole number, written with a point before its
// last `precision` digits. Returns 0 when the general path must do it.
size_t fast_fixed_digits(char* out, double magnitude, int precision) {
    if (precision >= static_cast<int>(std::size(powers_of_ten))) return 0;
    // One rounding, none at all for no decimals.
    const double scaled = magnitude * powers_of_ten[precision];
    if (!(scaled < fast_product_limit)) return 0;
    uint32_t rounded = truncate_to_u32(scaled);
    const double fraction = scaled - rounded;  // exact
    if (precision > 0 && std::fabs(fraction - 0.5) <= tie_margin) return 0;
    if (fraction > 0.5 || (fraction == 0.5 && rounded % 2 != 0)) ++rounded;

    char reversed[16];
    size_t n = 0;
    for (int i = 0; i < precision; ++i, rounded /= 10) reversed[n++] = static_cast<char>('0' + rounded % 10);
    if (precision > 0) reversed[n++] = '.';
    do {
        reversed[n++] = static_cast<char>('0' + rounded % 10);
        rounded /= 10;
    } while (rounded != 0);
    for (size_t i = 0; i < n; ++i) out[i] = reversed[n - 1 - i];
    return n;
}

void put_fixed(TextSink& sink, const Spec& spec, double value) {
    const bool negative = std::signbit(value);
    const int precision = spec.precision < 0 ? 6 : spec.precision;
    if (!std::isfinite(value)) {
        const char* body = std::isnan(value) ? "nan" : "inf";
        put_padded(sink, spec, sign_text(negative, spec), body, 3, false);
        return;
    }
    // 309 integer digits at most, the point and the decimals.
    char digits[320 + max_precision];
    size_t length = fast_fixed_digits(digits, std::fabs(value), precision);
    if (length == 0) {
        const auto result =
            std::to_chars(digits, digits + sizeof digits, std::fabs(value), std::chars_format::fixed, precision);
        length = static_cast<size_t>(result.ptr - digits);
    }
    if (spec.alternate && precision == 0) digits[length++] = '.';
    put_padded(sink, spec, sign_text(negative, spec), digits, length, spec.zero && !spec.left);
}

void put_integer(TextSink& sink, const Spec& spec, long long value, bool is_unsigned) {
    const bool negative = !is_unsigned && value < 0;
    const unsigned long long magnitude =
        is_unsigned ? static_cast<unsigned long long>(value)
                    : (negative ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value));
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, magnitude);
    size_t length = static_cast<size_t>(result.ptr - digits);
    char body[24 + max_precision];
    size_t body_length = 0;
    if (spec.precision > static_cast<int>(length)) {
        const size_t leading = static_cast<size_t>(spec.precision) - length;
        std::memset(body, '0', leading);
        body_length = leading;
    }
    if (!(spec.precision == 0 && magnitude == 0)) {
        std::memcpy(body + body_length, digits, length);
        body_length += length;
    }
    put_padded(sink, spec, sign_text(negative, spec), body, body_length,
               spec.zero && !spec.left && spec.precision < 0);
}

void put_string(TextSink& sink, const Spec& spec, const char* text) {
    if (text == nullptr) text = "(null)";
    size_t length = std::strlen(text);
    if (spec.precision >= 0) length = std::min(length, static_cast<size_t>(spec.precision));
    put_padded(sink, spec, "", text, length, false);
}

int read_number(const char*& p) {
    int n = 0;
    while (*p >= '0' && *p <= '9') {
        n = std::min(n * 10 + (*p - '0'), max_width);
        ++p;
    }
    return n;
}

// The next argument, when there is one of this kind.
struct ArgumentReader {
    const TextArgument* arguments;
    size_t count;
    size_t next;

    bool take(TextArgument::Kind kind, uint64_t& bits) {
        if (next >= count || arguments[next].kind != kind) return false;
        bits = arguments[next++].bits;
        return true;
    }
    bool take_integer(long long& value) {
        uint64_t bits = 0;
        if (!take(TextArgument::SIGNED, bits) && !take(TextArgument::UNSIGNED, bits)) return false;
        value = static_cast<long long>(bits);
        return true;
    }
};

}  // namespace

size_t format_arguments(char* buffer, size_t char_count, const char* format, const TextArgument* arguments,
                        size_t argument_count) {
    TextSink sink{buffer, buffer != nullptr ? char_count : 0, 0};
    ArgumentReader reader{arguments, arguments != nullptr ? argument_count : 0, 0};
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%') {
            sink.put(*p);
            continue;
        }
        const char* conversion_start = p;
        ++p;
        Spec spec;
        bool arguments_fit = true;
        for (;; ++p) {
            if (*p == '-') spec.left = true;
            else if (*p == '+') spec.plus = true;
            else if (*p == ' ') spec.space = true;
            else if (*p == '0') spec.zero = true;
            else if (*p == '#') spec.alternate = true;
            else break;
        }
        if (*p == '*') {
            long long width = 0;
            arguments_fit = reader.take_integer(width) && arguments_fit;
            if (width < 0) spec.left = true;
            spec.width = static_cast<int>(std::min(width < 0 ? -width : width, static_cast<long long>(max_width)));
            ++p;
        } else {
            spec.width = read_number(p);
        }
        if (*p == '.') {
            ++p;
            if (*p == '*') {
                long long precision = 0;
                arguments_fit = reader.take_integer(precision) && arguments_fit;
                spec.precision =
                    precision < 0 ? -1 : static_cast<int>(std::min(precision, static_cast<long long>(max_precision)));
                ++p;
            } else {
                spec.precision = std::min(read_number(p), max_precision);
            }
        }
        while (*p == 'l') ++p;  // every integer argument is carried whole
        uint64_t bits = 0;
        switch (*p) {
            case 'f':
            case 'F':
                if (arguments_fit && reader.take(TextArgument::NUMBER, bits)) {
                    put_fixed(sink, spec, std::bit_cast<double>(bits));
                    continue;
                }
                break;
            case 'd':
            case 'i':
                if (arguments_fit && reader.take(TextArgument::SIGNED, bits)) {
                    put_integer(sink, spec, static_cast<long long>(bits), false);
                    continue;
                }
                break;
            case 'u':
                if (arguments_fit && reader.take(TextArgument::UNSIGNED, bits)) {
                    put_integer(sink, spec, static_cast<long long>(bits), true);
                    continue;
                }
                break;
            case 's':
                if (arguments_fit && reader.take(TextArgument::TEXT, bits)) {
                    put_string(sink, spec, reinterpret_cast<const char*>(static_cast<uintptr_t>(bits)));
                    continue;
                }
                break;
            case '%':
                sink.put('%');
                continue;
            default:
                break;
        }
        // Not a conversion this writer knows, or no argument of its kind for
        // it: copied as written.
        if (*p == '\0') --p;
        sink.put(conversion_start, static_cast<size_t>(p - conversion_start + 1));
    }
    if (buffer != nullptr) buffer[std::min(sink.length, char_count)] = '\0';
    return sink.length;
}

namespace {

// What an element was last given and the text that made, so that writing the
// same again costs a comparison rather than a formatting. Module state like
// any other: static, never reset, and never trusted further than the text the
// buffer holds.
constexpr size_t memo_slots = 64;  // well above the module's 25 texts
constexpr size_t memo_arguments = 3;
constexpr size_t memo_text_chars = 15;

struct TextMemo {
    const ElementString* element;  // null while the slot is free
    const char* format;
    TextArgument arguments[memo_arguments];
    size_t argument_count;
    size_t char_count;
    size_t length;  // of the text, at most char_count
    char text[memo_text_chars + 1];
};

constinit TextMemo text_memos[memo_slots] = {};
constinit size_t memos_used = 0;
// The host asks for the texts in the same order at every update, so the memo
// after the one last used is nearly always the one asked for next.
constinit size_t next_memo = 0;

void used(size_t slot) { next_memo = slot + 1 == memos_used ? 0 : slot + 1; }

// The element's memo, or a slot for it: a free one, once all are taken the
// one used longest ago.
TextMemo& memo_of(const ElementString* element) {
    if (text_memos[next_memo].element == element) return text_memos[next_memo];
    for (size_t slot = 0; slot < memos_used; ++slot) {
        if (text_memos[slot].element == element) return text_memos[slot];
    }
    const size_t slot = memos_used < memo_slots ? memos_used++ : next_memo;
    text_memos[slot].element = nullptr;
    return text_memos[slot];
}

bool same_writing(const TextMemo& memo, const ElementString* element, const char* format,
                  const TextArgument* arguments, size_t count) {
    if (memo.element != element || memo.format != format || memo.argument_count != count ||
        memo.char_count != element->max_string_length) {
        return false;
    }
    for (size_t i = 0; i < count; ++i) {
        if (memo.arguments[i].kind != arguments[i].kind || memo.arguments[i].bits != arguments[i].bits) return false;
    }
    return true;
}

template <typename Word>
Word load(const char* bytes) {
    Word word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// Whether the buffer holds the text and its NUL (what follows the NUL shows
// nowhere). A word at a time: the first bytes and the last, overlapping.
[[gnu::always_inline]] inline bool holds_text(const char* buffer, const char* text, size_t length) {
    const size_t n = length + 1;
    if (n >= 8) {
        return load<uint64_t>(buffer) == load<uint64_t>(text) &&
               load<uint64_t>(buffer + n - 8) == load<uint64_t>(text + n - 8) &&
               (n <= 16 || std::memcmp(buffer + 8, text + 8, n - 16) == 0);
    }
    if (n >= 4) {
        return load<uint32_t>(buffer) == load<uint32_t>(text) &&
               load<uint32_t>(buffer + n - 4) == load<uint32_t>(text + n - 4);
    }
    for (size_t i = 0; i < n; ++i) {
        if (buffer[i] != text[i]) return false;
    }
    return true;
}

// The slow way: the element's memo looked for everywhere, and the text
// formatted afresh when the memo does not have it. Kept out of line so that
// the check before it stays lean.
[[gnu::noinline]] void write_text_slowly(ElementString* element, const char* format,
                                         const TextArgument* arguments, size_t count) {
    char* const buffer = element->string;
    const size_t char_count = element->max_string_length;
    if (char_count > memo_text_chars || count > memo_arguments) {
        format_arguments(buffer, char_count, format, arguments, count);
        return;
    }
    TextMemo& memo = memo_of(element);
    used(static_cast<size_t>(&memo - text_memos));
    if (same_writing(memo, element, format, arguments, count)) {
        if (!holds_text(buffer, memo.text, memo.length)) std::memcpy(buffer, memo.text, memo.length + 1);
        return;
    }
    const size_t length = std::min(format_arguments(buffer, char_count, format, arguments, count), char_count);
    memo.element = element;
    memo.format = format;
    std::copy(arguments, arguments + count, memo.arguments);
    memo.argument_count = count;
    memo.char_count = char_count;
    memo.length = length;
    std::memcpy(memo.text, buffer, length + 1);
}

}  // namespace

void write_text_arguments(ElementString* element, const char* format, const TextArgument* arguments,
                          size_t count) {
    if (element == nullptr || element->string == nullptr) return;
    const size_t slot = next_memo;
    const TextMemo& memo = text_memos[slot];
    if (!same_writing(memo, element, format, arguments, count)) {
        write_text_slowly(element, format, arguments, count);
        return;
    }
    used(slot);
    // The host may have handed a fresh buffer, even at the old address.
    if (!holds_text(element->string, memo.text, memo.length)) {
        std::memcpy(element->string, memo.text, memo.length + 1);
    }
}

}  // namespace orvane
