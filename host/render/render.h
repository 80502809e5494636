// Drawing gauges as the simulator draws them: each installed gauge's element
// chain in order, from the module's own bitmaps and the texts, offsets and
// visibility the host holds after an update.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/base/diagnostics.h"
#include "host/panel/panel.h"
#include "host/render/bmp_file.h"
#include "host/render/fonts.h"
#include "host/render/lighting.h"
#include "host/services/resources.h"
#include "module/host_abi.h"

namespace panelhost {

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

struct ContextDeleter {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using Context = std::unique_ptr<cairo_t, ContextDeleter>;

// A surface of w x h pixels, cleared; RGB24 when opaque, else ARGB32.
Surface make_surface(int width, int height, bool opaque = false);

// One of the module's bitmaps, ready to draw.
struct Picture {
    int width = 0;
    int height = 0;
    Surface opaque;  // every pixel as it is
    Surface keyed;   // pure black left transparent
    Surface black;   // A8: opaque exactly where the bitmap is pure black (a window's opening)
};

// Null when Cairo cannot hold it: a side beyond max_surface_side, or no
// memory for its surfaces.
std::unique_ptr<Picture> make_picture(const RgbImage& image);
std::unique_ptr<Picture> make_picture(const Bitmap& bitmap);

// The same picture with every pixel multiplied by a tint; pure black stays
// clear where it was. Null when there is no memory for it.
std::unique_ptr<Picture> tinted_picture(const Picture& picture, Rgb tint);

// Pictures multiplied by a tint, each made once; it must not outlive the
// pictures it was handed, lest another take one's place.
class TintedPictures {
public:
    // The picture itself when there is no tint (or no picture); null when
    // the tinted one cannot be made.
    const Picture* get(const Picture* picture, std::optional<Rgb> tint);

private:
    std::map<std::pair<const Picture*, uint32_t>, std::unique_ptr<Picture>> made_;
};

// The longest side of a Cairo image surface, and so of every picture and PNG.
inline constexpr int max_surface_side = 32767;

// The module's bitmaps, looked up once each through the host's resource lookup.
class GaugeArt {
public:
    explicit GaugeArt(HMODULE module) : module_(module) {}
    // Null when the module has no usable bitmap of that id; reported once.
    const Picture* picture(int32_t id);
    std::optional<orvane::PixPoint> size(int32_t id);
    std::vector<std::string> take_reports() { return std::exchange(reports_, {}); }

private:
    HMODULE module_;
    std::map<int32_t, std::unique_ptr<Picture>> pictures_;  // null entries: looked for, not found
    std::vector<std::string> reports_;
};

class GaugeRenderer {
public:
    explicit GaugeRenderer(HMODULE module) : art_(module) {}

    GaugeArt& art() { return art_; }
    FontBook& fonts() { return fonts_; }
    // The bitmap sizes the panel needs to place moving images.
    BitmapSizes bitmap_sizes();

    // A gauge's size in gauge pixels: that of its first element's bitmap, or
    // its default width squared when that has none.
    orvane::PixPoint gauge_size(const orvane::GaugeHeader& gauge);

    // By day (the default) or by night; what draw and the panel's
    // backgrounds are drawn under.
    const Lighting& lighting() const { return lighting_; }
    void set_lighting(const Lighting& lighting) { lighting_ = lighting; }
    // A picture of the module's as the lighting shows an element with these flags.
    const Picture* lit(const Picture* picture, uint32_t image_flags) {
        return tinted_.get(picture, lighting_.tint(image_flags));
    }

    // Draws the gauge's chain with gauge pixel (0, 0) at the current origin.
    void draw(cairo_t* cr, const Panel& panel, const InstalledGauge& gauge);

    // Reports the bitmaps and fonts not found, each once, as notes.
    void report(Diagnostics& said);

private:
    void draw_bitmap(cairo_t* cr, const orvane::ElementHeader& element, double dx, double dy);
    void draw_behind_window(cairo_t* cr, const orvane::ElementHeader& element, const ElementState& state);
    void draw_text(cairo_t* cr, const orvane::ElementString& text, const ElementState& state);

    GaugeArt art_;
    FontBook fonts_;
    Lighting lighting_;
    TintedPictures tinted_;
};

// Pictures are drawn at a whole scale, from 1 up to this.
inline constexpr int max_scale = 8;

// One installed gauge alone, at an integer scale, on transparency.
Surface render_gauge(GaugeRenderer& renderer, const Panel& panel, const InstalledGauge& gauge, int scale);

// A surface of its own with the same pixels.
Surface copy_of(cairo_surface_t* surface);

// PNG files and bytes.
std::string write_png(cairo_surface_t* surface, const std::string& path);  // an error, or empty
std::vector<uint8_t> png_bytes(cairo_surface_t* surface);

// The pixel at x, y of an image surface as 0xAARRGGBB, alpha undone.
uint32_t pixel_at(cairo_surface_t* surface, int x, int y);

}  // namespace panelhost
