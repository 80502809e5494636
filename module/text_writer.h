// The one way the module writes a text: printf-style formatting into a fixed
// buffer, cut to a character count, never past count + 1 bytes. Numbers are
// formatted by the module's own code, not the C runtime's, so that the DLL
// prints the same texts on every Windows and the same as the native build.
//
// Conversions: %s, %d, %i, %u, %f, %F and %%, with the flags - + space 0 #,
// a width and a precision (numbers or *). Anything else is copied as written,
// and so is a conversion whose argument is missing or of another kind.
//
// Formats and text arguments are string literals of the module: a text is
// remembered by its address, and an element written again with the same
// format and arguments is not formatted again while its buffer still holds
// the text (see write_text).
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "module/host_abi.h"

namespace orvane {

// One argument of a format, as its kind and its bits: a number's 64-bit
// pattern, a text's address, an integer's value.
struct TextArgument {
    enum Kind : uint32_t { NONE, NUMBER, TEXT, SIGNED, UNSIGNED } kind;
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

template <typename... Args>
size_t format_bounded(char* buffer, size_t char_count, const char* format, Args... args) {
    const TextArgument arguments[] = {text_argument(args)..., {}};
    return format_arguments(buffer, char_count, format, arguments, sizeof...(Args));
}

void write_text_arguments(ElementString* element, const char* format, const TextArgument* arguments,
                          size_t argument_count);

// Replaces the element's text, cut to its character count. Does nothing while
// the host has not supplied the element's buffer.
//
// The element remembers what it was last given and what that made: given the
// same again, with its buffer still holding that text, it is done; holding
// anything else (a fresh buffer from the host, wherever it lies), the text is
// copied back without formatting.
//
// Built with ORVANE_REFERENCE_FORMATTING, every call formats afresh with the
// C library's snprintf instead: the yardstick for the benchmarks.
template <typename... Args>
void write_text(ElementString* element, const char* format, Args... args) {
#if ORVANE_REFERENCE_FORMATTING
    if (element == nullptr || element->string == nullptr) return;
    std::snprintf(element->string, element->max_string_length + size_t{1}, format, args...);
#else
    const TextArgument arguments[] = {text_argument(args)..., {}};
    write_text_arguments(element, format, arguments, sizeof...(Args));
#endif
}

}  // namespace orvane
