// The one way the module writes a text: printf-style formatting into a fixed
// buffer, cut to a character count, never past count + 1 bytes. Numbers are
// formatted by the module's own code, not the C runtime's, so that the DLL
// prints the same texts on every Windows and the same as the native build.
//
// Conversions: %s, %d, %i, %u, %f, %F and %%, with the flags - + space 0 #,
// a width and a precision (numbers or *). Anything else is copied as written.
#pragma once

#include <cstdarg>
#include <cstddef>

#include "module/host_abi.h"

namespace orvane {

// Writes at most char_count characters and a terminating NUL into buffer
// (char_count + 1 bytes). Returns the length the whole text would have had.
size_t format_bounded(char* buffer, size_t char_count, const char* format, ...);
size_t format_bounded_v(char* buffer, size_t char_count, const char* format, va_list args);

// Replaces the element's text, cut to its character count. Does nothing while
// the host has not supplied the element's buffer.
void write_text(ElementString* element, const char* format, ...);

}  // namespace orvane
