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
    // The record, with \n line ends.
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

}  // namespace panelhost
