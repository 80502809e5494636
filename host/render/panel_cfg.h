// The simulator's panel configuration, panel.cfg: windows ([WindowNN]), their
// titles ([Window Titles]), size, screen position, background bitmap and the
// gauges they place. Keys and section names match without regard to case;
// `//` and `;` start a comment; keys this reader does not use are ignored.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace panelhost {

// gaugeNN=Module!Gauge, x, y[, w[, h]][, parameters...]
struct PanelGauge {
    int line = 0;
    std::string key;     // "gauge00", as written
    std::string module;  // "Orvane"
    std::string gauge;   // "PFD"
    int x = 0;
    int y = 0;
    std::optional<int> width;   // scales the gauge; missing: its own size
    std::optional<int> height;  // missing: the width's scale, keeping its aspect
    std::vector<std::string> parameters;  // anything after the height, kept as written
};

struct PanelWindow {
    int line = 0;    // of its section header
    int number = 0;  // NN of [WindowNN]
    std::string title;  // from [Window Titles]; "WindowNN" when it has none
    std::string file;   // the background bitmap, relative to the panel.cfg's folder; empty: none
    std::optional<int> size_width;   // size_mm: the window's units across...
    std::optional<int> size_height;  // ...and down; missing: from the bitmap or the gauges
    int position = -1;  // 0 to 8: top left, top centre, ... bottom right; -1 when not given
    bool visible = true;
    std::vector<PanelGauge> gauges;
};

struct PanelConfig {
    std::string file;  // as named in messages
    std::vector<PanelWindow> windows;  // in the order of their numbers
    // "file:line: what is wrong (what is allowed)"; the rest of the file is still read.
    std::vector<std::string> problems;
    // Why there is nothing to draw at all (a file that cannot be read, or no
    // window in it); empty when the panel is usable.
    std::string unusable;
};

// What a panel.cfg may hold, checked as it is read: its size, and every
// window's size_mm, every gauge's position and size within a window's bound.
inline constexpr size_t max_panel_cfg_bytes = size_t{1} << 20;
inline constexpr int max_window_side = 8192;

PanelConfig parse_panel_cfg(std::string_view text, const std::string& file);
// Reads the file and parses it, the file named in messages as given.
PanelConfig read_panel_cfg(const std::string& path);

// Whether a gauge line's module is the loaded module, named by its file:
// "Orvane" names orvane.so and Orvane.gau alike.
bool names_module(std::string_view module, std::string_view module_path);

}  // namespace panelhost
