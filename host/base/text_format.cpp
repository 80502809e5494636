#include "host/base/text_format.h"

#include <bit>
#include <charconv>
#include <cmath>

namespace panelhost {

std::string format_number(double value) {
    // to_chars spells NaN with its sign bit; a trace only needs to say "not a number".
    if (std::isnan(value)) return "nan";
    char digits[64];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, result.ptr);
}

std::string format_hex32(uint32_t value) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string text = "0x00000000";
    for (int i = 0; i < 8; ++i) text[9 - i] = hex[(value >> (4 * i)) & 0xF];
    return text;
}

std::string quote_text(std::string_view text) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string quoted = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"': quoted += "\\\""; break;
        case '\\': quoted += "\\\\"; break;
        case '\n': quoted += "\\n"; break;
        case '\t': quoted += "\\t"; break;
        case '\r': quoted += "\\r"; break;
        default:
            if (byte >= 0x20 && byte < 0x7F) {
                quoted += c;
            } else {
                quoted += "\\x";
                quoted += hex[byte >> 4];
                quoted += hex[byte & 0xF];
            }
        }
    }
    quoted += '"';
    return quoted;
}

namespace {

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string unescape_text(std::string_view body, std::string& out) {
    out.clear();
    for (size_t i = 0; i < body.size(); ++i) {
        if (body[i] != '\\') {
            out += body[i];
            continue;
        }
        if (++i == body.size()) return "a text ends with a lone backslash";
        switch (body[i]) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case '0': out += '\0'; break;
        case 'x': {
            const int high = i + 1 < body.size() ? hex_digit(body[i + 1]) : -1;
            const int low = i + 2 < body.size() ? hex_digit(body[i + 2]) : -1;
            if (high < 0 || low < 0) return "\\x needs two hex digits";
            out += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default: return std::string("unknown escape \\") + body[i];
        }
    }
    return {};
}

std::string parse_value(std::string_view token, double& out) {
    if (token.starts_with("0x") || token.starts_with("0X")) {
        const std::string_view digits = token.substr(2);
        if (digits.size() != 16) return "a value pattern needs exactly 16 hex digits: " + std::string(token);
        uint64_t bits = 0;
        for (const char c : digits) {
            const int digit = hex_digit(c);
            if (digit < 0) return "not a hex digit in " + std::string(token);
            bits = bits << 4 | static_cast<uint64_t>(digit);
        }
        out = std::bit_cast<double>(bits);
        return {};
    }
    std::string_view number = token;
    if (number.starts_with('+')) number.remove_prefix(1);
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) return "value out of range: " + std::string(token);
    if (number.empty() || result.ec != std::errc{} || result.ptr != number.data() + number.size()) {
        return "not a value: " + std::string(token);
    }
    out = value;
    return {};
}

std::optional<int64_t> parse_integer(std::string_view token) {
    bool negative = false;
    if (token.starts_with('-') || token.starts_with('+')) {
        negative = token[0] == '-';
        token.remove_prefix(1);
    }
    int base = 10;
    if (token.starts_with("0x") || token.starts_with("0X")) {
        base = 16;
        token.remove_prefix(2);
    }
    uint64_t magnitude = 0;
    const auto result = std::from_chars(token.data(), token.data() + token.size(), magnitude, base);
    if (token.empty() || result.ec != std::errc{} || result.ptr != token.data() + token.size()) return std::nullopt;
    // The most negative number has no positive counterpart: it is negated as
    // an unsigned magnitude.
    const uint64_t largest = negative ? uint64_t{1} << 63 : static_cast<uint64_t>(INT64_MAX);
    if (magnitude > largest) return std::nullopt;
    return negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
}

bool integer_syntax(std::string_view token) {
    if (token.starts_with('-') || token.starts_with('+')) token.remove_prefix(1);
    const bool hex = token.starts_with("0x") || token.starts_with("0X");
    if (hex) token.remove_prefix(2);
    if (token.empty()) return false;
    for (const char c : token) {
        if (hex ? hex_digit(c) < 0 : (c < '0' || c > '9')) return false;
    }
    return true;
}

std::string ascii_lowercase(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

}  // namespace panelhost
