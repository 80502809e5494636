// Drawing whole panel windows as panel.cfg lays them out: the window's
// background bitmap, then each gauge it places, at its position and scale.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/render/area_map.h"
#include "host/render/panel_cfg.h"
#include "host/render/render.h"

namespace panelhost {

// The bytes of a file a panel names (a background bitmap), or nothing and
// why not.
using PanelFiles = std::function<std::optional<std::vector<uint8_t>>(const std::string& name, std::string& error)>;

// Files beside the panel.cfg at this path.
PanelFiles files_beside(const std::string& cfg_path);

// What one render may take, checked before anything is drawn: every window
// and the screen together, at the chosen scale; every gauge as large as it
// is drawn into them, together; the backgrounds the windows name, together.
inline constexpr int64_t max_render_pixels = int64_t{64} << 20;
inline constexpr int64_t max_gauge_pixels = int64_t{256} << 20;
inline constexpr int64_t max_background_pixels = int64_t{16} << 20;

class PanelRenderer {
public:
    PanelRenderer(GaugeRenderer& gauges, const PanelConfig& cfg, std::string module_path, PanelFiles files);

    const PanelConfig& config() const { return cfg_; }
    // The module's gauges the panel places, each once, in the order placed.
    std::vector<std::string> gauge_names(const Panel& panel) const;
    // What the panel places that cannot be drawn, each "file:line: what is
    // wrong (what is allowed)": gauges the module lacks or of other modules
    // (drawn as a magenta outline), gauges outside their windows (left out),
    // backgrounds that cannot be read (left out). The rest is still drawn.
    std::vector<std::string> check(const Panel& panel);
    // What makes the panel too large to draw at this scale: windows, the
    // screen or gauges beyond max_surface_side, or the render beyond its
    // pixel bounds. Nothing should be drawn when there is any.
    std::vector<std::string> check_size(const Panel& panel, int scale);

    // A window's size in its own units (size_mm), one pixel each at scale 1.
    struct Size {
        int64_t x, y;
    };
    Size window_size(const PanelWindow& window, const Panel& panel);
    Surface render_window(const PanelWindow& window, const Panel& panel, int scale);
    // The visible windows as the screen shows them, by their positions: the
    // top row (0 to 2) above the middle (3 to 5, and windows with none)
    // above the bottom (6 to 8), left to right, each row centred.
    Surface render_screen(const Panel& panel, int scale);
    Size screen_size(const Panel& panel);

    // Where render_screen puts each visible window, in window units.
    struct ScreenWindow {
        const PanelWindow* window;
        int x, y;
    };
    std::vector<ScreenWindow> screen_layout(const Panel& panel);

    // The drawn gauges of a window whose pixel (0, 0) is at x, y of a picture
    // drawn at this scale, for the map of their mouse areas.
    std::vector<MappedGauge> mapped_gauges(const PanelWindow& window, const Panel& panel, double x, double y,
                                           int scale);

    // The drawn gauge under a pixel of the screen as render_screen draws it
    // at this scale, and the gauge pixel under that pixel's centre; where
    // gauges overlap, the one drawn last. Nothing over the background, a
    // gauge not installed, or beyond its window's edge.
    struct GaugePoint {
        const InstalledGauge* gauge;
        orvane::PixPoint pixel;
    };
    std::optional<GaugePoint> gauge_at(const Panel& panel, int x, int y, int scale);

    // Where a gauge line puts its gauge, in window units.
    struct Placement {
        double x, y, width, height;
        const orvane::GaugeHeader* header;  // null: the module lacks it
        const InstalledGauge* gauge;        // null: not installed, or the module lacks it
    };
    Placement place(const PanelGauge& entry, const Panel& panel);

private:
    struct Row {
        std::vector<const PanelWindow*> windows;
        int64_t width = 0, height = 0;
    };
    std::vector<Row> screen_rows(const Panel& panel);
    const Picture* background(const PanelWindow& window);
    bool inside(const PanelGauge& entry, Size window) const;
    void draw_window(cairo_t* cr, const PanelWindow& window, const Panel& panel);

    GaugeRenderer& gauges_;
    const PanelConfig& cfg_;
    std::string module_path_;
    PanelFiles files_;
    std::map<std::string, std::unique_ptr<Picture>> backgrounds_;  // by file name; null: unreadable
    std::vector<std::string> background_problems_;
    int64_t background_pixels_ = 0;
};

}  // namespace panelhost
