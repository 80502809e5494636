// The module's printf: a format and its arguments written into a fixed
// buffer, cut to a character count, never past count + 1 bytes. Numbers are
// formatted by the module's own code, not the C runtime's, so that the DLL
// prints the same texts on every Windows and the same as the native build.
//
// Conversions: %s, %d, %i, %u, %f, %F and %%, with the flags - + space 0 #,
// a width and a precision (numbers or *). Anything else is copied as written,
// and so is a conversion whose argument is missing or of another kind.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace orvane {

// One argument of a format, as its kind and its bits: a number's 64-bit
// pattern, a text's address, an integer's value.
struct TextArgument {
    enum Kind : uint64_t { NONE, NUMBER, TEXT, SIGNED, UNSIGNED } kind;
    uint64_t bits;
};

constexpr TextArgument text_argument(double value) { return {TextArgument::NUMBER, std::bit_cast<uint64_t>(value)}; }
inline TextArgument text_argument(const char* text) {
    return {TextArgument::TEXT, reinterpret_cast<uintptr_t>(text)};
}
constexpr TextArgument text_argument(int value) { return {TextArgument::SIGNED, static_cast<uint64_t>(value)}; }
constexpr TextArgument text_argument(long value) { return {TextArgument::SIGNED, static_cast<uint64_t>(value)}; }
constexpr TextArgument text_argument(unsigned value) { return {TextArgument::UNSIGNED, value}; }
constexpr TextArgument text_argument(unsigned long value) { return {TextArgument::UNSIGNED, value}; }

// Writes at most char_count characters and a terminating NUL into buffer
// (char_count + 1 bytes). Returns the length the whole text would have had.
size_t format_arguments(char* buffer, size_t char_count, const char* format, const TextArgument* arguments,
                        size_t argument_count);

}  // namespace orvane
