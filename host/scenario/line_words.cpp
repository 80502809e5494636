#include "host/scenario/line_words.h"

#include <bit>
#include <cinttypes>
#include <cstdio>

#include "host/base/text_format.h"
#include "host/services/chain.h"
#include "host/services/names.h"

namespace panelhost {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

constexpr const char* escapes_allowed = "\\\" \\\\ \\n \\t \\r \\0 \\xHH";
constexpr const char* values_allowed = "a number, nan, inf, -inf, or 0x and 16 hex digits";

}  // namespace

std::string tokenize(std::string_view line, std::vector<Token>& tokens) {
    size_t i = 0;
    while (i < line.size()) {
        if (is_blank(line[i])) {
            ++i;
            continue;
        }
        if (line[i] == '#') break;
        Token token;
        if (line[i] == '"') {
            size_t end = i + 1;
            while (end < line.size() && line[end] != '"') end += line[end] == '\\' ? 2 : 1;
            if (end >= line.size()) return "a quoted text has no closing quote (a text ends at its second \")";
            if (std::string error = unescape_text(line.substr(i + 1, end - i - 1), token.text); !error.empty()) {
                return error + " (the escapes " + escapes_allowed + ")";
            }
            token.quoted = true;
            i = end + 1;
            if (i < line.size() && !is_blank(line[i]) && line[i] != '#') {
                return "a quoted text runs into a word (a blank after the closing quote)";
            }
        } else {
            const size_t start = i;
            while (i < line.size() && !is_blank(line[i]) && line[i] != '#') {
                if (line[i] == '"') return "a quote inside a word (a text stands in quotes of its own)";
                ++i;
            }
            token.text = std::string(line.substr(start, i - start));
        }
        tokens.push_back(std::move(token));
    }
    return {};
}

// ---- reading ----

bool Words::fail(const std::string& message, const std::string& allowed) {
    if (error_.empty()) error_ = message + " (" + allowed + ")";
    return false;
}

bool Words::word(std::string& out, const char* what) {
    if (!more()) return fail("missing " + std::string(what));
    const Token& token = tokens_[next_++];
    if (token.quoted) return fail(std::string(what) + " must not be quoted", "a word, not a text in quotes");
    out = token.text;
    return true;
}

bool Words::quoted(std::string& out, const char* what) {
    if (!more()) return fail("missing " + std::string(what));
    const Token& token = tokens_[next_++];
    if (!token.quoted) return fail(std::string(what) + " must be in double quotes", "\"...\"");
    out = token.text;
    return true;
}

bool Words::integer(int64_t& out, const char* what, int64_t low, int64_t high) {
    std::string text;
    if (!word(text, what)) return false;
    const std::string range = std::to_string(low) + " to " + std::to_string(high);
    const auto value = parse_integer(text);
    if (!value && integer_syntax(text)) return fail(std::string(what) + " " + text + " is out of range", range);
    if (!value) return fail(std::string(what) + " is not a whole number: " + text, "a whole number, " + range);
    if (*value < low || *value > high) return fail(std::string(what) + " " + text + " is out of range", range);
    out = *value;
    return true;
}

bool Words::int32(int32_t& out, const char* what) {
    int64_t n = 0;
    if (!integer(n, what, INT32_MIN, INT32_MAX)) return false;
    out = static_cast<int32_t>(n);
    return true;
}

bool Words::uint32(uint32_t& out, const char* what) {
    int64_t n = 0;
    if (!integer(n, what, 0, UINT32_MAX)) return false;
    out = static_cast<uint32_t>(n);
    return true;
}

bool Words::keyword(const char* expected) {
    if (!more() || tokens_[next_].quoted || tokens_[next_].text != expected) return false;
    ++next_;
    return true;
}

bool Words::gauge(std::string& out, bool all_allowed) {
    if (!word(out, "gauge name")) return false;
    if (out == "all" && !all_allowed) return fail("\"all\" is not allowed here", "one gauge's name");
    return true;
}

bool Words::var(int32_t& out) {
    std::string text;
    if (!word(text, "host variable")) return false;
    const auto id = host_var_id(text);
    if (!id) return fail("unknown host variable: " + text, "a variable's number or its name, as AIRSPEED_HOLD");
    out = *id;
    return true;
}

bool Words::value(double& out, bool* exact_bits) {
    std::string text;
    if (!word(text, "value")) return false;
    if (std::string error = parse_value(text, out); !error.empty()) return fail(error, values_allowed);
    if (exact_bits != nullptr) *exact_bits = text.starts_with("0x") || text.starts_with("0X");
    return true;
}

bool Words::expected_value(ExpectedValue& out) {
    if (!value(out.value, &out.exact_bits)) return false;
    if (keyword("within")) {
        double tolerance = 0.0;
        if (!value(tolerance)) return false;
        if (!(tolerance >= 0.0)) return fail("a tolerance must be 0 or more", "a number from 0 up");
        out.tolerance = tolerance;
    }
    return true;
}

bool Words::index(size_t& out) {
    int64_t n = 0;
    if (!integer(n, "element index", 0, static_cast<int64_t>(max_chain_length))) return false;
    out = static_cast<size_t>(n);
    return true;
}

bool Words::point(orvane::PixPoint& out) { return int32(out.x, "x") && int32(out.y, "y"); }

bool Words::either(const char* yes, const char* no, bool& out) {
    const std::string allowed = std::string(yes) + " or " + no;
    std::string text;
    if (!word(text, allowed.c_str())) return false;
    if (text != yes && text != no) return fail("expected " + allowed + ", not " + text, usage_);
    out = text == yes;
    return true;
}

bool Words::axis(bool rotation_allowed, steps::Axis& out) {
    std::string text;
    if (!word(text, "axis")) return false;
    if (text == "x") {
        out = steps::Axis::x;
    } else if (text == "y") {
        out = steps::Axis::y;
    } else if (text == "rotation" && rotation_allowed) {
        out = steps::Axis::rotation;
    } else {
        return fail("unknown axis: " + text, rotation_allowed ? "x, y or rotation" : "x or y");
    }
    return true;
}

bool Words::named_value(const char* name, double& out) {
    if (!keyword(name)) {
        return fail(std::string("expected ") + name + (more() ? ", not " + tokens_[next_].text : std::string()));
    }
    return value(out);
}

bool Words::done() {
    if (more()) return fail("unexpected " + (tokens_[next_].quoted ? "text" : tokens_[next_].text));
    return true;
}

// ---- writing ----

LineWriter& LineWriter::word(std::string_view word) {
    text_ += ' ';
    text_ += word;
    return *this;
}

LineWriter& LineWriter::integer(int64_t value) { return word(std::to_string(value)); }

LineWriter& LineWriter::number(double value) { return word(format_number(value)); }

LineWriter& LineWriter::quoted(std::string_view text) { return word(quote_text(text)); }

LineWriter& LineWriter::var(int32_t var) {
    const std::string name = host_var_label(var);
    return word(name.empty() ? std::to_string(var) : name);
}

LineWriter& LineWriter::event(uint32_t event) {
    const std::string name = key_event_label(event);
    return word(name.empty() ? std::to_string(event) : name);
}

LineWriter& LineWriter::expected(const ExpectedValue& value) {
    if (value.exact_bits) {
        char bits[24];
        std::snprintf(bits, sizeof bits, "0x%016" PRIX64, std::bit_cast<uint64_t>(value.value));
        word(bits);
    } else {
        number(value.value);
    }
    if (value.tolerance) word("within").number(*value.tolerance);
    return *this;
}

LineWriter& LineWriter::point(orvane::PixPoint point) { return integer(point.x).integer(point.y); }

}  // namespace panelhost
