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

#include "host/flight/aircraft.h"
#include "host/flight/flight.h"
#include "host/panel/panel.h"

namespace panelhost {

enum class StepKind {
    aircraft,
    place,
    fly,
    set,
    ramp,
    install,
    update,
    kill,
    service,
    click,
    repeat,
    fail,
    callback,
    expect_text,
    expect_visible,
    expect_flags,
    expect_event,
    expect_no_event,
    expect_sound,
    expect_cursor,
    expect_tooltip,
    expect_var,
    expect_slider,
    expect_moving,
    expect_sprite,
    expect_result,
};

// A value to compare with: NaN matches NaN, a 64-bit pattern matches bit for
// bit, a tolerance allows that much difference.
struct ExpectedValue {
    double value = 0.0;
    bool exact_bits = false;
    std::optional<double> tolerance;
    bool matches(double actual) const;
};

// One more variable that a ramp moves along with its first.
struct RampVar {
    int32_t var = 0;
    double from = 0.0;
    double to = 0.0;
};

struct Step {
    int line = 0;
    StepKind kind = StepKind::update;
    std::string gauge;  // a gauge name, or "all"
    std::string text;   // tooltip or expected text
    bool by_tooltip = false;
    bool on = false;  // aircraft, fail, expect visible
    int32_t var = 0;
    double value = 0.0;  // set; ramp from; fly seconds
    double to = 0.0;     // ramp to
    std::vector<RampVar> more_ramps;  // the other variables of the same ramp
    ExpectedValue expected;
    int64_t count = 1;  // update, ramp and fly cycles, click and held repeats, expected events or sounds
    size_t index = 0;   // element index
    int axis = 0;       // 0 x, 1 y, 2 rotation
    orvane::PixPoint point{};
    std::optional<orvane::PixPoint> at;
    Button button = Button::left;
    uint32_t event = 0;
    int32_t code = 0;  // service code, failure key, cursor code
    uint64_t extra = 0;
    uint32_t flags = 0;
    flight::Placement placement;
};

// A key moment, marked in a scenario by a comment "# moment: <caption>" on a
// line of its own: the panel as the last update before that line left it.
struct Moment {
    int line = 0;
    std::string caption;
};

struct Scenario {
    std::string file;  // as named in messages
    std::vector<Step> steps;
    std::vector<Moment> moments;
    int64_t updates = 0;  // the update cycles its steps ask for, together
    int64_t presses = 0;  // the clicks and repeats
};

// What one scenario file may ask for. The reader refuses a file beyond them
// before anything runs; the run charges every update and the trace it writes
// against the same bounds, and stops where one is spent.
inline constexpr size_t max_scenario_bytes = size_t{4} << 20;
inline constexpr int64_t max_updates_per_file = 100000;
inline constexpr int64_t max_presses_per_file = 1000000;
inline constexpr size_t max_trace_bytes = size_t{64} << 20;

// Parses a whole scenario. Every error is a "file:line: what is wrong (what
// is allowed)" line; a scenario with errors has no steps worth running.
std::vector<std::string> parse_scenario(std::string_view text, Scenario& scenario);

// Reads the file and parses it, the file named in messages as given; a file
// that cannot be read is one error.
std::vector<std::string> read_scenario(const std::string& path, Scenario& scenario);

// Errors for steps that name a gauge the module does not have.
std::vector<std::string> check_gauge_names(const Scenario& scenario, const Panel& panel);

// Called after every update cycle of a run, with the step that ran it and
// the cycle's number within the step, from 0 to step.count - 1.
using UpdateObserver = std::function<void(const Step& step, int64_t cycle)>;

// How a run ended.
struct RunOutcome {
    // One "file:line: ..." message per failed expectation or fault.
    std::vector<std::string> failures;
    // Why the run stopped short, "file:line: ...", when it reached a bound of
    // its file: the scenario is then no usable input.
    std::string stopped;
    bool held() const { return failures.empty() && stopped.empty(); }
};

// A run taken one step at a time, for a host that makes its steps as it goes
// (a live window): each step runs exactly as in a whole scenario's run, and
// is charged against the same bounds of a file.
class ScenarioRun {
public:
    // file names the scenario in messages.
    ScenarioRun(std::string file, Panel& panel, HostServices& host, Trace* trace, UpdateObserver after_update = {});
    ~ScenarioRun();
    ScenarioRun(const ScenarioRun&) = delete;
    ScenarioRun& operator=(const ScenarioRun&) = delete;

    // Runs the step; nothing once the run has stopped.
    void execute(const Step& step);
    // One update of simulated time, as fly (once placed) or update runs
    // it, without the step's own line; faults are told at this line.
    void frame(int line);
    // The aircraft from the first place on; null before.
    const Flight* flight() const;
    // One "file:line: ..." message per failed expectation or fault since
    // last asked.
    std::vector<std::string> take_failures();
    // Why the run stopped at a bound of its file; empty while it runs on.
    const std::string& stopped() const;
    // Kills every gauge still installed. The messages not yet taken, with
    // those of the kills, and why the run stopped short.
    RunOutcome finish();

private:
    class Runner;
    std::unique_ptr<Runner> runner_;
};

// Runs every step up to a bound of the file, then kills every gauge still
// installed.
RunOutcome run_scenario(const Scenario& scenario, Panel& panel, HostServices& host, Trace* trace,
                        const UpdateObserver& after_update = {});

}  // namespace panelhost
