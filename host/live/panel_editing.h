// The panel placed while it flies: a document over the panel.cfg and the
// live flight drawing it, joined by the gestures of placing.h. The live
// window hands it the left button, the pointer and the editing keys while
// placing, and draws what it shows: the outlines over the screen, the
// palette of the module's gauges below the status strip, and its line of
// the strip. Every change goes to the document, which the flight then
// draws; a drag is shown as it goes without being one.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/layout/panel_edit.h"
#include "host/live/live_flight.h"
#include "host/live/placing.h"

namespace panelhost {

// The cursors placing shows beside the mouse table's: over a gauge's body,
// its corners (top-left and bottom-right, the other two), the palette.
inline constexpr int32_t cursor_move = 1001;
inline constexpr int32_t cursor_resize_down = 1002;
inline constexpr int32_t cursor_resize_up = 1003;
inline constexpr int32_t cursor_palette = 1004;

// The palette: a cell a side for each gauge of the module, with its name below.
inline constexpr int palette_cell = 48;
inline constexpr int palette_label = 14;
inline constexpr int palette_gap = 8;
// How often the palette's gauges are drawn anew, in seconds.
inline constexpr double palette_redraw_s = 0.25;

// What quitting or saving waits on, asked in the window.
enum class Question { none, unsaved_on_quit, changed_on_disk };

class PanelEditing {
public:
    PanelEditing(PanelDocument& document, LiveFlight& live);

    // Placing (the default) or flying: while flying the mouse works the
    // gauges as in fly, and nothing is outlined.
    bool placing() const { return placing_; }
    void toggle_placing();

    // The left button and the pointer, in window pixels; t in seconds.
    void press(double x, double y, double t);
    void motion(double x, double y, bool free_aspect);
    void release(double x, double y, bool free_aspect, double t);
    void tick(double t);
    void leave();
    bool pressed() const { return gesture_.active(); }
    bool dragging() const { return gesture_.dragging(); }

    // The keys, on the selected gauge.
    void nudge(int dx, int dy);
    void remove_selected();
    // Each gesture is one step, though it may make two changes (a corner
    // dragged moves and resizes).
    void undo();
    void redo();
    // Saves; a file changed on disk since it was read asks first. With
    // quit_after, the window may close once saved.
    void save(bool quit_after);
    // Quitting: true when the window may close now, else the question is up.
    bool may_quit();
    Question question() const { return question_; }
    // The answers: s saves, d discards, o overwrites, Escape goes back.
    void answer_save();
    void answer_discard();
    void answer_overwrite();
    void answer_cancel();
    // Once an answer lets the window close.
    bool quitting() const { return quitting_; }

    // The cursor the pointer shows while placing, CURSOR_NONE for the
    // mouse table's own.
    int32_t cursor() const;
    // The palette's height in window pixels at the flight's scale, for a window as wide.
    int palette_height(int width) const;
    // Over the screen: outlines, the dragged gauge's box, the gauge carried
    // from the palette. Then the palette at its top.
    void draw_over_screen(cairo_t* cr);
    void draw_palette(cairo_t* cr, double top, int width);
    // The strip's line: the question, what was just done, else the
    // selected line as it will be written.
    std::string status(double now) const;

private:
    struct PaletteItem {
        std::string gauge;  // as the module names it
        double width = 0, height = 0;  // its own size, in units
    };
    struct Notice {
        std::string text;
        double at = 0;
    };
    void act(const std::vector<GestureAction>& actions, double t);
    // After every change to the document: the flight draws it, the places
    // are found anew.
    void changed();
    void refresh_places();
    std::optional<GaugeRef> ref_of(const PlacedGauge& g) const;
    const PlacedGauge* placed(const GaugeRef& ref) const;
    std::optional<size_t> palette_item_at(double x, double y) const;
    PixelBox palette_box(size_t item) const;
    void draw_palette_items(cairo_t* cr, double top, int width, int height);
    void notice(std::string text) { notice_ = Notice{std::move(text), last_t_}; }

    PanelDocument& document_;
    LiveFlight& live_;
    std::string module_;  // the module as the panel's lines name it
    std::vector<PaletteItem> palette_;
    ScreenPlaces places_;
    PlacingGesture gesture_;
    bool placing_ = true;
    std::optional<GaugeRef> selected_;
    std::optional<GaugeHit> hover_;
    double pointer_x_ = -1, pointer_y_ = -1;
    bool pointer_in_ = false;
    std::optional<size_t> ghost_;  // a palette item carried
    Notice notice_;
    double last_t_ = 0;
    Question question_ = Question::none;
    bool quit_after_save_ = false;
    bool quitting_ = false;
    double palette_top_ = 0;
    int palette_width_ = 0;
    Surface palette_picture_;
    double palette_drawn_at_ = 0;
};

}  // namespace panelhost
