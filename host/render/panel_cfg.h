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
    std::vector<std::string> problems;  // "file:line: message"; the rest of the file is still read
};

PanelConfig parse_panel_cfg(std::string_view text, const std::string& file);

// Whether a gauge line's module is the loaded module, named by its file:
// "Orvane" names orvane.so and Orvane.gau alike.
bool names_module(std::string_view module, std::string_view module_path);

}  // namespace panelhost
