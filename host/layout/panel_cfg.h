// The simulator's panel configuration, panel.cfg, read as aircraft write it:
// windows ([WindowNN]) with their titles ([Window Titles]), the textures of
// the virtual cockpit ([VCockpitNN]), the night colours ([Color]), and every
// other section kept as it was read. Keys and section names match without
// regard to case; `//` and `;` start a comment; keys this reader does not
// use are kept and ignored. Each line keeps its number, and a gauge line its
// text and the places of its fields, so that a line can be written back with
// only its numbers changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/base/diagnostics.h"

namespace panelhost {

// Where a field stands in its line: the bytes from `offset`, `length` long.
struct TextSpan {
    size_t offset = 0;
    size_t length = 0;
};

// A key=value line, kept as read.
struct PanelKey {
    int line = 0;
    std::string key;    // as written
    std::string value;  // as written, without blanks at either end
};

// gaugeNN=Module!Gauge, x, y[, w[, h[, parameter...]]]
struct PanelGauge {
    int line = 0;
    std::string text;              // the whole line as written, without its line end
    std::vector<TextSpan> fields;  // the value's comma fields in `text`, without blanks: name, x, y, w, h, ...
    std::string key;               // "gauge00", as written but in lower case
    int number = 0;                // the NN of the key
    std::string module;            // "Orvane", "Dir\Other", as written
    std::string gauge;             // "PFD"
    int x = 0;                     // may be negative: the window cuts what lies beyond its edges
    int y = 0;
    std::optional<int> width;   // scales the gauge; missing (or an empty field): the height's scale, else its own size
    std::optional<int> height;  // missing: the width's scale, keeping its aspect
    std::vector<std::string> parameters;  // anything after the height ("CP", "FO"), kept as written
    // The simulator stops reading a window's gauges at a gap in their
    // numbers: this one comes after such a gap and is not drawn.
    bool after_gap = false;
};

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
};

// A share of the screen, across and down.
struct ScreenFraction {
    double x = 0;
    std::optional<double> y;  // window_size with one value: the height keeps the window's aspect
};

// A [WindowNN], or a [VCockpitNN]: a texture the simulator paints on the
// 3D cockpit, with the same keys and gauge lines.
struct PanelWindow {
    int line = 0;    // of its section header
    int number = 0;  // NN of [WindowNN] or [VCockpitNN]
    bool virtual_cockpit = false;
    std::string title;  // from [Window Titles]; else "WindowNN" or "VCockpitNN"
    std::string file;             // the background bitmap, relative to the panel.cfg's folder; empty: none
    std::string file_1024;        // the one for screens 1024 wide and wider
    std::string file_night;       // the night bitmaps
    std::string file_1024_night;
    std::optional<int> size_width;   // size_mm: the window's units across...
    std::optional<int> size_height;  // ...and down; missing: from the bitmap or the gauges
    std::optional<int> pixel_width;  // pixel_size: a texture's pixels across...
    std::optional<int> pixel_height;  // ...and down (one value: a square)
    std::optional<ScreenFraction> window_pos;
    std::optional<ScreenFraction> window_size;
    std::optional<double> window_size_ratio;  // also spelt windowsize_ratio
    int position = -1;  // 0 to 8: top left, top centre, ... bottom right; -1 when not given
    bool visible = true;
    int zorder = 0;
    bool nomenu = false;
    bool child_3d = false;
    bool sizeable = false;
    std::string ident;  // a number or a symbol
    std::optional<Rgb> background_color;
    std::string texture;  // a virtual cockpit's texture name ("$VC01")
    std::vector<PanelGauge> gauges;  // in the order of their numbers
    std::vector<PanelKey> other_keys;

    // The bitmap drawn: file_1024 when given, else file (every screen now is
    // 1024 pixels wide or more).
    const std::string& bitmap() const { return file_1024.empty() ? file : file_1024; }
    const std::string& night_bitmap() const { return file_1024_night.empty() ? file_night : file_1024_night; }
};

// A section this reader does not use, and its keys.
struct PanelSection {
    int line = 0;
    std::string name;  // as written, without its brackets
    std::vector<PanelKey> keys;
};

struct PanelConfig {
    std::string file;  // as named in messages
    std::vector<PanelWindow> windows;          // in the order of their numbers
    std::vector<PanelWindow> virtual_cockpits;  // likewise
    std::optional<Rgb> day_color, night_color, luminous_color;  // [Color]
    // Every section but the windows and textures: [Window Titles], [Color],
    // [VIEWS], [Default View] and any other, as read.
    std::vector<PanelSection> other_sections;
    // At their lines: what is wrong (what is allowed); the rest of the file
    // is still read.
    std::vector<Diagnostic> problems;
    // What is no mistake but worth telling, at its line: gaps in a window's
    // gauge numbers.
    std::vector<Diagnostic> notes;
    // Why there is nothing to draw at all (a file that cannot be read, or no
    // window or texture in it); empty when the panel is usable.
    std::string unusable;
};

// What a panel.cfg may hold, checked as it is read: its size, every
// window's size_mm and pixel_size, every gauge's position and size within a
// window's bound.
inline constexpr size_t max_panel_cfg_bytes = size_t{1} << 20;
inline constexpr int max_window_side = 8192;

PanelConfig parse_panel_cfg(std::string_view text, const std::string& file);
// Reads the file and parses it, the file named in messages as given.
PanelConfig read_panel_cfg(const std::string& path);

// Whether a gauge line's module is the loaded module, named by its file
// without regard to case: "Orvane" and "Gauges\Orvane" name orvane.so and
// Orvane.gau alike.
bool names_module(std::string_view module, std::string_view module_path);

}  // namespace panelhost
