// Draws the background bitmaps of the example panel: the panel face of each
// window that examples/panel.cfg names a file for, and under each gauge it
// places the fixed parts of the cockpit that the gauge's overlay leaves
// clear: the FCU's faceplate, the PFD's screen and bezel, the DH unit's
// face. Knobs and push-buttons go where the module's mouse tables put the
// clickable areas, so the art follows the gauges wherever the panel.cfg
// moves them. The lettering is the art's stroke font, so that the files come
// out the same on every machine.
//
//   orvane_example_art MODULE PANEL.CFG           writes each window's bitmap beside the panel.cfg
//   orvane_example_art --check MODULE PANEL.CFG   exit 1 if a committed bitmap differs
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

#include "host/base/command_line.h"
#include "host/base/files.h"
#include "host/panel/mouse.h"
#include "host/services/chain.h"
#include "host/render/panel_cfg.h"
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

void gauge_plate(cairo_t* cr, const std::string& name, const GaugeHeader& gauge, PixPoint size) {
    if (name == "PFD") {
        // The display unit: bezel, screws and the dark screen the PFD draws on.
        rounded(cr, -12, -10, size.x + 24, size.y + 20, 6);
        set(cr, {0.17, 0.18, 0.20});
        cairo_fill_preserve(cr);
        set(cr, recess);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        for (double x : {-6.0, size.x + 6.0}) {
            for (double y : {-4.0, size.y + 4.0}) screw(cr, x, y);
        }
        fill_rect(cr, -2, -2, size.x + 4, size.y + 4, recess);
        fill_rect(cr, 0, 0, size.x, size.y, screen);
        return;
    }
    if (name == "AP") {
        plate_at(cr, -4, -4, size.x + 8, size.y + 8, 4);
        for (double x : {2.0, size.x - 2.0}) {
            for (double y : {2.0, size.y - 2.0}) screw(cr, x, y);
        }
    } else {
        plate_at(cr, -3, -3, size.x + 6, size.y + 6, 3);
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
    cairo_surface_flush(surface.get());
    const art::IndexedImage image = art::quantise(cairo_image_surface_get_data(surface.get()),
                                                  cairo_image_surface_get_stride(surface.get()), w, h, art::Edge::hard);
    return art::encode_bmp_file(image);
}

}  // namespace

int main(int argc, char** argv) {
    std::string module_path, cfg_path;
    bool check = false;
    panelhost::CommandLine cli("orvane_example_art",
                               "Draws the background bitmap of each window of a panel.cfg that names a file, around "
                               "the gauges it places, and writes it beside the panel.cfg.");
    cli.operand("MODULE", module_path, "the gauge module whose mouse tables place the controls (orvane.so)");
    cli.operand("PANEL.CFG", cfg_path, "the panel whose windows' bitmaps to draw");
    cli.flag("--check", check, "write nothing; fail if a bitmap differs from what is drawn");
    cli.footer("Exit status: 0 all drawn (or all the same), 1 a bitmap differs, could not be written, or the "
               "panel.cfg has problems, 2 an unusable input.");
    if (const auto status = cli.parse(argc, argv, stdout, stderr)) return *status;

    const PanelConfig cfg = panelhost::read_panel_cfg(cfg_path);
    for (const std::string& p : cfg.problems) std::fprintf(stderr, "%s\n", p.c_str());
    if (!cfg.unusable.empty()) {
        std::fprintf(stderr, "orvane_example_art: %s\n", cfg.unusable.c_str());
        return panelhost::exit_unusable;
    }
    panelhost::RenderSetup setup(module_path);
    if (!setup.ok()) {
        std::fprintf(stderr, "orvane_example_art: %s\n", setup.error().c_str());
        return panelhost::exit_unusable;
    }
    PanelRenderer layout(setup.renderer(), cfg, module_path, panelhost::files_beside(cfg_path));
    const size_t slash = cfg_path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : cfg_path.substr(0, slash + 1);
    int failures = cfg.problems.empty() ? 0 : 1;
    for (const PanelWindow& window : cfg.windows) {
        if (window.file.empty()) continue;
        if (!window.size_width || !window.size_height) {
            std::fprintf(stderr, "%s:%d: the window needs size_mm=width,height for its bitmap\n", cfg_path.c_str(),
                         window.line);
            ++failures;
            continue;
        }
        const std::vector<uint8_t> bmp = draw_window(layout, setup.renderer(), setup.panel(), window);
        const std::string path = folder + window.file;
        if (check) {
            if (panelhost::read_file_bytes(path) != bmp) {
                std::fprintf(stderr, "%s differs from what the generator draws\n", path.c_str());
                ++failures;
            }
        } else if (std::string error; !panelhost::write_file(path, bmp, &error)) {
            std::fprintf(stderr, "orvane_example_art: %s\n", error.c_str());
            ++failures;
        } else {
            std::printf("wrote %s\n", path.c_str());
        }
    }
    return failures == 0 ? panelhost::exit_ok : panelhost::exit_failed;
}
