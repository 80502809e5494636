// Scenarios: plain-text files of steps that drive a module through the panel
// and check what it shows and sends. host/README.md describes the format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/base/diagnostics.h"
#include "host/flight/flight.h"
#include "host/panel/panel.h"
#include "host/scenario/steps.h"

namespace panelhost {

// A step at its line of a file (counted from 1).
struct ScenarioStep {
    int line = 0;
    Step step;
};

// What a step asks of a file's bounds.
struct StepCost {
    int64_t updates = 0;  // update cycles
    int64_t presses = 0;  // clicks and repeats
    int64_t edits = 0;    // of the panel.cfg, each reading it anew
};
StepCost step_cost(const Step& step);

// The step as a line of the language ("click AP 20 10 left"), without a line
// end: the one way anything writes a step. It reads back as the same step.
std::string format_step(const Step& step);

// Reads one line into a step. The error says what is wrong (what is
// allowed), without a file or line; a line without a step is an error too.
std::string parse_step(std::string_view line, Step& step);

// "fly", "expect text": the verbs, in the order of Step's records.
std::vector<std::string_view> verb_names();
std::string_view verb_name(const Step& step);

// A key moment, marked in a scenario by a comment "# moment: <caption>" on a
// line of its own: the panel as the last update before that line left it.
struct Moment {
    int line = 0;
    std::string caption;
};

struct Scenario {
    std::string file;  // as named in messages
    std::vector<ScenarioStep> steps;
    std::vector<Moment> moments;
    int64_t updates = 0;  // the update cycles its steps ask for, together
    int64_t presses = 0;  // the clicks and repeats
    int64_t edits = 0;    // the edits of the panel.cfg
};

// What one scenario file may ask for. The reader refuses a file beyond them
// before anything runs; the run charges every update and the trace it writes
// against the same bounds, and stops where one is spent.
inline constexpr size_t max_scenario_bytes = size_t{4} << 20;
inline constexpr int64_t max_updates_per_file = 100000;
inline constexpr int64_t max_presses_per_file = 1000000;
inline constexpr int64_t max_edits_per_file = 1000;
inline constexpr size_t max_trace_bytes = size_t{64} << 20;

// Parses a whole scenario. Every error is unusable, at its file and line:
// "file:line: what is wrong (what is allowed)"; a scenario with errors has no
// steps worth running.
std::vector<Diagnostic> parse_scenario(std::string_view text, Scenario& scenario);

// Reads the file and parses it, the file named in messages as given; a file
// that cannot be read is one error.
std::vector<Diagnostic> read_scenario(const std::string& path, Scenario& scenario);

// Errors for steps that name a gauge the module does not have.
std::vector<Diagnostic> check_gauge_names(const Scenario& scenario, const Panel& panel);

// One update cycle of a run, as an observer sees it.
struct UpdateCycle {
    const ScenarioStep& step;  // the step that ran it
    int64_t index = 0;         // within the step, from 0
    int64_t count = 1;         // the step's cycles
    bool flown = false;        // the flight model moved the aircraft before it
    bool last() const { return index + 1 == count; }
};

// Called after every update cycle of a run.
using UpdateObserver = std::function<void(const UpdateCycle& cycle)>;

// How a run ended.
struct RunOutcome {
    // One message per failed expectation (a problem) or fault of the module
    // (a fault), at its file and line.
    std::vector<Diagnostic> failures;
    // Why the run stopped short, when it reached a bound of its file: the
    // scenario is then no usable input.
    std::optional<Diagnostic> stopped;
    bool held() const { return failures.empty() && !stopped; }
};

// The panel.cfg a run's edit steps (move, resize, remove, add, save) work
// on: without one they fail.
struct LayoutEditing {
    PanelDocument* document = nullptr;
    bool dry_run = false;  // save writes nothing
};

class StepRun;

// A run taken one step at a time, for a host that makes its steps as it goes
// (a live window): each step runs exactly as in a whole scenario's run, and
// is charged against the same bounds of a file. Its updates may also come one
// frame at a time, gathered into the step they make together.
class ScenarioRun {
public:
    // file names the scenario in messages.
    ScenarioRun(std::string file, Panel& panel, HostServices& host, Trace* trace, UpdateObserver after_update = {});
    ~ScenarioRun();
    ScenarioRun(const ScenarioRun&) = delete;
    ScenarioRun& operator=(const ScenarioRun&) = delete;

    // Runs the step, after closing the frames run before it; nothing once
    // the run has stopped.
    void execute(const ScenarioStep& step);
    // One update of simulated time, as fly (once placed) or update runs it,
    // a frame of the step the frames since the last step make together;
    // faults are told at this line, the line that step will have.
    void frame(int line);
    // The frames run since the last step.
    int64_t open_frames() const;
    // Closes the frames into the step they make: `fly <seconds>` once
    // placed, its line in the trace in front of their updates where a
    // replayed fly writes it, else `update <n>`. Nothing when there are none.
    std::optional<Step> close_frames();
    // The panel.cfg the edit steps from here on work on.
    void edit_layout(const LayoutEditing& layout);
    // The aircraft from the first place on; null before.
    const Flight* flight() const;
    // One message per failed expectation or fault since last asked.
    std::vector<Diagnostic> take_failures();
    // Why the run stopped at a bound of its file; none while it runs on.
    const std::optional<Diagnostic>& stopped() const;
    // Closes the frames and kills every gauge still installed. The messages
    // not yet taken, with those of the kills, and why the run stopped short.
    RunOutcome finish();

private:
    std::unique_ptr<StepRun> runner_;
};

// Runs every step up to a bound of the file, then kills every gauge still
// installed.
RunOutcome run_scenario(const Scenario& scenario, Panel& panel, HostServices& host, Trace* trace,
                        const UpdateObserver& after_update = {}, const LayoutEditing& layout = {});

}  // namespace panelhost
