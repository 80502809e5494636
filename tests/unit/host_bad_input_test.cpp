// Every input a user can hand panelhost run and inspect: said as
// file:line: what is wrong (what is allowed), with the exit status that
// tells a failed check (1) from an unusable input (2).
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/scenario/scenario.h"
#include "tests/support/panelhost_run.h"

namespace panelhost::testing {
namespace {

class HostBadInput : public CommandFiles {
protected:
    HostBadInput() : CommandFiles("host-bad-input") {}
};

std::string repeated(const std::string& line, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += line;
    return text;
}

TEST_F(HostBadInput, AScenarioIsReadWhateverItsLineEndsAndRefusedBeyondItsBounds) {
    const struct Row {
        const char* what;
        std::string scenario;
        int code;
        std::string says;
    } rows[] = {
        {"a byte-order mark is no part of the first step", "\xEF\xBB\xBFinstall DH\nupdate\n", 0, "2 steps held"},
        {"Windows line ends are line ends", "install DH\r\nupdate 2\r\n", 0, "2 steps held"},
        {"a NUL byte is named with its column and the line keeps its end",
         std::string("install DH\nupd\0te\n", 18), 2, ":2: a NUL byte at column 4 (a scenario is text"},
        {"a lone carriage return is a control byte", "install DH\rupdate\n", 2,
         ":1: the control byte \\r at column 11"},
        {"the most negative whole number is a number, out of range",
         "service DH -9223372036854775808\n", 2,
         ":1: service code -9223372036854775808 is out of range (-2147483648 to 2147483647)"},
        {"a number beyond 64 bits is out of range too", "service DH 99999999999999999999\n", 2,
         ":1: service code 99999999999999999999 is out of range"},
        {"a click beside an area's corner past the gauge's pixels fails its step",
         "install DH\nclick DH \"Set Decision Height\" at 2147483647 0\n", 1,
         ":2: the point 2147483725 5 lies outside the gauge's pixels (each from -2147483648 to 2147483647)"},
        {"one step asks for no more updates than a file may", repeated("update 1000000\n", 400), 2,
         ":1: update count 1000000 is out of range (1 to 100000)"},
        {"the steps together ask for no more updates than a file may",
         "install DH\nupdate 60000\nramp ALTITUDE 0 1 40001\n", 2,
         ":3: the file asks for more than 100000 update cycles by this line (at most 100000 a file)"},
        {"the clicks together press no more often than a file may",
         repeated("click DH 1 1 repeat 100000\n", 10), 2, ":10: the file asks for more than 1000000 clicks and repeats by this line"},
        {"a held button's repeats count with the clicks",
         "click DH 1 1\n" + repeated("repeat 100000\n", 10), 2,
         ":11: the file asks for more than 1000000 clicks and repeats by this line"},
        {"an unknown step says which steps there are", "install DH\nfrobnicate\n", 2,
         ":2: unknown step: frobnicate (aircraft, place, fly, set, ramp, install, update, kill, click, repeat, fail, "
         "service, callback, move, resize, remove, add, save, expect)"},
        {"edits of the panel.cfg count against a bound of their own", repeated("move Window00 gauge00 1 1\n", 1001), 2,
         ":1001: the file makes more than 1000 edits of the panel.cfg by this line"},
        {"a missing operand says how the step is written", "ramp ALTITUDE 0 100\n", 2,
         ":1: missing update count (ramp <var> <from> <to> [<var> <from> <to>]... <n>)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string scenario = file("s.scn", row.scenario);
        const Outcome o = run_panelhost({"run", module, scenario});
        EXPECT_EQ(o.code, row.code) << o.out << o.err;
        EXPECT_NE((o.out + o.err).find(row.says), std::string::npos) << o.out << o.err;
    }
}

TEST_F(HostBadInput, FilesThatAreNoScenarioOrNoModuleAreRefusedUnread) {
    const std::string big = file("big.scn", std::string(max_scenario_bytes + 1, '#'));
    const std::string fine = file("fine.scn", "install DH\n");
    const std::string failing = file("failing.scn", "install DH\nupdate\nexpect sound 1\n");
    std::filesystem::create_directories(dir / "again");
    const std::string fine_again = file("again/fine.scn", "install DH\n");
    const std::string traces = (dir / "traces").string();
    expect_outcomes({
        {"a folder is no scenario", {"run", module, dir.string()}, 2, "it is a folder (a file is needed)"},
        {"one trace file for several scenarios", {"run", module, fine, failing, "--trace", traces + ".trace"}, 2,
         "for several, --traces DIR"},
        {"two scenarios of one name would write one trace", {"run", module, fine, fine_again, "--traces", traces}, 2,
         "two scenarios named fine would write one trace"},
        {"one failing scenario fails the run, the others still run", {"run", module, failing, fine, "--traces", traces},
         1, "fine.scn: 1 steps held"},
        {"a scenario larger than its bound is not read", {"run", module, big}, 2,
         "it holds more than 4194304 bytes (at most 4194304)"},
        {"a folder is no module", {"run", dir.string(), fine}, 2, "cannot load " + dir.string()},
    });
}

std::string broken_module(const std::string& variant) {
    return std::string(ORVANE_BROKEN_MODULE_DIR) + "/broken_" + variant + ORVANE_BROKEN_MODULE_SUFFIX;
}

TEST_F(HostBadInput, AModuleThatBreaksTheRulesIsRefusedWithoutAnythingReadOutsideIt) {
    const std::string scenario = file("s.scn", "install all\nupdate\n");
    // 0x1000, as an address of the build's width.
    const std::string stray = sizeof(void*) == 4 ? "0x00001000" : "0x0000000000001000";
    const struct Row {
        const char* variant;
        std::string says;
    } rows[] = {
        {"wrong_id", "Linkage: module id is 0x00000012, expected 0x00000013"},
        {"stray_gauge", "Linkage: gauge table entry 0 points to " + stray + " lies outside the module's image"},
#if defined(_WIN32)
        // A PE image records no sizes: the byte is read as the start of a record, which is refused.
        {"small_exports", "ImportTable: "},
#else
        {"small_exports", "ImportTable: the export holds 1 byte (its record takes " +
                              std::to_string(sizeof(orvane::GaugeModuleImports)) + " bytes)"},
#endif
        {"stray_name", "gauge 0: its name at " + stray + " lies outside the module's image"},
        {"stray_elements", "gauge 0 (B): element chain: the element list at " + stray + " lies outside"},
        {"stray_element", "gauge 0 (B): element chain: element 0 at " + stray + " lies outside"},
        {"stray_mouse", "gauge 0 (B): mouse table row 0: row at " + stray + " lies outside"},
        {"stray_tooltip", "gauge 0 (B): mouse table row 1: tooltip text at " + stray + " lies outside"},
        {"stray_failures", "gauge 0 (B): element 0: failure record 0 at " + stray + " lies outside"},
        {"data_callback", "gauge 0 (B): its service callback 0x"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.variant);
        const std::string module_path = broken_module(row.variant);
        const Outcome run = run_panelhost({"run", module_path, scenario});
        EXPECT_EQ(run.code, 2) << run.out << run.err;
        EXPECT_NE(run.err.find(module_path + " is not a usable gauge module:\n  " + row.says), std::string::npos)
            << run.err;
        const Outcome inspect = run_panelhost({"inspect", module_path});
        EXPECT_EQ(inspect.code, 1) << inspect.out << inspect.err;
        EXPECT_NE(inspect.out.find("faults\n  " + row.says), std::string::npos) << inspect.out;
        // The reason on stderr too, one line, for a script that reads no view.
        const std::string reason = "panelhost inspect: " + module_path + " is not a usable gauge module: " + row.says;
        EXPECT_EQ(inspect.err.rfind(reason, 0), 0u) << inspect.err;
        EXPECT_EQ(std::count(inspect.err.begin(), inspect.err.end(), '\n'), 1) << inspect.err;
    }
}

}  // namespace
}  // namespace panelhost::testing
