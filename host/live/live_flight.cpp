#include "host/live/live_flight.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

#include "host/flight/flight.h"
#include "host/services/mouse_table.h"
#include "module/host_var_list.h"

namespace panelhost {

using namespace orvane;

struct LiveFlight::Loaded {
    std::unique_ptr<RenderSetup> setup;
    std::unique_ptr<PanelRenderer> drawing;
    std::unique_ptr<ScenarioRun> run;
};

LiveFlight::LiveFlight(LiveStart start) : start_(std::move(start)) {}

// A flight left unfinished still ends as a run ends: every gauge killed
// before the module goes, so that what it holds (the callout's sound buffer)
// is given back.
LiveFlight::~LiveFlight() {
    if (loaded_ && !finished_) loaded_->run->finish();
}

std::unique_ptr<LiveFlight> LiveFlight::open(LiveStart start, Diagnostics& said) {
    std::unique_ptr<LiveFlight> flight(new LiveFlight(std::move(start)));
    LiveFlight& s = *flight;
    s.scenario_.file = s.start_.scenario_name;
    std::vector<Diagnostic> errors = parse_scenario(s.start_.scenario_text, s.scenario_);
    if (errors.empty()) s.cfg_ = parse_panel_cfg(s.start_.cfg_text, s.start_.cfg_name);
    if (!s.cfg_.unusable.empty()) errors.push_back(diagnostic_as_written(Severity::unusable, s.cfg_.unusable));
    if (!errors.empty() || !s.load(errors)) {
        said.report(errors);
        return nullptr;
    }
    said.report(s.cfg_.problems);
    PanelRenderer& drawing = *s.loaded_->drawing;
    const Panel& panel = s.loaded_->setup->panel();
    drawing.check(panel, said);
    drawing.notes(panel, said,
                  s.cfg_.windows.empty() ? "so fly shows the virtual-cockpit textures, V the next one"
                                         : "so fly shows every window, as if the pilot had opened each");
    if (!drawing.has_screen() && !s.cfg_.windows.empty()) {
        s.every_window_shown_ = true;
        drawing.show_every_window();
    }
    s.collect_views();
    return flight;
}

bool LiveFlight::load(std::vector<Diagnostic>& errors) {
    // The module that ran is ended as a run ends and unloaded first, so
    // that it starts afresh.
    if (loaded_) loaded_->run->finish();
    loaded_.reset();
    auto loaded = std::make_unique<Loaded>();
    loaded->setup = std::make_unique<RenderSetup>(start_.module_path);
    if (!loaded->setup->ok()) {
        // It names the module itself.
        errors.push_back(diagnostic_as_written(Severity::unusable, loaded->setup->error()));
        return false;
    }
    if (night_) loaded->setup->renderer().set_lighting(night_lighting(cfg_));
    Panel& panel = loaded->setup->panel();
    loaded->drawing =
        std::make_unique<PanelRenderer>(loaded->setup->renderer(), cfg_, start_.module_path, start_.files);
    loaded->drawing->set_placements(panel);
    if (errors = check_gauge_names(scenario_, panel); !errors.empty()) return false;
    if (every_window_shown_) loaded->drawing->show_every_window();
    loaded->run = std::make_unique<ScenarioRun>(scenario_.file, panel, loaded->setup->host(), &loaded->setup->trace());
    for (const ScenarioStep& step : scenario_.steps) loaded->run->execute(step);
    loaded_ = std::move(loaded);

    record_ = start_.scenario_text;
    if (!record_.empty() && record_.back() != '\n') record_ += '\n';
    record_lines_ = static_cast<int>(std::count(record_.begin(), record_.end(), '\n'));
    update_phase_ = 0.0;
    held_.reset();
    stop_told_ = false;
    return true;
}

uint64_t LiveFlight::update_count() const { return loaded_->setup->panel().update_count(); }

GaugeRenderer& LiveFlight::renderer() { return loaded_->setup->renderer(); }

const std::string& LiveFlight::trace() const {
    static const std::string none;
    return loaded_ ? loaded_->setup->trace().text() : none;
}

// ---- time ----

void LiveFlight::run_frame() {
    loaded_->run->frame(next_line());
    if (loaded_->run->open_frames() == most_updates_per_step) close_frames();
}

void LiveFlight::close_frames() {
    if (const std::optional<Step> step = loaded_->run->close_frames()) write_down(*step);
}

void LiveFlight::execute(const Step& step) {
    if (stopped()) return;
    close_frames();
    loaded_->run->execute({next_line(), step});
    write_down(step);
}

void LiveFlight::write_down(const Step& step) {
    record_ += format_step(step) + "\n";
    ++record_lines_;
}

void LiveFlight::advance(double now) {
    if (finished_ || !std::isfinite(now)) return;
    if (stopped()) {
        clock_ = now;
        return;
    }
    if (!clock_ || now <= *clock_) {
        if (!clock_) clock_ = now;
        return;
    }
    double t = std::max(*clock_, now - most_real_time_per_call_s);
    clock_ = now;
    if (paused_) return;
    const double updates_per_s = flight::steps_per_second * rate_;
    constexpr double never = std::numeric_limits<double>::infinity();
    // Updates and repeats in the order they fall due.
    for (;;) {
        const double to_update = (1.0 - update_phase_) / updates_per_s;
        const double to_repeat = held_ && held_->repeats ? std::max(0.0, held_->next_s - held_->held_s) : never;
        const double step = std::min(to_update, to_repeat);
        if (t + step > now) {
            update_phase_ += (now - t) * updates_per_s;
            if (held_) held_->held_s += now - t;
            return;
        }
        t += step;
        if (held_) held_->held_s += step;
        if (to_repeat <= to_update) {
            update_phase_ += step * updates_per_s;
            held_->next_s += repeat_interval_s;
            execute(steps::Repeat{});
        } else {
            update_phase_ = 0.0;
            run_frame();
        }
        if (stopped()) return;
    }
}

// ---- the mouse and the keys ----

std::optional<LivePointer> LiveFlight::pointer_at(int x, int y) {
    if (finished_) return std::nullopt;
    const Panel& panel = loaded_->setup->panel();
    PanelRenderer& drawing = *loaded_->drawing;
    const PanelWindow* texture = views_[view_];
    const auto at = texture != nullptr ? drawing.gauge_at(*texture, panel, x, y, start_.scale)
                                       : drawing.gauge_at(panel, x, y, start_.scale);
    if (!at || at->gauge == nullptr) return std::nullopt;
    return LivePointer{at->gauge->name, at->pixel, panel.probe(at->gauge->name, at->pixel)};
}

void LiveFlight::press(double now, int x, int y, Button button) {
    advance(now);
    held_.reset();
    const std::optional<LivePointer> p = pointer_at(x, y);
    if (!p) return;
    execute(steps::Click{.gauge = p->gauge, .point = p->pixel, .button = button});
    const GaugeHeader* g = loaded_->setup->panel().gauge(p->gauge);
    const uint32_t flags = (button == Button::left ? mouse_left : mouse_right) | mouse_repeat;
    const bool repeats = g != nullptr && hit_test(g->mouse_rect, p->pixel, flags).row != nullptr;
    held_ = Held{p->gauge, p->pixel, button, repeats, 0.0, repeat_delay_s};
}

void LiveFlight::release(double now) {
    advance(now);
    held_.reset();
}

void LiveFlight::toggle_pause(double now) {
    advance(now);
    paused_ = !paused_;
}

void LiveFlight::set_rate(double now, int rate) {
    if (std::find(std::begin(time_rates), std::end(time_rates), rate) == std::end(time_rates)) return;
    advance(now);
    rate_ = rate;
}

void LiveFlight::next_view() { view_ = (view_ + 1) % views_.size(); }

std::string LiveFlight::view_name() const {
    const PanelWindow* texture = views_[view_];
    if (texture == nullptr) return "screen";
    return texture->title + (texture->texture.empty() ? "" : " " + texture->texture);
}

void LiveFlight::toggle_night() {
    night_ = !night_;
    renderer().set_lighting(night_ ? night_lighting(cfg_) : Lighting{});
}

bool LiveFlight::restart(double now, std::vector<Diagnostic>& errors) {
    if (finished_) return false;
    paused_ = false;
    clock_ = now;
    if (load(errors)) return true;
    // Nothing is left to run: the flight is over, with nothing recorded.
    finished_ = true;
    record_.clear();
    return false;
}

// ---- the panel placed ----

void LiveFlight::set_panel(const PanelConfig& cfg) {
    // The renderer holds the config by reference: it reads the new one.
    const std::string name = cfg_.file;
    cfg_ = cfg;
    cfg_.file = name;
    // The views point into the config: found anew in the one now held.
    collect_views();
    // A gauge placed once more runs in its new place as in the others.
    Panel& gauges = panel();
    loaded_->drawing->set_placements(gauges);
    for (const std::string& name : loaded_->drawing->gauge_names(gauges)) {
        const std::optional<PlacementName> placement = placement_name(name);
        if (placement && gauges.installed(placement->gauge) && !gauges.installed(name)) gauges.install(name);
    }
}

void LiveFlight::collect_views() {
    views_.clear();
    if (loaded_->drawing->has_screen()) views_.push_back(nullptr);
    for (const PanelWindow& texture : cfg_.virtual_cockpits) views_.push_back(&texture);
    if (views_.empty()) views_.push_back(nullptr);
    if (view_ >= views_.size()) view_ = 0;
}

void LiveFlight::show_place(int window, int gauge, const LinePlace& place) {
    for (PanelWindow& w : cfg_.windows) {
        if (w.number != window) continue;
        for (PanelGauge& g : w.gauges) {
            if (g.number != gauge) continue;
            g.x = place.x;
            g.y = place.y;
            g.width = place.width;
            g.height = place.height;
        }
    }
}

Panel& LiveFlight::panel() { return loaded_->setup->panel(); }

PanelRenderer& LiveFlight::panel_renderer() { return *loaded_->drawing; }

// ---- what is shown ----

Surface LiveFlight::draw() {
    const Panel& panel = loaded_->setup->panel();
    const PanelWindow* texture = views_[view_];
    return texture != nullptr ? loaded_->drawing->render_window(*texture, panel, start_.scale)
                              : loaded_->drawing->render_screen(panel, start_.scale);
}

std::pair<int, int> LiveFlight::largest_view() {
    const Panel& panel = loaded_->setup->panel();
    PanelRenderer& drawing = *loaded_->drawing;
    int64_t width = 1, height = 1;
    for (const PanelWindow* texture : views_) {
        const PanelRenderer::Size size = texture != nullptr ? drawing.picture_size(*texture, panel)
                                                            : drawing.screen_size(panel);
        width = std::max(width, size.x * start_.scale);
        height = std::max(height, size.y * start_.scale);
    }
    return {static_cast<int>(width), static_cast<int>(height)};
}

std::string LiveFlight::status() const {
    const HostServices& host = loaded_->setup->host();
    const Flight* flight = loaded_->run->flight();
    char text[160];
    const double heading = std::fmod(std::round(host.var(HEADING)), 360.0);
    std::snprintf(text, sizeof text, "ALT %.0f ft   IAS %.0f kt   HDG %03.0f", host.var(BARO_ALTITUDE),
                  host.var(AIRSPEED), heading < 0 ? heading + 360 : heading);
    std::string line = text;
    if (flight != nullptr) {
        std::snprintf(text, sizeof text, "   V/S %+.0f ft/min", std::round(flight->vertical_speed_fpm() / 10) * 10);
        line += text;
    }
    // The modes engaged, as the FCU's switches and the captures leave them.
    static constexpr struct {
        HostVarId var;
        const char* label;
    } modes[] = {
        {AUTOPILOT_ENGAGED, "AP"}, {FLIGHT_DIRECTOR, "FD"}, {AUTOTHROTTLE_ARMED, "A/THR"},
        {YAW_DAMPER, "YD"},        {WING_LEVELER, "LVL"},   {HEADING_HOLD, "HDG"},
        {NAV1_HOLD, "NAV"},        {APPROACH_HOLD, "APPR"}, {ALTITUDE_HOLD, "ALT"},
        {AIRSPEED_HOLD, "SPD"},    {MACH_HOLD, "MACH"},
    };
    std::string engaged;
    auto add = [&](const char* label) { engaged += std::string(engaged.empty() ? "   " : " ") + label; };
    for (const auto& mode : modes) {
        if (host.var(mode.var) != 0.0) add(mode.label);
    }
    if (flight != nullptr) {
        const flight::Guidance& g = flight->guidance();
        if (g.lateral == flight::LateralLaw::localizer) add("LOC");
        if (g.vertical == flight::VerticalLaw::glideslope) add("G/S");
        if (g.vertical == flight::VerticalLaw::flare) add("FLARE");
        if (flight->aircraft().on_ground) add("ON GROUND");
    }
    line += engaged;
    if (stopped()) {
        line += "   STOPPED (a bound of the record)";
    } else {
        line += paused_ ? "   PAUSED" : "   x" + std::to_string(rate_);
    }
    if (night_) line += "   NIGHT";
    if (views_.size() > 1 || views_[view_] != nullptr) line += "   " + view_name();
    return line;
}

// ---- the end ----

std::vector<Diagnostic> LiveFlight::take_failures() {
    if (finished_) return {};
    std::vector<Diagnostic> messages = loaded_->run->take_failures();
    if (stopped() && !stop_told_) {
        stop_told_ = true;
        const Diagnostic& stop = *stopped();
        messages.push_back(diagnostic_at(Severity::problem, stop.file, stop.line,
                                         stop.message + "; the flight stands still here and the record ends with it"));
    }
    return messages;
}

const std::optional<Diagnostic>& LiveFlight::stopped() const {
    static const std::optional<Diagnostic> none;
    return loaded_ ? loaded_->run->stopped() : none;
}

std::vector<Diagnostic> LiveFlight::finish() {
    if (finished_) return {};
    close_frames();
    held_.reset();
    finished_ = true;
    RunOutcome outcome = loaded_->run->finish();
    if (outcome.stopped && !stop_told_) {
        stop_told_ = true;
        // The record made up to the stop is still written.
        outcome.stopped->severity = Severity::problem;
        outcome.failures.push_back(*outcome.stopped);
    }
    return outcome.failures;
}

}  // namespace panelhost
