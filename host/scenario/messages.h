// Every message of a scenario, a mistake in its file or a failure of its run,
// is made here: "file:line: what is wrong (what is allowed)", a line of 0 or
// less being the end of a run. One place, so that the room can hand them on
// as one.
#pragma once

#include <string>
#include <string_view>

#include "host/base/diagnostics.h"

namespace panelhost {

inline Diagnostic scenario_message(Severity severity, std::string_view file, int line, std::string_view what) {
    return diagnostic_at(severity, std::string(file), line > 0 ? line : end_of_run, std::string(what));
}

}  // namespace panelhost
