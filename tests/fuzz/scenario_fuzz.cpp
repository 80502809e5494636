// Fuzz target: the input is a scenario file. The reader takes any bytes and
// says what is wrong with them; a scenario it accepts runs on the module
// linked in, through the panel host, with a trace, and the host's view, the
// cockpit state and the sound path are checked at the end.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "host/layout/panel_edit.h"
#include "host/panel/trace.h"
#include "host/scenario/scenario.h"
#include "tests/fuzz/linked_panel.h"

namespace {

// A scenario asking for more is read but not run, so that one execution
// stays short; the reader's own bounds are the unit tests'.
constexpr int64_t max_updates_run = 64;
constexpr int64_t max_presses_run = 256;

// The panel.cfg a scenario's edit steps work on, in a dry run: nothing is
// written, whatever the steps say.
constexpr std::string_view edited_panel =
    "// edited by the fuzzer\r\n"
    "[Window00]\r\n"
    "size_mm=540,300\r\n"
    "gauge00=Orvane!PFD, 40, 16, 284,,CP\r\n"
    "gauge01 = Orvane!DH , 366 , 72\r\n"
    "gauge03=Orvane!FD, 1, 2\r\n"
    "[VCockpit01]\r\n"
    "texture=$VC01\r\n"
    "gauge00=Orvane!AP, 0, 0";

[[noreturn]] void fault(const std::string& what) {
    std::fprintf(stderr, "%s\n", what.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static orvane::fuzzing::LinkedPanel linked;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    panelhost::Scenario scenario;
    scenario.file = "fuzz.scn";
    const std::vector<panelhost::Diagnostic> errors = panelhost::parse_scenario(text, scenario);
    for (const panelhost::Diagnostic& error : errors) {
        // Every message names the file and a line, whatever the bytes were.
        if (!error.text.starts_with("fuzz.scn:")) fault("a reading error without its file: " + error.text);
        if (error.text.find('\0') != std::string::npos) fault("a reading error holds a NUL byte");
    }
    if (!errors.empty() || scenario.updates > max_updates_run || scenario.presses > max_presses_run) return 0;

    linked.reset();
    if (!panelhost::check_gauge_names(scenario, *linked.panel).empty()) return 0;
    panelhost::Trace trace;
    panelhost::PanelDocument document{std::string(edited_panel), "fuzz.cfg"};
    const panelhost::RunOutcome run = panelhost::run_scenario(scenario, *linked.panel, *linked.host, &trace, {},
                                                              {.document = &document, .dry_run = true});
    if (run.stopped) fault("a run within every bound stopped: " + run.stopped->text);
    for (const panelhost::Diagnostic& failure : run.failures) {
        if (!failure.text.starts_with("fuzz.scn:")) fault("a failure without its file: " + failure.text);
    }
    // Every edit the steps made is undone back to the file's bytes.
    while (document.undo()) {
    }
    if (document.text() != edited_panel) fault("the edits undone are not the panel.cfg's bytes");
    linked.check("the scenario");
    linked.kill_all();
    linked.check("killing every gauge at the end", true);
    return 0;
}
