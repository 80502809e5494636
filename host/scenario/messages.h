// Every message of a scenario, a mistake in its file or a failure of its run,
// is made here: "file:line: what is wrong (what is allowed)", line 0 being the
// end of a run. One place, so that the room can hand them on as one.
#pragma once

#include <string>
#include <string_view>

namespace panelhost {

inline std::string scenario_message(std::string_view file, int line, std::string_view what) {
    std::string text(file);
    text += ':';
    text += line > 0 ? std::to_string(line) : std::string("end");
    text += ": ";
    text += what;
    return text;
}

}  // namespace panelhost
