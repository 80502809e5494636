// What a command says on stderr, and the exit status the worst of it gives.
#include <gtest/gtest.h>

#include "host/base/diagnostics.h"

namespace panelhost {
namespace {

TEST(Diagnostics, EachMessageSaysWhereAndTheWorstGivesTheExitStatus) {
    const struct Row {
        const char* what;
        void (*report)(Diagnostics& said);
        std::vector<std::string> printed;
        int status;
    } rows[] = {
        {"nothing said", [](Diagnostics&) {}, {}, 0},
        {"a note changes nothing", [](Diagnostics& d) { d.report(Severity::note, "no audio device"); },
         {"panelhost fly: no audio device"}, 0},
        {"a place in a file, and a file as a whole",
         [](Diagnostics& d) {
             d.report(Severity::problem, "p.cfg", 3, "position=9 is not a screen position");
             d.report(Severity::problem, "a.scn", 0, "2 failure(s)");
         },
         {"p.cfg:3: position=9 is not a screen position", "a.scn: 2 failure(s)"}, 1},
        {"the end of a run",
         [](Diagnostics& d) { d.report(diagnostic_at(Severity::fault, "a.scn", end_of_run, "T: a trap")); },
         {"a.scn:end: T: a trap"}, 1},
        {"a fault fails as a problem does", [](Diagnostics& d) { d.report_as_written(Severity::fault, {"! trap"}); },
         {"! trap"}, 1},
        {"an unusable input outweighs what came before",
         [](Diagnostics& d) {
             d.report_as_written(Severity::problem, {"a.scn:2: expect var: expected 1, actual 0"});
             d.report_own(Severity::unusable, {"cannot make the folder out"});
             d.report(Severity::note, "drawn with another face");
         },
         {"a.scn:2: expect var: expected 1, actual 0", "panelhost fly: cannot make the folder out",
          "panelhost fly: drawn with another face"},
         2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Diagnostics said("panelhost fly");
        row.report(said);
        std::vector<std::string> printed;
        for (const Diagnostic& d : said.all()) printed.push_back(d.text);
        EXPECT_EQ(printed, row.printed);
        EXPECT_EQ(said.exit_status(), row.status);
        EXPECT_EQ(said.unusable(), row.status == 2);
    }
}

}  // namespace
}  // namespace panelhost
