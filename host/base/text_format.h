// How the host writes numbers and texts into traces and reports, and reads
// them back from scenarios. Everything here is locale- and runtime-independent,
// so that the native and the Windows host write the same bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace panelhost {

// Shortest form that reads back to the same double: 0.79, 1e+21, nan, -inf, -0.
std::string format_number(double value);

// 0x0000ABCD: eight upper-case hex digits.
std::string format_hex32(uint32_t value);

// The text in double quotes, with \" \\ \n \t \r and \xHH for every other byte
// outside printable ASCII.
std::string quote_text(std::string_view text);

// The inverse of quote_text's escapes for the body of a quoted token
// (without the quotes). Returns an error message, empty on success.
std::string unescape_text(std::string_view body, std::string& out);

// A host value: a number, nan, inf, -inf, or 0x and 16 hex digits (the 64-bit
// pattern). Returns an error message, empty on success.
std::string parse_value(std::string_view token, double& out);

// The text with A to Z in lower case: for keys and names that match without
// regard to case.
std::string ascii_lowercase(std::string_view text);

// A whole number in decimal or 0x hex, optionally signed.
std::optional<int64_t> parse_integer(std::string_view token);
// Whether the token is written as a whole number, whatever its size: one
// that parse_integer refuses is then out of range rather than no number.
bool integer_syntax(std::string_view token);

}  // namespace panelhost
