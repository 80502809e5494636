#include "module/text_writer.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

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
    const auto result =
        std::to_chars(digits, digits + sizeof digits, std::fabs(value), std::chars_format::fixed, precision);
    size_t length = static_cast<size_t>(result.ptr - digits);
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

}  // namespace

size_t format_bounded_v(char* buffer, size_t char_count, const char* format, va_list args) {
    TextSink sink{buffer, buffer != nullptr ? char_count : 0, 0};
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%') {
            sink.put(*p);
            continue;
        }
        const char* conversion_start = p;
        ++p;
        Spec spec;
        for (;; ++p) {
            if (*p == '-') spec.left = true;
            else if (*p == '+') spec.plus = true;
            else if (*p == ' ') spec.space = true;
            else if (*p == '0') spec.zero = true;
            else if (*p == '#') spec.alternate = true;
            else break;
        }
        if (*p == '*') {
            const int width = va_arg(args, int);
            if (width < 0) spec.left = true;
            spec.width = std::min(width < 0 ? -width : width, max_width);
            ++p;
        } else {
            spec.width = read_number(p);
        }
        if (*p == '.') {
            ++p;
            if (*p == '*') {
                const int precision = va_arg(args, int);
                spec.precision = precision < 0 ? -1 : std::min(precision, max_precision);
                ++p;
            } else {
                spec.precision = std::min(read_number(p), max_precision);
            }
        }
        bool long_integer = false;
        while (*p == 'l') {
            long_integer = true;
            ++p;
        }
        switch (*p) {
            case 'f':
            case 'F':
                put_fixed(sink, spec, va_arg(args, double));
                break;
            case 'd':
            case 'i':
                put_integer(sink, spec, long_integer ? va_arg(args, long) : va_arg(args, int), false);
                break;
            case 'u':
                put_integer(sink, spec, long_integer ? va_arg(args, unsigned long) : va_arg(args, unsigned), true);
                break;
            case 's':
                put_string(sink, spec, va_arg(args, const char*));
                break;
            case '%':
                sink.put('%');
                break;
            default:  // not a conversion this writer knows: copy it as written
                if (*p == '\0') --p;
                sink.put(conversion_start, static_cast<size_t>(p - conversion_start + 1));
                break;
        }
    }
    if (buffer != nullptr) buffer[std::min(sink.length, char_count)] = '\0';
    return sink.length;
}

size_t format_bounded(char* buffer, size_t char_count, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const size_t length = format_bounded_v(buffer, char_count, format, args);
    va_end(args);
    return length;
}

void write_text(ElementString* element, const char* format, ...) {
    if (element == nullptr || element->string == nullptr) return;
    va_list args;
    va_start(args, format);
#if ORVANE_REFERENCE_FORMATTING
    std::vsnprintf(element->string, element->max_string_length + 1u, format, args);
#else
    format_bounded_v(element->string, element->max_string_length, format, args);
#endif
    va_end(args);
}

}  // namespace orvane
