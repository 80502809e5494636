// Draws the background bitmaps of a panel: the panel face of each window
// that its panel.cfg names a file for, and under each gauge it places the
// fixed parts of the cockpit that the gauge's overlay leaves clear: the
// FCU's faceplate, the PFD's screen and bezel, the DH unit's face. Knobs and
// push-buttons go where the module's mouse tables put the clickable areas,
// so the art follows the gauges wherever the panel.cfg moves them. The
// lettering is the art's stroke font, so that the files come out the same on
// every machine. With --faces it also draws the art kit: each gauge's face
// as a bitmap of its own, and a panel.cfg that puts each gauge on its face.
//
// It draws over no file it did not make: a file is its own when the checksum
// it writes into each file (in a bitmap the file header's two reserved words,
// in a panel.cfg the first line) matches the rest of the file, so a file
// drawn by anything else, or edited since, is left as it is and the drawing
// goes into a new file beside it, unless --force.
//
//   orvane_example_art MODULE PANEL.CFG [--faces DIR] [--force]
//   orvane_example_art --check MODULE PANEL.CFG [--faces DIR]   exit 1 if a committed file differs
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "host/base/command_line.h"
#include "host/base/files.h"
#include "host/panel/mouse.h"
#include "host/services/chain.h"
#include "host/layout/panel_cfg.h"
#include "host/render/panel_renderer.h"
#include "host/render/render_setup.h"
#include "tools/art/indexed_image.h"
#include "tools/art/quantise.h"
#include "tools/art/stroke_font.h"

namespace {

using namespace orvane;
using panelhost::Panel;
using panelhost::PanelConfig;
using panelhost::PanelGauge;
using panelhost::PanelRenderer;
using panelhost::PanelWindow;

constexpr double pi = std::numbers::pi;

struct Colour {
    double r, g, b;
};

// The flight deck's blue-grey, its anti-glare black and the lettering.
constexpr Colour face = {0.33, 0.38, 0.43};
constexpr Colour face_dark = {0.24, 0.28, 0.32};
constexpr Colour anti_glare = {0.12, 0.13, 0.15};
constexpr Colour plate = {0.40, 0.44, 0.49};
constexpr Colour plate_edge = {0.20, 0.22, 0.25};
constexpr Colour recess = {0.08, 0.08, 0.09};
constexpr Colour legend = {0.93, 0.94, 0.95};
constexpr Colour button_face = {0.27, 0.29, 0.32};
constexpr Colour button_edge = {0.52, 0.55, 0.59};
constexpr Colour dim_bar = {0.13, 0.23, 0.15};
constexpr Colour screen = {0, 0, 0};  // drawn black is kept opaque by the quantiser

void set(cairo_t* cr, Colour c) { cairo_set_source_rgb(cr, c.r, c.g, c.b); }

void fill_rect(cairo_t* cr, double x, double y, double w, double h, Colour c) {
    set(cr, c);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
}

void rounded(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -pi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, pi / 2);
    cairo_arc(cr, x + r, y + h - r, r, pi / 2, pi);
    cairo_arc(cr, x + r, y + r, r, pi, 3 * pi / 2);
    cairo_close_path(cr);
}

void plate_at(cairo_t* cr, double x, double y, double w, double h, double r) {
    rounded(cr, x, y, w, h, r);
    set(cr, plate);
    cairo_fill_preserve(cr);
    set(cr, plate_edge);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

void screw(cairo_t* cr, double x, double y) {
    cairo_arc(cr, x, y, 2.2, 0, 2 * pi);
    set(cr, {0.55, 0.58, 0.62});
    cairo_fill(cr);
    cairo_move_to(cr, x - 1.5, y + 1.5);
    cairo_line_to(cr, x + 1.5, y - 1.5);
    set(cr, {0.25, 0.27, 0.3});
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
}

void letters(cairo_t* cr, const char* text, double cx, double cy, double height, Colour c = legend) {
    set(cr, c);
    art::draw_text(cr, text, cx, cy, height, std::max(0.8, height / 5));
}

// ---- the controls, from the mouse tables ----

enum class Style { knob, push_button, push_button_without_light, master_switch, unlit_selector };

struct Control {
    const char* gauge;
    const char* tooltip;
    const char* legend;
    Style style;
};

constexpr Control controls[] = {
    {"AP", "Set Autopilot Speed", nullptr, Style::knob},
    {"AP", "Set Autopilot Altitude", nullptr, Style::knob},
    {"AP", "Set Autopilot Heading", nullptr, Style::knob},
    {"AP", "Set Autopilot V/S", nullptr, Style::knob},
    {"AP", "Autopilot Master Switch", "AP", Style::master_switch},
    {"AP", "ILS Approach Switch", "APPR", Style::push_button},
    {"AP", "NAV1 Hold Switch", "NAV", Style::push_button},
    {"AP", "Heading Hold Switch", "HDG", Style::push_button},
    {"AP", "Yaw Damper Switch", "YD", Style::push_button},
    {"AP", "Wing Leveler Switch", "LVL", Style::push_button},
    {"AP", "Altitude Hold Switch", "ALT", Style::push_button},
    {"AP", "Auto Throttle Switch", "A/THR", Style::push_button},
    {"AP", "Speed Hold Switch", "SPD", Style::push_button},
    {"AP", "Mach Switch", "MACH", Style::push_button_without_light},
    {"DH", "Set Decision Height", nullptr, Style::knob},
    {"DH", "Toggle Decision Height", "DH", Style::push_button},
    {"DH", "Toggle Glideslope Angle", "GSA", Style::push_button},
    {"DME", "Toggle DME1/2", "DME", Style::unlit_selector},
};

// Captions over text windows, by gauge and chain index.
struct Caption {
    const char* gauge;
    size_t index;
    const char* text;
};

constexpr Caption captions[] = {
    {"AP", 1, "SPD"}, {"AP", 2, "ALT"}, {"AP", 3, "HDG"}, {"AP", 4, "V/S"},
};

void knob(cairo_t* cr, const PixBox& b) {
    const double cx = b.x + b.size_x / 2.0, cy = b.y + b.size_y / 2.0;
    const double r = std::min(b.size_x, b.size_y) / 2.0 - 0.5;
    cairo_arc(cr, cx, cy + 0.8, r + 0.8, 0, 2 * pi);
    set(cr, recess);
    cairo_fill(cr);
    cairo_pattern_t* shade = cairo_pattern_create_linear(cx, cy - r, cx, cy + r);
    cairo_pattern_add_color_stop_rgb(shade, 0, 0.42, 0.44, 0.47);
    cairo_pattern_add_color_stop_rgb(shade, 1, 0.14, 0.15, 0.17);
    cairo_arc(cr, cx, cy, r, 0, 2 * pi);
    cairo_set_source(cr, shade);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
    // Grip ridges round the rim, and the pointer.
    set(cr, {0.10, 0.11, 0.12});
    cairo_set_line_width(cr, 0.7);
    for (int i = 0; i < 24; ++i) {
        const double a = i * 2 * pi / 24;
        cairo_move_to(cr, cx + std::cos(a) * (r - 2.2), cy + std::sin(a) * (r - 2.2));
        cairo_line_to(cr, cx + std::cos(a) * r, cy + std::sin(a) * r);
    }
    cairo_stroke(cr);
    cairo_arc(cr, cx, cy, r - 3, 0, 2 * pi);
    set(cr, {0.26, 0.28, 0.30});
    cairo_fill(cr);
    cairo_move_to(cr, cx, cy - r + 3.5);
    cairo_line_to(cr, cx, cy - r * 0.3);
    set(cr, legend);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    // Which half turns which way.
    letters(cr, "-", b.x - 2.5, cy, 3.5);
    letters(cr, "+", b.x + b.size_x + 2.5, cy, 3.5);
}

void push_button(cairo_t* cr, const PixBox& b, bool light_bars) {
    fill_rect(cr, b.x - 1, b.y - 1, b.size_x + 2, b.size_y + 2, recess);
    fill_rect(cr, b.x, b.y, b.size_x, b.size_y, button_face);
    set(cr, button_edge);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, b.x + 0.5, b.y + 0.5, b.size_x - 1, b.size_y - 1);
    cairo_stroke(cr);
    if (!light_bars) return;
    // Dark bars under the light's bars, which the gauge draws lit.
    for (double x : {2.0, 7.0, 12.0}) {
        fill_rect(cr, b.x + x, b.y + b.size_y / 2.0 - 1, 4, 2, dim_bar);
    }
}

void draw_control(cairo_t* cr, const Control& c, const PixBox& b, const std::string& gauge) {
    switch (c.style) {
    case Style::knob: knob(cr, b); break;
    case Style::push_button:
    case Style::push_button_without_light:
        push_button(cr, b, c.style == Style::push_button);
        if (gauge == "DH") {
            letters(cr, c.legend, b.x + b.size_x + 7, b.y + b.size_y / 2.0, 4);
        } else {
            letters(cr, c.legend, b.x + b.size_x / 2.0, b.y - 4.5, 4.2);
        }
        break;
    case Style::master_switch: {
        // The lever up and the engaged light: what shows while the gauge's
        // disengaged-switch image is hidden.
        fill_rect(cr, b.x - 1, b.y - 1, b.size_x + 2, b.size_y + 2, recess);
        fill_rect(cr, b.x, b.y, b.size_x, b.size_y, button_face);
        const double cx = b.x + b.size_x / 2.0;
        fill_rect(cr, b.x + 3, b.y + b.size_y - 8, b.size_x - 6, 4, {0.25, 0.85, 0.35});
        set(cr, {0.62, 0.64, 0.68});
        cairo_set_line_width(cr, 4);
        cairo_move_to(cr, cx, b.y + b.size_y - 11);
        cairo_line_to(cr, cx, b.y + 7);
        cairo_stroke(cr);
        cairo_arc(cr, cx, b.y + 6, 4, 0, 2 * pi);
        set(cr, {0.80, 0.82, 0.86});
        cairo_fill(cr);
        letters(cr, c.legend, cx, b.y - 5, 4.2);
        break;
    }
    case Style::unlit_selector:
        fill_rect(cr, b.x, b.y, b.size_x, b.size_y, button_face);
        set(cr, button_edge);
        cairo_set_line_width(cr, 1);
        cairo_rectangle(cr, b.x + 0.5, b.y + 0.5, b.size_x - 1, b.size_y - 1);
        cairo_stroke(cr);
        letters(cr, c.legend, b.x + b.size_x / 2.0, b.y + 5.5, 5, {0.66, 0.67, 0.68});
        for (double x : {3.0, 7.5, 12.0}) fill_rect(cr, b.x + x, b.y + 10, 3, 2, dim_bar);
        break;
    }
}

// ---- each gauge's fixed parts, in gauge pixels ----

// How far each unit's plate or bezel reaches round its gauge, and whether
// the unit's face in the art kit takes it in. The FCU's and the DH unit's
// faces are what lies under the gauge, at the gauge's size: the knobs and
// push-buttons the pilot clicks. The PFD, FD and DME units draw all of that
// themselves; their faces are the bezel and the frames round them.
struct Frame {
    const char* gauge;
    int x, y;
    bool in_face;
};

constexpr Frame frames[] = {
    {"AP", 4, 4, false}, {"PFD", 12, 10, true}, {"DH", 3, 3, false}, {"FD", 3, 3, true}, {"DME", 3, 3, true},
};
constexpr Frame other_frame = {"", 3, 3, false};

const Frame& frame_of(const std::string& gauge) {
    for (const Frame& f : frames) {
        if (gauge == f.gauge) return f;
    }
    return other_frame;
}

void gauge_plate(cairo_t* cr, const std::string& name, const GaugeHeader& gauge, PixPoint size) {
    const Frame& f = frame_of(name);
    if (name == "PFD") {
        // The display unit: bezel, screws and the dark screen the PFD draws on.
        rounded(cr, -f.x, -f.y, size.x + 2 * f.x, size.y + 2 * f.y, 6);
        set(cr, {0.17, 0.18, 0.20});
        cairo_fill_preserve(cr);
        set(cr, recess);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        for (double x : {-f.x / 2.0, size.x + f.x / 2.0}) {
            for (double y : {6.0 - f.y, size.y + f.y - 6.0}) screw(cr, x, y);
        }
        fill_rect(cr, -2, -2, size.x + 4, size.y + 4, recess);
        fill_rect(cr, 0, 0, size.x, size.y, screen);
        return;
    }
    if (name == "AP") {
        plate_at(cr, -f.x, -f.y, size.x + 2 * f.x, size.y + 2 * f.y, 4);
        for (double x : {2.0, size.x - 2.0}) {
            for (double y : {2.0, size.y - 2.0}) screw(cr, x, y);
        }
    } else {
        plate_at(cr, -f.x, -f.y, size.x + 2 * f.x, size.y + 2 * f.y, 3);
    }
    const panelhost::ChainWalk chain = panelhost::walk_chain(&gauge);
    for (size_t i = 0; i < chain.elements.size(); ++i) {
        if (chain.elements[i]->element_type != ELEMENT_STRING) continue;
        const auto& text = reinterpret_cast<const ElementString&>(*chain.elements[i]);
        const PixPoint at = text.header.position;
        fill_rect(cr, at.x - 2, at.y - 2, text.img_size.x + 4, text.img_size.y + 4, recess);
        for (const Caption& c : captions) {
            if (name == c.gauge && i == c.index) letters(cr, c.text, at.x + text.img_size.x / 2.0, at.y - 6, 4.2);
        }
    }
    for (const panelhost::MouseArea& area : panelhost::mouse_areas(gauge.mouse_rect)) {
        for (const Control& c : controls) {
            if (name == c.gauge && area.tooltip == c.tooltip) draw_control(cr, c, area.area.box, name);
        }
    }
}

// ---- the windows ----

void window_face(cairo_t* cr, const PanelWindow& window, int w, int h) {
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, 0, 0, h);
    cairo_pattern_add_color_stop_rgb(shade, 0, face.r, face.g, face.b);
    cairo_pattern_add_color_stop_rgb(shade, 1, face_dark.r, face_dark.g, face_dark.b);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_set_source(cr, shade);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
    if (window.title == "Glareshield") {
        // The anti-glare coaming over the glareshield's face.
        fill_rect(cr, 0, 0, w, 8, anti_glare);
        fill_rect(cr, 0, 8, w, 1.5, {0.45, 0.5, 0.55});
        fill_rect(cr, 0, h - 4, w, 4, anti_glare);
    } else {
        fill_rect(cr, 0, 0, w, 3, face_dark);
        for (double x : {8.0, w - 8.0}) {
            for (double y : {8.0, h - 8.0}) screw(cr, x, y);
        }
    }
}

// A drawn surface as an 8-bit BMP file.
std::vector<uint8_t> bmp_of(const panelhost::Surface& surface, int w, int h) {
    cairo_surface_flush(surface.get());
    const art::IndexedImage image = art::quantise(cairo_image_surface_get_data(surface.get()),
                                                  cairo_image_surface_get_stride(surface.get()), w, h, art::Edge::hard);
    return art::encode_bmp_file(image);
}

std::vector<uint8_t> draw_window(PanelRenderer& layout, panelhost::GaugeRenderer& gauges, Panel& panel,
                                 const PanelWindow& window) {
    const int w = *window.size_width, h = *window.size_height;
    const panelhost::Surface surface = panelhost::make_surface(w, h);
    const panelhost::Context cr(cairo_create(surface.get()));
    cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_GRAY);
    window_face(cr.get(), window, w, h);
    for (const PanelGauge& g : window.gauges) {
        const PanelRenderer::Placement p = layout.place(g, panel);
        if (p.header == nullptr) continue;
        const PixPoint own = gauges.gauge_size(*p.header);
        cairo_save(cr.get());
        cairo_translate(cr.get(), p.x, p.y);
        cairo_scale(cr.get(), p.width / own.x, p.height / own.y);
        gauge_plate(cr.get(), g.gauge, *p.header, own);
        cairo_restore(cr.get());
    }
    return bmp_of(surface, w, h);
}

// ---- the art kit: each gauge's face alone ----

struct Face {
    std::string gauge;
    std::vector<uint8_t> bmp;
    PixPoint size;      // the face's, in gauge pixels
    PixPoint gauge_at;  // where the gauge's top-left corner lies on it
};

Face draw_face(panelhost::GaugeRenderer& gauges, const std::string& name, const GaugeHeader& gauge) {
    const Frame& f = frame_of(name);
    const PixPoint own = gauges.gauge_size(gauge);
    const PixPoint at = f.in_face ? PixPoint{f.x, f.y} : PixPoint{0, 0};
    const PixPoint size{own.x + 2 * at.x, own.y + 2 * at.y};
    const panelhost::Surface surface = panelhost::make_surface(size.x, size.y);
    const panelhost::Context cr(cairo_create(surface.get()));
    cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_GRAY);
    cairo_translate(cr.get(), at.x, at.y);
    gauge_plate(cr.get(), name, gauge, own);
    return {name, bmp_of(surface, size.x, size.y), size, at};
}

// A panel.cfg with one window for each face, its gauge where the face puts
// it: the lines a designer copies, and a panel to preview the faces with.
std::string faces_cfg(const std::vector<Face>& faces, const std::vector<std::string>& files,
                      const std::string& module) {
    std::string text =
        "// Each gauge on its face, one window each: the face as the window's\n"
        "// bitmap at one unit a pixel, the gauge where the face puts it.\n\n[Window Titles]\n";
    auto number = [](size_t i) { return std::string(i < 10 ? "0" : "") + std::to_string(i); };
    for (size_t i = 0; i < faces.size(); ++i) {
        text += "Window" + number(i) + "=" + files[i] + "\n";
    }
    for (size_t i = 0; i < faces.size(); ++i) {
        const Face& f = faces[i];
        text += "\n[Window" + number(i) + "]\nfile=" + files[i] + "\nsize_mm=" + std::to_string(f.size.x) + "," +
                std::to_string(f.size.y) + "\nvisible=1\ngauge00=" + module + "!" + f.gauge + ", " +
                std::to_string(f.gauge_at.x) + ", " + std::to_string(f.gauge_at.y) + "\n";
    }
    return text;
}

// ---- the files it makes, and no others ----

constexpr const char* tool = "orvane_example_art";

uint32_t checksum(const uint8_t* bytes, size_t n) {
    uint32_t h = 2166136261u;  // FNV-1a, salted with the tool's name
    for (const char* c = tool; *c != 0; ++c) h = (h ^ static_cast<uint8_t>(*c)) * 16777619u;
    for (size_t i = 0; i < n; ++i) h = (h ^ bytes[i]) * 16777619u;
    return h;
}

// A bitmap's mark: the file header's two reserved words, which readers
// ignore, hold the checksum of every byte after them.
constexpr size_t bmp_mark_at = 6, bmp_marked_from = 10;

std::vector<uint8_t> marked_bmp(std::vector<uint8_t> bmp) {
    const uint32_t sum = checksum(bmp.data() + bmp_marked_from, bmp.size() - bmp_marked_from);
    for (int i = 0; i < 4; ++i) bmp[bmp_mark_at + i] = static_cast<uint8_t>(sum >> (8 * i));
    return bmp;
}

// A text's mark: a first line that holds the checksum of the lines after it.
std::string mark_line(std::string_view rest) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08x",
                  static_cast<unsigned>(checksum(reinterpret_cast<const uint8_t*>(rest.data()), rest.size())));
    return std::string("// Drawn by ") + tool + " (checksum " + hex + "), which draws again only over its own files.\n";
}

std::vector<uint8_t> marked_text(const std::string& text) {
    const std::string whole = mark_line(text) + text;
    return {whole.begin(), whole.end()};
}

bool carries_mark(const std::vector<uint8_t>& bytes) {
    if (bytes.size() > bmp_marked_from && bytes[0] == 'B' && bytes[1] == 'M') {
        return marked_bmp(bytes) == bytes;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const size_t end = text.find('\n');
    return end != std::string_view::npos && text.substr(0, end + 1) == mark_line(text.substr(end + 1));
}

// The name beside a file that the tool uses instead of it: a.bmp, a.orvane.bmp.
std::string beside(const std::string& path) {
    const std::filesystem::path p(path);
    return (p.parent_path() / (p.stem().string() + ".orvane" + p.extension().string())).string();
}

enum class Holder { nobody, this_tool, other };

Holder holder_of(const std::string& path, std::string* error) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return Holder::nobody;
    const std::optional<std::vector<uint8_t>> bytes = panelhost::read_file_bytes(path, error);
    if (!bytes) return Holder::other;
    return carries_mark(*bytes) ? Holder::this_tool : Holder::other;
}

// Where a drawing meant for `path` goes: over nothing, over the tool's own
// file, over another's when forced; else beside it, if that is free or the
// tool's own. Empty when it can go nowhere; `note` says what was decided.
std::string destination(const std::string& path, bool force, std::string* note) {
    std::string error;
    const Holder holder = holder_of(path, &error);
    if (holder != Holder::other || force) {
        *note = holder == Holder::nobody ? "wrote " + path
                : holder == Holder::this_tool ? "drew " + path + " again"
                                              : "drew over " + path + " (--force)";
        return path;
    }
    const std::string instead = beside(path);
    const std::string why = error.empty() ? path + " was not drawn by " + tool : error;
    const Holder beside_holder = holder_of(instead, &error);
    if (beside_holder == Holder::other) {
        *note = why + ", nor is " + instead + ": both left as they are; --force draws over " + path;
        return {};
    }
    *note = why + ": left as it is; " + (beside_holder == Holder::nobody ? "wrote " + instead : "drew " + instead + " again") +
            " beside it (name it in the panel.cfg, or give --force to draw over " + path + ")";
    return instead;
}

// Writes (or with check, compares) one drawn file; true when all went well.
// `written`, when given, is where it went.
bool put(const std::string& path, const std::vector<uint8_t>& bytes, bool check, bool force,
         std::string* written = nullptr) {
    if (written) *written = path;
    if (check) {
        if (panelhost::read_file_bytes(path) == bytes) return true;
        std::fprintf(stderr, "%s differs from what the generator draws\n", path.c_str());
        return false;
    }
    std::string note, error;
    const std::string target = destination(path, force, &note);
    if (target.empty()) {
        std::fprintf(stderr, "%s: %s\n", tool, note.c_str());
        return false;
    }
    if (!panelhost::write_file(target, bytes, &error)) {
        std::fprintf(stderr, "%s: %s\n", tool, error.c_str());
        return false;
    }
    if (written) *written = target;
    std::printf("%s\n", note.c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string module_path, cfg_path, faces_dir;
    bool check = false, force = false;
    panelhost::CommandLine cli(tool,
                               "Draws the background bitmap of each window of a panel.cfg that names a file, around "
                               "the gauges it places, and writes it beside the panel.cfg; with --faces, each "
                               "gauge's face as a bitmap of its own. It draws over no file that it did not make: "
                               "it writes NAME.orvane.bmp beside such a file instead, and says so.");
    cli.operand("MODULE", module_path, "the gauge module whose mouse tables place the controls (orvane.so)");
    cli.operand("PANEL.CFG", cfg_path, "the panel whose windows' bitmaps to draw");
    cli.option("--faces", faces_dir, "DIR",
               "also draws the art kit into DIR: NAME.bmp, the face of each gauge NAME, and faces.cfg, a panel "
               "that puts each gauge on its face");
    cli.flag("--force", force, "draws over files that it did not make, or that were changed since it made them");
    cli.flag("--check", check, "write nothing; fail if a file differs from what is drawn");
    cli.footer("Exit status: 0 all drawn (or all the same), 1 a file differs, could not be written, or the "
               "panel.cfg has problems, 2 an unusable input.");
    if (const auto status = cli.parse(argc, argv, stdout, stderr)) return *status;

    const PanelConfig cfg = panelhost::read_panel_cfg(cfg_path);
    for (const panelhost::Diagnostic& p : cfg.problems) std::fprintf(stderr, "%s\n", p.text.c_str());
    if (!cfg.unusable.empty()) {
        std::fprintf(stderr, "%s: %s\n", tool, cfg.unusable.c_str());
        return panelhost::exit_unusable;
    }
    panelhost::RenderSetup setup(module_path);
    if (!setup.ok()) {
        std::fprintf(stderr, "%s: %s\n", tool, setup.error().c_str());
        return panelhost::exit_unusable;
    }
    PanelRenderer layout(setup.renderer(), cfg, module_path, panelhost::files_beside(cfg_path));
    const std::filesystem::path folder = std::filesystem::path(cfg_path).parent_path();
    int failures = cfg.problems.empty() ? 0 : 1;
    for (const PanelWindow& window : cfg.windows) {
        if (window.file.empty()) continue;
        if (!window.size_width || !window.size_height) {
            std::fprintf(stderr, "%s:%d: the window needs size_mm=width,height for its bitmap\n", cfg_path.c_str(),
                         window.line);
            ++failures;
            continue;
        }
        const std::vector<uint8_t> bmp = marked_bmp(draw_window(layout, setup.renderer(), setup.panel(), window));
        if (!put((folder / window.file).string(), bmp, check, force)) ++failures;
    }

    if (!faces_dir.empty()) {
        std::error_code ec;
        if (!check && !std::filesystem::create_directories(faces_dir, ec) && ec) {
            std::fprintf(stderr, "%s: cannot make %s: %s\n", tool, faces_dir.c_str(), ec.message().c_str());
            return panelhost::exit_unusable;
        }
        std::vector<Face> faces;
        std::vector<std::string> files;
        for (GaugeHeader* g : setup.panel().gauges()) {
            const std::string name(g->gauge_name, strnlen(g->gauge_name, panelhost::max_gauge_name_length));
            // The face's file is named for its gauge: a name that is no plain file name gets none.
            if (name.empty() || name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_-") !=
                                    std::string::npos) {
                std::fprintf(stderr, "%s: the gauge \"%s\" has a name that is no plain file name; no face drawn\n",
                             tool, name.c_str());
                ++failures;
                continue;
            }
            faces.push_back(draw_face(setup.renderer(), name, *g));
            std::string written;
            if (!put((std::filesystem::path(faces_dir) / (name + ".bmp")).string(), marked_bmp(faces.back().bmp),
                     check, force, &written)) {
                ++failures;
            }
            // The panel of faces names each face where it went.
            files.push_back(std::filesystem::path(written).filename().string());
        }
        const std::string module = panelhost::names_module("Orvane", module_path)
                                       ? "Orvane"
                                       : std::filesystem::path(module_path).stem().string();
        const std::string cfg_text = faces_cfg(faces, files, module);
        if (!put((std::filesystem::path(faces_dir) / "faces.cfg").string(), marked_text(cfg_text), check, force)) {
            ++failures;
        }
    }
    return failures == 0 ? panelhost::exit_ok : panelhost::exit_failed;
}
