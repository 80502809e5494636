// The window a live flight is flown in (SDL2): the screen as render
// composes it at the flight's scale (or a virtual-cockpit texture), its
// top-left corner at the window's, the status strip below it, the cursor of
// the mouse-table row under the pointer, the tooltip beside a resting
// pointer, and the keys: P pauses, R restarts, N turns night (the panel
// lights on) and day, V shows the textures in turn, 1, 2 and 4 set the time
// rate, Escape or closing the window quits.
// With a panel to place (panel_editing.h), the same window places its
// gauges as it flies.
#pragma once

#include <cstdint>
#include <string>

#include "host/base/diagnostics.h"
#include "host/live/live_flight.h"

namespace panelhost {

class PanelEditing;

// After the pointer rests this long on an area with a tooltip, the tooltip
// shows beside it until the pointer moves.
inline constexpr double tooltip_delay_s = 0.5;

struct LiveWindowOptions {
    std::string title;
    // Frames at the display's rate; off, as many as the machine draws (to
    // count them).
    bool paced = true;
    // Quits by itself after this many seconds; 0: only when asked to.
    double quit_after_s = 0.0;
    // The panel's gauges placed as it flies: the palette below the strip,
    // the editing keys, and a quit that asks about unsaved changes.
    PanelEditing* editing = nullptr;
};

struct LiveWindowEnd {
    std::string error;     // the window could not be made, or a restart failed
    int64_t frames = 0;    // drawn
    double seconds = 0.0;  // the window was up
};

// Flies it in a window until the window is quit; then the flight is
// finished, its record and trace whole. What the run has to say as it goes
// (failed expectations, faults, a bound reached: problems) and whether the
// callout can be heard (notes) is reported to said.
LiveWindowEnd run_live_window(LiveFlight& live, const LiveWindowOptions& options, Diagnostics& said);

// The status strip's height at a scale, in window pixels: one line, two
// when placing (the flight's, then the placing's).
int status_strip_height(int scale, bool editing = false);

}  // namespace panelhost
