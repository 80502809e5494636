// Drawing a panel as panel.cfg lays it out: each window and each texture of
// the virtual cockpit with its background bitmap (or colour) and the gauges
// it places, at their positions and scales, cut at its edges; and the screen
// of the windows that start visible.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/base/diagnostics.h"
#include "host/render/area_map.h"
#include "host/layout/panel_cfg.h"
#include "host/render/render.h"

namespace panelhost {

// The bytes of a file a panel names (a background bitmap), or nothing and
// why not.
using PanelFiles = std::function<std::optional<std::vector<uint8_t>>(const std::string& name, std::string& error)>;

// Files beside the panel.cfg at this path, found as Windows finds them
// (host/base/files.h: find_windows_file).
PanelFiles files_beside(const std::string& cfg_path);

// What one render may take, checked before anything is drawn: every window
// and the screen together, at the chosen scale; every gauge as large as it
// is drawn into them, together; the backgrounds the windows name, together.
inline constexpr int64_t max_render_pixels = int64_t{64} << 20;
inline constexpr int64_t max_gauge_pixels = int64_t{256} << 20;
inline constexpr int64_t max_background_pixels = int64_t{16} << 20;

// The screen that window_pos and window_size are shares of.
struct ScreenSize {
    int64_t width = 1280, height = 1024;
};
inline constexpr int max_screen_side = 16384;
// "1280x1024": each side a whole number from 1 to max_screen_side.
std::optional<ScreenSize> parse_screen_size(std::string_view text);

using NamedPicture = std::pair<std::string, Surface>;  // the file name, the picture

class PanelRenderer {
public:
    PanelRenderer(GaugeRenderer& gauges, const PanelConfig& cfg, std::string module_path, PanelFiles files,
                  ScreenSize screen = {});

    const PanelConfig& config() const { return cfg_; }
    // Numbers each gauge's placements in drawing order (windows, then
    // textures), up to max_placements, and has the panel make them: its
    // second placement of the PFD is "PFD:2". Again whenever the panel.cfg
    // changes: numbers are kept by line.
    void set_placements(Panel& panel);
    // Every placement of the module's gauges, in the order placed.
    std::vector<std::string> gauge_names(const Panel& panel);
    // Reports, as problems at their panel.cfg lines, what the panel places
    // that cannot be drawn as it says: gauges the loaded module lacks (drawn
    // as a magenta outline with their name), gauges wholly outside their
    // windows (left out), backgrounds that cannot be read (left out). The
    // rest is still drawn.
    void check(const Panel& panel, Diagnostics& said);
    // Reports, as notes, what is no mistake but worth telling: the reader's
    // notes (gaps in gauge numbers), one line per other module whose gauges
    // are drawn as outlines, and that there is no screen when no window
    // starts visible ("no window starts visible, " + without_screen).
    void notes(const Panel& panel, Diagnostics& said, const std::string& without_screen = "so there is no screen.png");
    // Whether the panel can be drawn at this scale; what makes it too large
    // (windows, the screen or gauges beyond max_surface_side, or the render
    // beyond its pixel bounds) is reported as unusable, and nothing should
    // then be drawn.
    bool fits(const Panel& panel, int scale, Diagnostics& said);

    // A window's (or texture's) size in its own units (size_mm), in which
    // its gauges are placed.
    struct Size {
        int64_t x, y;
    };
    Size window_size(const PanelWindow& window, const Panel& panel);
    // The pixels of its picture at scale 1: a window's units, a texture's
    // pixel_size (its units when it gives none).
    Size picture_size(const PanelWindow& window, const Panel& panel);
    // A window or a texture as its own picture.
    Surface render_window(const PanelWindow& window, const Panel& panel, int scale);

    // Whether any window starts visible, and so there is a screen to show.
    bool has_screen() const;
    // From now on the screen shows every window, the hidden ones too, as if
    // the pilot had opened each: what a designer flying a panel of popups
    // wants to see.
    void show_every_window() { every_window_shown_ = true; }
    // The windows that start visible as the screen shows them, in zorder.
    // When one gives window_pos or window_size, the screen is ScreenSize
    // and each window stands where they say (shares of it), else where its
    // position puts it, at its own size. Otherwise the screen is as large
    // as the windows in rows by their positions: the top row (0 to 2) above
    // the middle (3 to 5, and windows with none) above the bottom (6 to 8),
    // left to right, each row centred.
    Surface render_screen(const Panel& panel, int scale);
    Size screen_size(const Panel& panel);

    // Where render_screen puts each visible window, in screen pixels at
    // scale 1, its units stretched to width x height.
    struct ScreenWindow {
        const PanelWindow* window;
        int64_t x, y, width, height;
    };
    std::vector<ScreenWindow> screen_layout(const Panel& panel);

    // The drawn gauges of a window whose unit (0, 0) is at x, y of a picture
    // and whose unit spans scale_x by scale_y of its pixels, for the map of
    // their mouse areas.
    std::vector<MappedGauge> mapped_gauges(const PanelWindow& window, const Panel& panel, double x, double y,
                                           double scale_x, double scale_y);

    // Every picture a render of the panel makes: windowNN.png for each
    // window, vcockpitNN.png for each texture, and screen.png when a window
    // starts visible; with `areas`, each with its gauges' mouse areas over it.
    std::vector<NamedPicture> render_pictures(const Panel& panel, int scale, bool areas);

    // The drawn gauge under a pixel of the screen as render_screen draws it
    // at this scale, and the gauge pixel under that pixel's centre; where
    // gauges overlap, the one drawn last. Nothing over the background, a
    // gauge not installed, or beyond its window's edge.
    struct GaugePoint {
        const InstalledGauge* gauge;
        orvane::PixPoint pixel;
    };
    std::optional<GaugePoint> gauge_at(const Panel& panel, int x, int y, int scale);
    // The same on a window's or texture's own picture as render_window draws
    // it (where --areas maps its gauges).
    std::optional<GaugePoint> gauge_at(const PanelWindow& window, const Panel& panel, int x, int y, int scale);

    // Where a gauge line puts its gauge, in window units.
    struct Placement {
        double x, y, width, height;
        const orvane::GaugeHeader* header;  // null: not the loaded module's, or the module lacks it
        const InstalledGauge* gauge;        // null: not installed, or no gauge of the module
        int number = 0;                     // the gauge's placement, from 1; 0 without a header
        std::string instance;               // its name on the panel: "PFD", "PFD:2"
    };
    Placement place(const PanelGauge& entry, const Panel& panel);

private:
    struct Row {
        std::vector<const PanelWindow*> windows;
        int64_t width = 0, height = 0;
    };
    std::vector<Row> screen_rows(const Panel& panel);
    bool placed_on_screen() const;
    bool shown(const PanelWindow& window) const { return window.visible || every_window_shown_; }
    // The last of the gauges under the centre of pixel x, y.
    static std::optional<GaugePoint> gauge_under(const std::vector<MappedGauge>& gauges, const Panel& panel, double px,
                                                 double py);
    std::vector<const PanelWindow*> all_windows() const;
    // The placement a line of the module's gauge makes, from 1, in drawing
    // order; 0 for any other line.
    int placement_number(const PanelGauge& entry, const Panel& panel);
    const Picture* background(const PanelWindow& window);
    const Picture* bitmap_file(const std::string& file, int line);
    bool reaches_in(const Placement& p, Size window) const;
    void draw_window(cairo_t* cr, const PanelWindow& window, const Panel& panel);

    GaugeRenderer& gauges_;
    const PanelConfig& cfg_;
    std::string module_path_;
    PanelFiles files_;
    ScreenSize screen_;
    std::map<std::string, std::unique_ptr<Picture>> backgrounds_;  // by file name; null: unreadable
    TintedPictures lit_backgrounds_;
    struct BackgroundProblem {
        int line;  // of its window
        std::string message;
    };
    std::vector<BackgroundProblem> background_problems_;
    int64_t background_pixels_ = 0;
    bool every_window_shown_ = false;
    // By gauge line; numbered once, from the module's gauge names alone.
    std::map<const PanelGauge*, int> placement_numbers_;
    bool numbered_ = false;
};

}  // namespace panelhost
