// Placing gauges in the live window: where each gauge line of the screen
// stands in window pixels, what the pointer is over (a gauge, a corner of
// it, a window to drop on), and what a gesture of the mouse makes of it: a
// click that works the gauge, a move, a resize, a gauge added from the
// palette. Nothing here knows of SDL or of the document: the window hands
// in the pointer and the time, and carries out what comes back.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "host/render/panel_renderer.h"

namespace panelhost {

// A press becomes a drag once the pointer has moved this far from it, in
// window pixels; a press held this long without moving as far works the
// gauge as a held button (a knob turning on).
inline constexpr double drag_threshold_px = 4.0;
inline constexpr double hold_before_working_s = 0.25;
// A corner grip: this many screen pixels (times the scale) inside each
// corner of a gauge's box.
inline constexpr double corner_grip = 5.0;
// The smallest side a resize leaves, in window units.
inline constexpr int smallest_gauge_side = 4;

struct PixelBox {
    double x = 0, y = 0, width = 0, height = 0;
    bool contains(double px, double py) const { return px >= x && py >= y && px < x + width && py < y + height; }
};

// The numbers of a gauge line: position, and width and height when it gives them.
struct LinePlace {
    int x = 0, y = 0;
    std::optional<int> width, height;
    bool operator==(const LinePlace&) const = default;
};

// A gauge line as the screen shows it.
struct PlacedGauge {
    int window = 0;    // the NN of [WindowNN]
    std::string key;   // "gauge01", lower case
    int number = 0;    // its NN
    std::string name;  // "Orvane!DH", as written
    LinePlace place;   // as the line gives it
    double width = 0, height = 0;  // as drawn, window units
    PixelBox box;                  // window pixels
    PixelBox window_box;           // its window on the screen, which clips it
    double unit_x = 1, unit_y = 1;  // window pixels per unit across and down

    // "Window00 gauge01 Orvane!DH"
    std::string label() const;
};

// A panel window on the screen, for drops from the palette.
struct PlacedWindow {
    int number = 0;
    PixelBox box;
    double unit_x = 1, unit_y = 1;
};

struct ScreenPlaces {
    std::vector<PlacedWindow> windows;  // as stacked, the topmost last
    std::vector<PlacedGauge> gauges;    // as drawn, the topmost last
};

// Every gauge line of the windows on the screen, those of other modules
// and those the module lacks too (drawn as outlines), at a scale.
ScreenPlaces screen_places(PanelRenderer& renderer, const Panel& panel, int scale);

enum class Grip { body, top_left, top_right, bottom_left, bottom_right };

struct GaugeHit {
    size_t index = 0;  // in ScreenPlaces::gauges
    Grip grip = Grip::body;
};
// The topmost gauge under a window pixel within its window's clip, and the
// corner grip there (grip_px inside each corner), if any.
std::optional<GaugeHit> gauge_hit(const ScreenPlaces& places, double x, double y, double grip_px);
// The topmost window under a window pixel.
const PlacedWindow* window_at(const ScreenPlaces& places, double x, double y);

// What a gesture does to a line, the pointer moved dx, dy window pixels.
LinePlace moved(const PlacedGauge& gauge, double dx, double dy);
// Its corner dragged: the opposite corner stays, and the line gives both
// sizes. With the aspect kept, the larger of the two changes decides.
LinePlace resized(const PlacedGauge& gauge, Grip grip, double dx, double dy, bool free_aspect);
LinePlace nudged(LinePlace place, int dx, int dy);
// Where a gauge of this size (window units) dropped with its centre at a
// window pixel stands in the window.
LinePlace dropped(const PlacedWindow& window, double x, double y, double width, double height);

// What a gesture asks the window to do.
struct GestureAction {
    enum class Kind {
        none,
        select,         // the gauge pressed on is the one selected
        work_press,     // the press goes to the gauge at the press point, held
        work_release,   // and is let go
        preview,        // the dragged gauge shown at `place` (not yet a change)
        place,          // the dragged gauge's line changed to `place`
        palette_ghost,  // the palette's gauge follows the pointer
        add,            // the palette's gauge added to `window` at `place`
        cancel,         // a drag ended where nothing changes: drawn as the line says
    };
    Kind kind = Kind::none;
    PlacedGauge gauge;   // select, preview, place: the gauge as pressed on
    double x = 0, y = 0;  // work_press: the press point; palette_ghost: the pointer
    LinePlace place;
    int window = 0;  // add
    size_t palette_item = 0;
};

// One press of the left button to its release. A press on a gauge selects
// it; moved beyond drag_threshold_px it drags (moves the gauge, or resizes
// it from a corner grip), else released it is a click that works the
// gauge, and held beyond hold_before_working_s it works it held. A press on
// a palette item drags a new gauge of it onto a window.
class PlacingGesture {
public:
    bool active() const { return state_ != State::idle; }
    bool dragging() const { return state_ == State::dragging || state_ == State::palette_drag; }
    std::vector<GestureAction> press_gauge(const PlacedGauge& gauge, Grip grip, double x, double y, double t);
    void press_palette(size_t item, double width, double height, double x, double y);
    std::vector<GestureAction> motion(double x, double y, bool free_aspect);
    // The time passing with the button down.
    std::vector<GestureAction> tick(double t);
    std::vector<GestureAction> release(const ScreenPlaces& places, double x, double y, bool free_aspect);
    // What the drag shows now, for the window to draw.
    std::optional<LinePlace> preview() const { return preview_; }

private:
    enum class State { idle, pressed, holding, dragging, palette_pressed, palette_drag };
    LinePlace dragged_to(double x, double y, bool free_aspect) const;
    bool beyond_threshold(double x, double y) const;

    State state_ = State::idle;
    PlacedGauge gauge_;
    Grip grip_ = Grip::body;
    double x0_ = 0, y0_ = 0, t0_ = 0;
    size_t item_ = 0;
    double item_width_ = 0, item_height_ = 0;
    std::optional<LinePlace> preview_;
};

}  // namespace panelhost
