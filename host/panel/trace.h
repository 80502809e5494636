// The canonical record of a run: one fact a line, written the same way by
// every build of the host.
#pragma once

#include <string>
#include <string_view>

namespace panelhost {

class Trace {
public:
    // One line, indented by two spaces per level.
    void line(int level, std::string_view text);
    // Where the next line goes; a line inserted there later comes before
    // what was written since (a step whose length is known at its end).
    size_t end() const { return text_.size(); }
    void insert_line(size_t at, int level, std::string_view text);
    // The record, with \n line ends.
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

}  // namespace panelhost
