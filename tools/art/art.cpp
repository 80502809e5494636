#include "tools/art/art.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

#include "host/panel/geometry.h"
#include "tools/art/stroke_font.h"

namespace art {
namespace {

constexpr double pi = std::numbers::pi;

// Display colours. Black drawn on purpose is opaque (it becomes (1, 1, 1));
// what is not drawn at all is the host's transparent black.
constexpr Rgb black = {0, 0, 0};
constexpr Rgb white = {255, 255, 255};
constexpr Rgb sky = {32, 124, 214};
constexpr Rgb ground = {138, 86, 38};
constexpr Rgb yellow = {255, 224, 0};
constexpr Rgb magenta = {236, 72, 236};
constexpr Rgb red = {240, 40, 30};
constexpr Rgb light_green = {64, 248, 72};
constexpr Rgb dim_green = {34, 58, 38};
constexpr Rgb tape_grey = {70, 78, 90};
constexpr Rgb panel_face = {56, 60, 66};
constexpr Rgb panel_edge = {112, 118, 126};
constexpr Rgb legend_unlit = {168, 170, 172};

void set(cairo_t* cr, Rgb c) { cairo_set_source_rgb(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0); }

void fill_rect(cairo_t* cr, double x, double y, double w, double h, Rgb c) {
    set(cr, c);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
}

void line(cairo_t* cr, double x0, double y0, double x1, double y1, double width, Rgb c) {
    set(cr, c);
    cairo_set_line_width(cr, width);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_stroke(cr);
}

void nothing(cairo_t*, int, int) {}

void solid_magenta(cairo_t* cr, int w, int h) { fill_rect(cr, 0, 0, w, h, magenta); }

// Attitude ball: the host centres the texture in the attitude window and
// shifts it 1.5 pixels per degree of pitch, so the ladder is drawn at that scale.
constexpr double ball_pixels_per_degree = 1.5;

void attitude_ball(cairo_t* cr, int w, int h) {
    const double cx = w / 2.0, cy = h / 2.0;
    fill_rect(cr, 0, 0, w, cy, sky);
    fill_rect(cr, 0, cy, w, h - cy, ground);
    line(cr, 0, cy, w, cy, 2, white);

    auto rung = [&](double pitch, double half_width, const char* label) {
        // Two pixels thick on whole rows, so that no rung blurs into the sky.
        const double y = std::round(cy - pitch * ball_pixels_per_degree);
        line(cr, cx - half_width, y, cx + half_width, y, 2, white);
        if (label) {
            set(cr, white);
            draw_text(cr, label, cx - half_width - 8, y, 5, 1);
            draw_text(cr, label, cx + half_width + 8, y, 5, 1);
        }
    };
    for (int sign : {1, -1}) {
        rung(sign * 2.5, 3, nullptr);
        rung(sign * 7.5, 3, nullptr);
        for (int p = 5; p <= 45; p += 10) rung(sign * p, 8, nullptr);
        rung(sign * 10, 16, "10");
        rung(sign * 20, 16, "20");
        rung(sign * 30, 16, "30");
        rung(sign * 40, 16, nullptr);
        rung(sign * 50, 22, "50");
    }

    // Red chevrons beyond 50 degrees point back to the horizon.
    for (double pitch : {65.0, 78.0}) {
        for (int sign : {1, -1}) {
            const double y = cy - sign * pitch * ball_pixels_per_degree;
            set(cr, red);
            cairo_set_line_width(cr, 2.5);
            cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
            cairo_move_to(cr, cx - 14, y - sign * 7);
            cairo_line_to(cr, cx, y + sign * 5);
            cairo_line_to(cr, cx + 14, y - sign * 7);
            cairo_stroke(cr);
        }
    }
}

// Attitude window: opaque frame around the sphere area, where the window is
// left transparent so that the ball shows. The frame must stay opaque even
// though it looks black: the ball would show through pure black.
constexpr double bank_scale_radius = 40;

void attitude_window(cairo_t* cr, int w, int h) {
    const double cx = w / 2.0, cy = h / 2.0;
    fill_rect(cr, 0, 0, w, h, black);

    cairo_save(cr);
    cairo_rectangle(cr, 3, 3, w - 6, h - 6);
    cairo_clip(cr);
    cairo_arc(cr, cx, cy, 54, 0, 2 * pi);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_fill(cr);
    cairo_restore(cr);

    // Bank scale: the arc above the sphere centre with its ticks.
    set(cr, white);
    cairo_set_line_width(cr, 1);
    cairo_arc(cr, cx, cy, bank_scale_radius, -pi / 2 - pi / 3, -pi / 2 + pi / 3);
    cairo_stroke(cr);
    for (int bank : {10, 20, 30, 45, 60}) {
        const double length = (bank == 30 || bank == 60) ? 5 : 3;
        for (int sign : {1, -1}) {
            const double a = sign * bank * pi / 180;
            const double sx = std::sin(a), sy = -std::cos(a);
            line(cr, cx + sx * bank_scale_radius, cy + sy * bank_scale_radius, cx + sx * (bank_scale_radius + length),
                 cy + sy * (bank_scale_radius + length), 1.2, white);
        }
    }

    // The fixed zero-bank pointer.
    const double top = cy - bank_scale_radius;
    set(cr, yellow);
    cairo_move_to(cr, cx, top + 1);
    cairo_line_to(cr, cx - 4, top - 6);
    cairo_line_to(cr, cx + 4, top - 6);
    cairo_close_path(cr);
    cairo_fill(cr);
}

// Tapes. The host puts the texture coordinate
// moving_image_index_coordinate(value, ...) under each window's index; the
// tapes extend that mapping linearly past its ends for the wrap-around and
// overrun labels.
constexpr int speed_texture = 839, speed_window = 97;
constexpr double speed_minimum = 620, speed_maximum = 0;
constexpr int heading_texture = 657, heading_window = 82;
constexpr double heading_minimum = 0, heading_maximum = 360;

double linear_index(double value, double minimum, double maximum, int texture, int window) {
    const double at_min = panelhost::moving_image_index_coordinate(minimum, minimum, maximum, texture, window);
    const double at_max = panelhost::moving_image_index_coordinate(maximum, minimum, maximum, texture, window);
    return at_min + (at_max - at_min) * (value - minimum) / (maximum - minimum);
}

// The middle of the pixel that holds texture coordinate t: a one-pixel tick
// there is sharp and covers t.
double on_pixel(double t) { return std::floor(t) + 0.5; }

void speed_tape(cairo_t* cr, int w, int h) {
    fill_rect(cr, 0, 0, w, h, tape_grey);
    for (int v = 0; v <= 640; v += 10) {
        const double y = linear_index(v, speed_minimum, speed_maximum, speed_texture, speed_window);
        const bool labelled = v % 20 == 0;
        line(cr, labelled ? w - 7 : w - 4, on_pixel(y), w, on_pixel(y), 1, white);
        if (labelled) {
            char text[8];
            std::snprintf(text, sizeof text, "%03d", v);
            set(cr, white);
            draw_text(cr, text, 10, y, 6, 1);
        }
    }
}

void speed_window_art(cairo_t* cr, int w, int h) {
    const double tape_width = 26, index = h / 2.0;
    fill_rect(cr, tape_width, 0, w - tape_width, h, black);
    line(cr, 0, 0.5, tape_width, 0.5, 1, white);
    line(cr, 0, h - 0.5, tape_width, h - 0.5, 1, white);
    line(cr, 16, index, tape_width, index, 1, yellow);
    set(cr, yellow);
    cairo_move_to(cr, 23, index);
    cairo_line_to(cr, w - 0.5, index - 4.5);
    cairo_line_to(cr, w - 0.5, index + 4.5);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void heading_tape(cairo_t* cr, int w, int h) {
    fill_rect(cr, 0, 0, w, h, tape_grey);
    for (int hdg = -40; hdg <= 400; hdg += 5) {
        const double x = linear_index(hdg, heading_minimum, heading_maximum, heading_texture, heading_window);
        if (x < -6 || x > w + 6) continue;
        const bool labelled = hdg % 10 == 0;
        line(cr, on_pixel(x), 0, on_pixel(x), labelled ? 6 : 3.5, 1, white);
        if (labelled) {
            const std::string text = std::to_string(((hdg / 10) % 36 + 36) % 36);
            set(cr, white);
            draw_text(cr, text, x, 12.5, 6, 1);
        }
    }
}

void heading_window_art(cairo_t* cr, int w, int h) {
    line(cr, 0, 0.5, w, 0.5, 1, white);
    line(cr, w / 2.0, 0, w / 2.0, 8, 2, yellow);
    (void)h;
}

// Landing-system deviation scales: two dots either side of a yellow centre.
void ls_scale(cairo_t* cr, bool horizontal, int w, int h) {
    const double along = (horizontal ? w : h) / 2.0, across = (horizontal ? h : w) / 2.0;
    auto at = [&](double a, double b, double* x, double* y) {
        *x = horizontal ? a : b;
        *y = horizontal ? b : a;
    };
    set(cr, white);
    cairo_set_line_width(cr, 1);
    for (double offset : {-34.0, -17.0, 17.0, 34.0}) {
        double x, y;
        at(along + offset, across, &x, &y);
        cairo_new_sub_path(cr);
        cairo_arc(cr, x, y, 2, 0, 2 * pi);
    }
    cairo_stroke(cr);
    double x0, y0, x1, y1;
    at(along, 0, &x0, &y0);
    at(along, 2 * across, &x1, &y1);
    line(cr, x0, y0, x1, y1, 1, yellow);
}

void localizer_scale(cairo_t* cr, int w, int h) { ls_scale(cr, true, w, h); }
void glideslope_scale(cairo_t* cr, int w, int h) { ls_scale(cr, false, w, h); }

void diamond(cairo_t* cr, int w, int h) {
    set(cr, magenta);
    cairo_move_to(cr, w / 2.0, 0);
    cairo_line_to(cr, w, h / 2.0);
    cairo_line_to(cr, w / 2.0, h);
    cairo_line_to(cr, 0, h / 2.0);
    cairo_close_path(cr);
    cairo_fill(cr);
}

// Aircraft symbol: the wings' bars lie on the attitude window's centre line,
// 9 pixels down the symbol as the PFD places it.
void aircraft_symbol(cairo_t* cr, int w, int h) {
    const double cx = w / 2.0, y = 9.5;
    (void)h;
    auto wings = [&](double width, Rgb c) {
        set(cr, c);
        cairo_set_line_width(cr, width);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
        for (int sign : {-1, 1}) {
            cairo_move_to(cr, cx + sign * 37, y);
            cairo_line_to(cr, cx + sign * 13, y);
            cairo_line_to(cr, cx + sign * 13, y + 7);
            cairo_stroke(cr);
        }
    };
    wings(5, black);
    wings(3, yellow);
    fill_rect(cr, cx - 4.5, y - 4.5, 9, 9, black);
    set(cr, yellow);
    cairo_set_line_width(cr, 1.5);
    cairo_rectangle(cr, cx - 3, y - 3, 6, 6);
    cairo_stroke(cr);
}

// PFD background: the screen is black (transparent), with the annunciation
// column separators, the ATT flag that the attitude sphere covers while it
// works, and the frame of the altitude readout.
void pfd_background(cairo_t* cr, int w, int h) {
    (void)w, (void)h;
    for (double x : {49.5, 83.5, 117.5, 151.5}) line(cr, x, 3, x, 33, 1, white);
    set(cr, red);
    draw_text(cr, "ATT", 99.5, 70, 8, 1.4);
    set(cr, yellow);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, 152.5, 81.5, 33, 12);
    cairo_stroke(cr);
}

// Three green bars across the middle of a push-button or mode light.
void green_bars(cairo_t* cr, double y, double height, Rgb c) {
    for (double x : {2.0, 7.0, 12.0}) fill_rect(cr, x, y, 4, height, c);
}

void push_button_light(cairo_t* cr, int, int) { green_bars(cr, 8, 2, light_green); }
void mode_light(cairo_t* cr, int, int) { green_bars(cr, 5, 3, light_green); }

// A selector push-button, 18 x 14: face, legend and light bars.
void button(cairo_t* cr, double x, double y, const char* legend, bool lit) {
    fill_rect(cr, x, y, 18, 14, panel_face);
    set(cr, panel_edge);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, x + 0.5, y + 0.5, 17, 13);
    cairo_stroke(cr);
    set(cr, lit ? white : legend_unlit);
    draw_text(cr, legend, x + 9, y + 5.5, 5, 1);
    for (double bx : {3.0, 7.5, 12.0}) fill_rect(cr, x + bx, y + 10, 3, 2, lit ? light_green : dim_green);
}

void fd_buttons_unlit(cairo_t* cr, int, int) {
    button(cr, 1, 2, "FD", false);
    button(cr, 21, 2, "ILS", false);
}
void fd_button_lit(cairo_t* cr, int, int) { button(cr, 0, 0, "FD", true); }
void ils_button_lit(cairo_t* cr, int, int) { button(cr, 0, 0, "ILS", true); }
void dme_button_lit(cairo_t* cr, int, int) { button(cr, 0, 0, "DME", true); }

// Autopilot master switch, disengaged: a grey lever on its base plate.
void master_switch(cairo_t* cr, int w, int h) {
    const double cx = w / 2.0;
    set(cr, panel_face);
    cairo_rectangle(cr, 1, 1, w - 2, h - 2);
    cairo_fill_preserve(cr);
    set(cr, panel_edge);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    line(cr, cx, 9, cx, h - 7, 4, Rgb{150, 154, 160});
    set(cr, Rgb{196, 200, 206});
    cairo_arc(cr, cx, 9, 4.5, 0, 2 * pi);
    cairo_fill(cr);
    set(cr, Rgb{120, 124, 130});
    cairo_arc(cr, cx, h - 7, 3, 0, 2 * pi);
    cairo_fill(cr);
}

// In the order of the resource list, by its names.
const ArtPiece pieces[] = {
    {"BMP_AP_MASTER_SWITCH", 19, 33, Edge::hard, master_switch},
    {"BMP_AP_BACKGROUND", 314, 100, Edge::hard, nothing},
    {"BMP_AP_PUSH_BUTTON_LIGHT", 18, 18, Edge::hard, push_button_light},
    {"BMP_PFD_BACKGROUND", 189, 181, Edge::over_black, pfd_background},
    {"BMP_PFD_ATTITUDE_BALL", 256, 256, Edge::over_black, attitude_ball},
    {"BMP_PFD_ATTITUDE_WINDOW", 88, 104, Edge::hard, attitude_window},
    {"BMP_PFD_SPEED_TAPE", 26, 839, Edge::hard, speed_tape},
    {"BMP_PFD_SPEED_WINDOW", 32, 97, Edge::hard, speed_window_art},
    {"BMP_PFD_HEADING_TAPE", 657, 20, Edge::hard, heading_tape},
    {"BMP_PFD_HEADING_WINDOW", 82, 20, Edge::hard, heading_window_art},
    {"BMP_PFD_FD_ROLL_BAR", 2, 52, Edge::hard, solid_magenta},
    {"BMP_PFD_FD_PITCH_BAR", 52, 2, Edge::hard, solid_magenta},
    {"BMP_DH_BACKGROUND", 109, 31, Edge::hard, nothing},
    {"BMP_DH_MODE_LIGHT", 18, 13, Edge::hard, mode_light},
    {"BMP_FD_BUTTONS_UNLIT", 40, 17, Edge::hard, fd_buttons_unlit},
    {"BMP_FD_BUTTON_LIT", 18, 14, Edge::hard, fd_button_lit},
    {"BMP_ILS_BUTTON_LIT", 18, 14, Edge::hard, ils_button_lit},
    {"BMP_DME_BUTTON_LIT", 18, 14, Edge::hard, dme_button_lit},
    {"BMP_DME_BACKGROUND", 18, 14, Edge::hard, nothing},
    {"BMP_PFD_LOC_SCALE", 75, 7, Edge::over_black, localizer_scale},
    {"BMP_PFD_GS_SCALE", 7, 75, Edge::over_black, glideslope_scale},
    {"BMP_PFD_GS_DIAMOND", 11, 7, Edge::over_black, diamond},
    {"BMP_PFD_LOC_DIAMOND", 7, 11, Edge::over_black, diamond},
    {"BMP_PFD_AIRCRAFT_SYMBOL", 84, 21, Edge::hard, aircraft_symbol},
    {"BMP_PFD_FDHORMASK", 88, 104, Edge::hard, nothing},
    {"BMP_PFD_FDVERMASK", 88, 104, Edge::hard, nothing},
};

}  // namespace

std::span<const ArtPiece> art_pieces() { return pieces; }

const ArtPiece* find_art(std::string_view key) {
    for (const ArtPiece& p : pieces)
        if (key == p.key) return &p;
    return nullptr;
}

IndexedImage render(const ArtPiece& piece) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, piece.width, piece.height);
    cairo_t* cr = cairo_create(surface);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
    piece.draw(cr, piece.width, piece.height);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    IndexedImage image = quantise(cairo_image_surface_get_data(surface), cairo_image_surface_get_stride(surface),
                                  piece.width, piece.height, piece.edge);
    cairo_surface_destroy(surface);
    return image;
}

std::vector<uint8_t> render_bmp_file(const ArtPiece& piece) { return encode_bmp_file(render(piece)); }

}  // namespace art
