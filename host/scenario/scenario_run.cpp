// Running steps on a panel: the order of a run, its bounds, the key events
// pending and the faults, around each verb's runner (verbs.cpp).
#include <algorithm>
#include <iterator>
#include <utility>

#include "host/scenario/messages.h"
#include "host/scenario/scenario.h"
#include "host/scenario/step_run.h"
#include "host/services/names.h"

namespace panelhost {

StepRun::StepRun(std::string file, Panel& panel, HostServices& host, Trace* trace, UpdateObserver after_update)
    : file_(std::move(file)),
      panel_(panel),
      host_(host),
      trace_(trace),
      after_update_(std::move(after_update)),
      events_seen_(host.key_events().size()) {}

void StepRun::run(const ScenarioStep& step) {
    close_frames();
    if (stopped_) return;
    step_ = &step;
    run_verb(*this, step.step);
    collect(step.line);
    trace_within_bound();
    step_ = nullptr;
}

void StepRun::frame(int line) {
    if (stopped_) return;
    if (frames_ == 0) {
        frames_flown_ = flight_.has_value();
        frames_trace_at_ = trace_ != nullptr ? trace_->end() : 0;
    }
    const ScenarioStep step{line, frames_flown_ ? Step{steps::Fly::of_updates(1)} : Step{steps::Update{}}};
    step_ = &step;
    // A frame the run refused at its bound of updates is no frame of the step.
    const int64_t before = updates_run_;
    update(0, 1, frames_flown_);
    if (updates_run_ > before) ++frames_;
    collect(line);
    step_ = nullptr;
}

std::optional<Step> StepRun::close_frames() {
    if (frames_ == 0) return std::nullopt;
    const Step step = frames_flown_ ? Step{steps::Fly::of_updates(frames_)} : Step{steps::Update{frames_}};
    frames_ = 0;
    // A fly writes its line before its updates; these ran before their number was known.
    if (frames_flown_ && trace_ != nullptr) trace_->insert_line(frames_trace_at_, 0, format_step(step));
    return step;
}

RunOutcome StepRun::finish() {
    close_frames();
    for (const std::string& name : panel_.installed_names()) panel_.kill(name);
    collect(0);
    return {std::move(failures_), stopped_};
}

void StepRun::fail(const std::string& message) {
    failures_.push_back(scenario_message(Severity::problem, file_, step_->line, message));
}

void StepRun::collect(int line) {
    const auto& events = host_.key_events();
    for (; events_seen_ < events.size(); ++events_seen_) pending_.push_back({events[events_seen_].id, line});
    for (const std::string& fault : panel_.take_faults()) {
        failures_.push_back(scenario_message(Severity::fault, file_, line, fault));
    }
}

// Every update cycle of a run is made here, and charged here against the
// file's bounds.
bool StepRun::update(int64_t index, int64_t count, bool fly) {
    if (stopped_) return false;
    if (updates_run_ == max_updates_per_file) {
        stop("the file runs more than " + std::to_string(max_updates_per_file) + " update cycles (at most " +
             std::to_string(max_updates_per_file) + " a file)");
        return false;
    }
    ++updates_run_;
    if (fly) {
        fly_frame(*flight_, host_, panel_, trace_);
    } else {
        panel_.update();
    }
    if (after_update_) after_update_(UpdateCycle{*step_, index, count, fly});
    return trace_within_bound();
}

bool StepRun::updates(int64_t count, bool fly) {
    for (int64_t i = 0; i < count; ++i) {
        if (!update(i, count, fly)) return false;
    }
    return true;
}

bool StepRun::press(int64_t presses) {
    if (presses_run_ + presses > max_presses_per_file) {
        stop("the file makes more than " + std::to_string(max_presses_per_file) + " clicks and repeats (at most " +
             std::to_string(max_presses_per_file) + " a file)");
        return false;
    }
    presses_run_ += presses;
    return true;
}

bool StepRun::edit() {
    if (edits_run_ == max_edits_per_file) {
        stop("the file makes more than " + std::to_string(max_edits_per_file) + " edits of the panel.cfg (at most " +
             std::to_string(max_edits_per_file) + " a file)");
        return false;
    }
    ++edits_run_;
    return true;
}

bool StepRun::trace_within_bound() {
    if (trace_ == nullptr || trace_->text().size() <= max_trace_bytes) return true;
    stop("the trace passes " + std::to_string(max_trace_bytes) + " bytes here (at most " +
         std::to_string(max_trace_bytes) + " a file)");
    return false;
}

void StepRun::stop(const std::string& message) {
    if (!stopped_) stopped_ = scenario_message(Severity::unusable, file_, step_->line, message);
}

Flight& StepRun::place(const flight::Placement& placement) {
    if (flight_) {
        flight_->place(placement);
    } else {
        flight_.emplace(placement);
    }
    return *flight_;
}

std::string StepRun::pending_text() const {
    if (pending_.empty()) return "none";
    std::string text;
    for (const PendingEvent& event : pending_) {
        if (!text.empty()) text += ", ";
        const std::string name = key_event_label(event.id);
        text += (name.empty() ? std::to_string(event.id) : name) + " (line " + std::to_string(event.line) + ")";
    }
    return text;
}

int64_t StepRun::take_events(uint32_t id) {
    const auto rest = std::remove_if(pending_.begin(), pending_.end(), [&](const PendingEvent& e) { return e.id == id; });
    const auto taken = std::distance(rest, pending_.end());
    pending_.erase(rest, pending_.end());
    return taken;
}

// ---- the run as others see it ----

ScenarioRun::ScenarioRun(std::string file, Panel& panel, HostServices& host, Trace* trace, UpdateObserver after_update)
    : runner_(std::make_unique<StepRun>(std::move(file), panel, host, trace, std::move(after_update))) {}

ScenarioRun::~ScenarioRun() = default;

void ScenarioRun::execute(const ScenarioStep& step) { runner_->run(step); }

void ScenarioRun::frame(int line) { runner_->frame(line); }

int64_t ScenarioRun::open_frames() const { return runner_->open_frames(); }

std::optional<Step> ScenarioRun::close_frames() { return runner_->close_frames(); }

void ScenarioRun::edit_layout(const LayoutEditing& layout) { runner_->layout() = layout; }

const Flight* ScenarioRun::flight() const { return runner_->flight(); }

std::vector<Diagnostic> ScenarioRun::take_failures() { return runner_->take_failures(); }

const std::optional<Diagnostic>& ScenarioRun::stopped() const { return runner_->stopped(); }

RunOutcome ScenarioRun::finish() { return runner_->finish(); }

RunOutcome run_scenario(const Scenario& scenario, Panel& panel, HostServices& host, Trace* trace,
                        const UpdateObserver& after_update, const LayoutEditing& layout) {
    ScenarioRun run(scenario.file, panel, host, trace, after_update);
    run.edit_layout(layout);
    for (const ScenarioStep& step : scenario.steps) {
        run.execute(step);
        if (run.stopped()) break;
    }
    return run.finish();
}

}  // namespace panelhost
