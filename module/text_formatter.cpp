#include "module/text_formatter.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
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
        const size_t room = length < char_count ? std::min(n, char_count - length) : 0;
        for (size_t i = 0; i < room; ++i) out[length + i] = text[i];
        length += n;
    }
    void repeat(char c, size_t n) {
        const size_t room = length < char_count ? std::min(n, char_count - length) : 0;
        for (size_t i = 0; i < room; ++i) out[length + i] = c;
        length += n;
    }
};

// One % conversion as the format writes it: flags, width and precision.
struct Conversion {
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

// sign (none when '\0'), digits and padding laid out as printf does
void put_padded(TextSink& sink, const Conversion& conversion, char sign, const char* body, size_t body_length, bool zero_pad) {
    const size_t used = (sign != '\0' ? 1 : 0) + body_length;
    const size_t pad = conversion.width > 0 && static_cast<size_t>(conversion.width) > used ? conversion.width - used : 0;
    if (pad != 0 && !conversion.left && !zero_pad) sink.repeat(' ', pad);
    if (sign != '\0') sink.put(sign);
    if (pad != 0 && !conversion.left && zero_pad) sink.repeat('0', pad);
    sink.put(body, body_length);
    if (pad != 0 && conversion.left) sink.repeat(' ', pad);
}

char sign_of(bool negative, const Conversion& conversion) {
    if (negative) return '-';
    if (conversion.plus) return '+';
    if (conversion.space) return ' ';
    return '\0';
}

// "00" to "99", to write a whole number two digits at a time.
constexpr char digit_pairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "4041424344454647484950515253545556575859606162636465666768697071727374757677787980"
    "81828384858687888990919293949596979899";

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
// last `precision` digits. Written backwards to end just before `end`;
// returns where they start, or null when the general path must do it.
char* fast_fixed_digits(char* end, double magnitude, int precision) {
    if (precision >= static_cast<int>(std::size(powers_of_ten))) return nullptr;
    // One rounding, none at all for no decimals.
    const double scaled = magnitude * powers_of_ten[precision];
    if (!(scaled < fast_product_limit)) return nullptr;
    uint32_t rounded = truncate_to_u32(scaled);
    const double fraction = scaled - rounded;  // exact
    if (precision > 0 && std::fabs(fraction - 0.5) <= tie_margin) return nullptr;
    if (fraction > 0.5 || (fraction == 0.5 && rounded % 2 != 0)) ++rounded;

    char* p = end;
    for (int i = 0; i < precision; ++i, rounded /= 10) *--p = static_cast<char>('0' + rounded % 10);
    if (precision > 0) *--p = '.';
    for (; rounded >= 100; rounded /= 100) {
        p -= 2;
        std::memcpy(p, &digit_pairs[2 * (rounded % 100)], 2);
    }
    if (rounded >= 10) {
        p -= 2;
        std::memcpy(p, &digit_pairs[2 * rounded], 2);
    } else {
        *--p = static_cast<char>('0' + rounded);
    }
    return p;
}

void put_fixed(TextSink& sink, const Conversion& conversion, double value) {
    const bool negative = std::signbit(value);
    const int precision = conversion.precision < 0 ? 6 : conversion.precision;
    if (!std::isfinite(value)) {
        const char* body = std::isnan(value) ? "nan" : "inf";
        put_padded(sink, conversion, sign_of(negative, conversion), body, 3, false);
        return;
    }
    // 309 integer digits at most, the point, the decimals and a '#' point.
    char digits[320 + max_precision + 1];
    char* const quick_end = digits + sizeof digits - 1;
    char* body = fast_fixed_digits(quick_end, std::fabs(value), precision);
    size_t length = 0;
    if (body != nullptr) {
        length = static_cast<size_t>(quick_end - body);
    } else {
        body = digits;
        const auto result =
            std::to_chars(digits, quick_end, std::fabs(value), std::chars_format::fixed, precision);
        length = static_cast<size_t>(result.ptr - digits);
    }
    if (conversion.alternate && precision == 0) body[length++] = '.';
    put_padded(sink, conversion, sign_of(negative, conversion), body, length, conversion.zero && !conversion.left);
}

void put_integer(TextSink& sink, const Conversion& conversion, long long value, bool is_unsigned) {
    const bool negative = !is_unsigned && value < 0;
    const unsigned long long magnitude =
        is_unsigned ? static_cast<unsigned long long>(value)
                    : (negative ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value));
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, magnitude);
    size_t length = static_cast<size_t>(result.ptr - digits);
    char body[24 + max_precision];
    size_t body_length = 0;
    if (conversion.precision > static_cast<int>(length)) {
        const size_t leading = static_cast<size_t>(conversion.precision) - length;
        std::memset(body, '0', leading);
        body_length = leading;
    }
    if (!(conversion.precision == 0 && magnitude == 0)) {
        std::memcpy(body + body_length, digits, length);
        body_length += length;
    }
    put_padded(sink, conversion, sign_of(negative, conversion), body, body_length,
               conversion.zero && !conversion.left && conversion.precision < 0);
}

void put_string(TextSink& sink, const Conversion& conversion, const char* text) {
    if (text == nullptr) text = "(null)";
    const size_t most = conversion.precision >= 0 ? static_cast<size_t>(conversion.precision) : SIZE_MAX;
    size_t length = 0;
    while (length < most && text[length] != '\0') ++length;
    if (conversion.width == 0) {
        sink.put(text, length);
    } else {
        put_padded(sink, conversion, '\0', text, length, false);
    }
}

int read_number(const char*& p) {
    int n = 0;
    for (unsigned digit; (digit = static_cast<unsigned char>(*p) - 0x30u) <= 9; ++p) {
        n = std::min(n * 10 + static_cast<int>(digit), max_width);
    }
    return n;
}

// %s, %f and %W.Pf with a digit each for width and precision, the shapes of
// the module's own formats, read in a step; false for any other, which the
// general rules read. p is past the '%', and left on the conversion.
bool read_short_conversion(const char*& p, Conversion& conversion) {
    if (p[0] == 's' || p[0] == 'f') return true;
    const auto digit = [](char c) { return static_cast<unsigned char>(c) - 0x30u <= 9; };
    if (digit(p[0]) && p[0] != '0' && p[1] == '.' && digit(p[2]) && p[3] == 'f') {
        conversion.width = p[0] - '0';
        conversion.precision = p[2] - '0';
        p += 3;
        return true;
    }
    return false;
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

// Flags, width, precision and length of a conversion by the general rules,
// p past the '%' and left on the conversion. False when a '*' finds no
// integer argument.
bool read_conversion(const char*& p, Conversion& conversion, ArgumentReader& reader) {
    bool arguments_fit = true;
    // Every flag sorts at or below '0', every width, precision and conversion above it.
    for (; *p <= '0'; ++p) {
        if (*p == '-') conversion.left = true;
        else if (*p == '+') conversion.plus = true;
        else if (*p == ' ') conversion.space = true;
        else if (*p == '0') conversion.zero = true;
        else if (*p == '#') conversion.alternate = true;
        else break;
    }
    if (*p == '*') {
        long long width = 0;
        arguments_fit = reader.take_integer(width) && arguments_fit;
        if (width < 0) conversion.left = true;
        // Negated as unsigned: the most negative value has no positive twin.
        const unsigned long long magnitude =
            width < 0 ? 0ULL - static_cast<unsigned long long>(width) : static_cast<unsigned long long>(width);
        conversion.width = static_cast<int>(std::min(magnitude, static_cast<unsigned long long>(max_width)));
        ++p;
    } else {
        conversion.width = read_number(p);
    }
    if (*p == '.') {
        ++p;
        if (*p == '*') {
            long long precision = 0;
            arguments_fit = reader.take_integer(precision) && arguments_fit;
            conversion.precision =
                precision < 0 ? -1 : static_cast<int>(std::min(precision, static_cast<long long>(max_precision)));
            ++p;
        } else {
            conversion.precision = std::min(read_number(p), max_precision);
        }
    }
    while (*p == 'l') ++p;  // every integer argument is carried whole
    return arguments_fit;
}

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
        Conversion conversion;
        const bool arguments_fit = read_short_conversion(p, conversion) || read_conversion(p, conversion, reader);
        uint64_t bits = 0;
        switch (*p) {
            case 'f':
            case 'F':
                if (arguments_fit && reader.take(TextArgument::NUMBER, bits)) {
                    put_fixed(sink, conversion, std::bit_cast<double>(bits));
                    continue;
                }
                break;
            case 'd':
            case 'i':
                if (arguments_fit && reader.take(TextArgument::SIGNED, bits)) {
                    put_integer(sink, conversion, static_cast<long long>(bits), false);
                    continue;
                }
                break;
            case 'u':
                if (arguments_fit && reader.take(TextArgument::UNSIGNED, bits)) {
                    put_integer(sink, conversion, static_cast<long long>(bits), true);
                    continue;
                }
                break;
            case 's':
                if (arguments_fit && reader.take(TextArgument::TEXT, bits)) {
                    put_string(sink, conversion, reinterpret_cast<const char*>(static_cast<uintptr_t>(bits)));
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

}  // namespace orvane
