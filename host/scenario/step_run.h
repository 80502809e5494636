// A run of steps on a panel, as the verbs' runners see it: the panel, the
// host and the trace, the file's bounds charged, the key events pending, the
// button held down and the aircraft. Inside the scenario room only.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/flight/flight.h"
#include "host/panel/panel.h"
#include "host/panel/trace.h"
#include "host/scenario/scenario.h"

namespace panelhost {

// Where the last click pressed its button, which stays down for repeats.
struct HeldButton {
    std::string gauge;
    orvane::PixPoint point;
    Button button;
};

class StepRun {
public:
    StepRun(std::string file, Panel& panel, HostServices& host, Trace* trace, UpdateObserver after_update);

    // ScenarioRun's, which says what they do.
    void run(const ScenarioStep& step);
    void frame(int line);
    int64_t open_frames() const { return frames_; }
    std::optional<Step> close_frames();
    const Flight* flight() const { return flight_ ? &*flight_ : nullptr; }
    std::vector<Diagnostic> take_failures() { return std::exchange(failures_, {}); }
    const std::optional<Diagnostic>& stopped() const { return stopped_; }
    RunOutcome finish();

    // What the step being run works with.
    Panel& panel() { return panel_; }
    HostServices& host() { return host_; }
    void trace(std::string_view line, int level = 0) {
        if (trace_ != nullptr) trace_->line(level, line);
    }
    // A failed expectation or a fault, at the step's line.
    void fail(const std::string& message);
    void check(const Status& status) {
        if (!status.ok()) fail(status.error);
    }
    // Cycle `index` of the step's `count` update cycles, after a step of the
    // flight model when it flies. False when the run must stop.
    bool update(int64_t index, int64_t count, bool fly);
    bool updates(int64_t count, bool fly);
    // Charges clicks and repeats against the file's bound. False when the
    // run must stop.
    bool press(int64_t presses);
    // Charges an edit of the panel.cfg against the file's bound. False when
    // the run must stop.
    bool edit();
    // The panel.cfg the edit steps work on.
    LayoutEditing& layout() { return layout_; }
    // The aircraft put there, flying from the first place on.
    Flight& place(const flight::Placement& placement);
    std::optional<HeldButton>& held() { return held_; }
    // The key events pending, "none" when there are none.
    std::string pending_text() const;
    bool events_pending() const { return !pending_.empty(); }
    // Takes the pending events of this id; how many there were.
    int64_t take_events(uint32_t id);
    void take_all_events() { pending_.clear(); }

private:
    struct PendingEvent {
        uint32_t id;
        int line;
    };

    // Takes the key events and faults of the step at this line (0: the end of the run).
    void collect(int line);
    bool trace_within_bound();
    void stop(const std::string& message);

    std::string file_;
    Panel& panel_;
    HostServices& host_;
    Trace* trace_;
    UpdateObserver after_update_;
    const ScenarioStep* step_ = nullptr;  // the step being run
    size_t events_seen_;
    std::vector<PendingEvent> pending_;
    std::vector<Diagnostic> failures_;
    std::optional<Flight> flight_;
    std::optional<HeldButton> held_;
    std::optional<Diagnostic> stopped_;
    LayoutEditing layout_;
    int64_t updates_run_ = 0;
    int64_t presses_run_ = 0;
    int64_t edits_run_ = 0;
    // The frames run since the last step: how many, whether they flew, and
    // where the trace stood before the first.
    int64_t frames_ = 0;
    bool frames_flown_ = false;
    size_t frames_trace_at_ = 0;
};

// The verb's runner of the step (verbs.cpp).
void run_verb(StepRun& run, const Step& step);

}  // namespace panelhost
