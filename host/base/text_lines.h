// The lines of a text file as every reader of the host takes them: a UTF-8
// byte-order mark at the start is no part of the first line, a line ends at
// \n, and a \r before it (the Windows line end) is no part of the line either.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace panelhost {

struct TextLine {
    int number = 0;  // counted from 1
    std::string_view text;
};

// Views into `text`, which must outlive them.
std::vector<TextLine> text_lines(std::string_view text);

// What makes a line no text: a NUL or another control byte (a tab is text).
// Empty when there is none; else "a NUL byte at column 7" and the like, the
// column counted from 1.
std::string control_byte_problem(std::string_view line);

}  // namespace panelhost
