// The module's formatter called as printf is: the tests' way of asking what a
// format and its arguments make, without an element or the text memo.
#pragma once

#include <cstddef>

#include "module/text_formatter.h"

namespace orvane::testing {

template <typename... Args>
size_t format_bounded(char* buffer, size_t char_count, const char* format, Args... args) {
    const TextArgument arguments[] = {text_argument(args)..., {}};
    return format_arguments(buffer, char_count, format, arguments, sizeof...(Args));
}

}  // namespace orvane::testing
