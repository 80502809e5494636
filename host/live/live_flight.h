// A panel flown live: the module's gauges on a panel.cfg's screen, the
// aircraft flying at 18 updates a second of simulated time, the mouse
// working the gauges as scenario clicks do, and the whole flight written
// down as a scenario that replays to the same trace. Nothing here knows of
// a window: the window hands it the real time, the pointer and the keys,
// and draws what it composes, so the same flight runs under tests.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/base/diagnostics.h"
#include "host/live/placing.h"
#include "host/panel/panel.h"
#include "host/layout/panel_cfg.h"
#include "host/render/panel_renderer.h"
#include "host/render/render_setup.h"
#include "host/scenario/scenario.h"

namespace panelhost {

// A held button repeats as a keyboard does: the first repeat half a second
// after the press, then ten a second while it stays down, in real time, so
// that a knob turns as fast whatever the time rate. Paused, it waits.
inline constexpr double repeat_delay_s = 0.5;
inline constexpr double repeat_interval_s = 0.1;
// The time rates the keys 1, 2 and 4 choose.
inline constexpr int time_rates[] = {1, 2, 4};
// Real time beyond this between two calls (the window held still by the
// desktop, a machine too slow) is not made up: simulated time falls behind.
inline constexpr double most_real_time_per_call_s = 0.25;
// The most updates one recorded fly or update step holds: an hour of flight.
inline constexpr int64_t most_updates_per_step = 3600 * 18;

// What a flight starts from.
struct LiveStart {
    std::string module_path;
    std::string cfg_name;  // as named in messages
    std::string cfg_text;
    PanelFiles files;           // the files the panel names
    std::string scenario_name;  // the start scenario as named in messages
    std::string scenario_text;  // the start scenario; empty: none
    int scale = 1;
};

// What the pointer is over.
struct LivePointer {
    std::string gauge;
    orvane::PixPoint pixel{};  // gauge pixels
    MouseHit hit;              // cursor and tooltip there
};

class LiveFlight {
public:
    // Loads the module, reads the panel and the start scenario and runs it.
    // Null when one of them cannot be used, why reported as unusable; else
    // what the panel has that it can still be drawn with is reported as
    // problems, and what render would note about it as notes. A panel whose
    // windows all start hidden is flown with every window on the screen, as
    // if the pilot had opened each; one of textures alone shows its first.
    static std::unique_ptr<LiveFlight> open(LiveStart start, Diagnostics& said);
    ~LiveFlight();
    LiveFlight(const LiveFlight&) = delete;
    LiveFlight& operator=(const LiveFlight&) = delete;

    // Brings simulated time and a held button's repeats up to now, seconds
    // of real time on any clock that does not go back.
    void advance(double now);
    // A press at a window pixel; on no gauge it does nothing. The button
    // stays held until release, repeating where its row takes repeats.
    void press(double now, int x, int y, Button button);
    void release(double now);
    void toggle_pause(double now);
    void set_rate(double now, int rate);
    // Night with the panel lights on, in the colours of the panel's [Color]
    // section, or day again; it holds across a restart.
    void toggle_night();
    // The next of the views: the screen, then each virtual-cockpit texture
    // in turn, then the screen again.
    void next_view();
    // "screen", or the texture's section and name ("VCockpit01 $VC01").
    std::string view_name() const;
    // The start scenario again on a module loaded anew; the record and the
    // trace start again with it. False, with errors, when it cannot be
    // done: the flight is then over, with nothing to write.
    bool restart(double now, std::vector<Diagnostic>& errors);

    bool paused() const { return paused_; }
    int rate() const { return rate_; }
    bool night() const { return night_; }
    int scale() const { return start_.scale; }
    uint64_t update_count() const;
    std::optional<LivePointer> pointer_at(int x, int y);

    // The panel as edited, drawn from the next frame on (and after a
    // restart); its lines numbered as it now stands.
    void set_panel(const PanelConfig& cfg);
    // A gauge line of a window drawn at other numbers until the panel is
    // set again: a drag on its way.
    void show_place(int window, int gauge, const LinePlace& place);
    const std::string& module_path() const { return start_.module_path; }
    Panel& panel();
    PanelRenderer& panel_renderer();

    // The view shown (the screen as render composes it, or a texture as
    // render draws vcockpitNN.png), at the flight's scale.
    Surface draw();
    // The largest of the views at the flight's scale, in pixels: what the
    // window must hold.
    std::pair<int, int> largest_view();
    // Altitude, speed, heading, vertical speed, the modes engaged, and the
    // time rate or the pause.
    std::string status() const;
    GaugeRenderer& renderer();

    // Messages of the run since last asked: failed expectations, faults,
    // and once why the run stopped at a bound of a scenario file (a
    // problem here, the flight standing still).
    std::vector<Diagnostic> take_failures();
    // Why the run stopped at a bound of a scenario file (its updates, clicks
    // or trace): simulated time then stands still and nothing more is
    // recorded, so that the record replays to the same stop. None while
    // the flight runs on.
    const std::optional<Diagnostic>& stopped() const;
    // Ends the flight as a run ends, every gauge killed; then the record
    // and the trace are whole. What failed since last asked.
    std::vector<Diagnostic> finish();
    // The flight as a scenario: the start scenario, then the steps made.
    const std::string& record() const { return record_; }
    const std::string& trace() const;

private:
    struct Loaded;
    explicit LiveFlight(LiveStart start);
    bool load(std::vector<Diagnostic>& errors);
    void run_frame();
    void close_frames();
    // Runs the step and writes it down, after the frames before it.
    void execute(const Step& step);
    void write_down(const Step& step);
    int next_line() const { return record_lines_ + 1; }

    LiveStart start_;
    Scenario scenario_;
    PanelConfig cfg_;
    std::unique_ptr<Loaded> loaded_;
    std::string record_;
    int record_lines_ = 0;
    bool paused_ = false;
    int rate_ = 1;
    bool night_ = false;
    bool every_window_shown_ = false;  // no window starts visible
    std::vector<const PanelWindow*> views_;  // null: the screen
    void collect_views();
    size_t view_ = 0;
    std::optional<double> clock_;  // the real time brought up to
    double update_phase_ = 0.0;    // of the next update, from 0 to 1
    struct Held {
        std::string gauge;
        orvane::PixPoint pixel;
        Button button;
        bool repeats;       // its row takes repeats
        double held_s;      // real time held, pauses not counted
        double next_s;      // when the next repeat is due
    };
    std::optional<Held> held_;
    bool finished_ = false;
    bool stop_told_ = false;
};

}  // namespace panelhost
