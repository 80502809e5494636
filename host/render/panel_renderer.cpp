#include "host/render/panel_renderer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <set>

#include "host/base/files.h"
#include "host/base/text_format.h"
#include "host/render/bmp_file.h"
#include "host/render/fonts.h"

namespace panelhost {

using namespace orvane;

PanelFiles files_beside(const std::string& cfg_path) {
    const size_t slash = cfg_path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : cfg_path.substr(0, slash + 1);
    return [folder](const std::string& name, std::string& error) -> std::optional<std::vector<uint8_t>> {
        const std::optional<std::string> path = find_windows_file(folder, name, &error);
        if (!path) return std::nullopt;
        return read_file_bytes(*path, &error, max_bmp_file_bytes);
    };
}

std::optional<ScreenSize> parse_screen_size(std::string_view text) {
    const size_t x = text.find_first_of("xX");
    if (x == std::string_view::npos) return std::nullopt;
    int64_t sides[2] = {0, 0};
    const std::string_view parts[2] = {text.substr(0, x), text.substr(x + 1)};
    for (int i = 0; i < 2; ++i) {
        const auto [end, error] = std::from_chars(parts[i].data(), parts[i].data() + parts[i].size(), sides[i]);
        if (parts[i].empty() || error != std::errc{} || end != parts[i].data() + parts[i].size() || sides[i] < 1 ||
            sides[i] > max_screen_side) {
            return std::nullopt;
        }
    }
    return ScreenSize{sides[0], sides[1]};
}

namespace {

std::string size_text(int64_t x, int64_t y) { return std::to_string(x) + " x " + std::to_string(y); }

std::string two_digits(int number) { return (number < 10 ? "0" : "") + std::to_string(number); }

std::string name_of(const GaugeHeader& header) {
    return std::string(header.gauge_name, strnlen(header.gauge_name, max_gauge_name_length));
}

// The module's gauge of that name, matched as Windows matches names: the
// exact name first, else without regard to case. Never a placement's copy:
// a panel.cfg names the module's gauges.
const GaugeHeader* find_gauge(const Panel& panel, const std::string& name) {
    for (const GaugeHeader* g : panel.gauges()) {
        if (g->gauge_name != nullptr && name_of(*g) == name) return g;
    }
    const std::string wanted = ascii_lowercase(name);
    for (const GaugeHeader* g : panel.gauges()) {
        if (g->gauge_name != nullptr && ascii_lowercase(name_of(*g)) == wanted) return g;
    }
    return nullptr;
}

// A gauge of another module, or one the module lacks: its box in magenta,
// its Module!Gauge name inside, cut at the box.
void draw_outline(cairo_t* cr, const PanelRenderer::Placement& p, const PanelGauge& g) {
    cairo_set_source_rgb(cr, 1, 0, 1);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, p.x + 0.5, p.y + 0.5, std::max(0.0, p.width - 1), std::max(0.0, p.height - 1));
    cairo_stroke(cr);
    cairo_rectangle(cr, p.x + 1, p.y + 1, std::max(0.0, p.width - 2), std::max(0.0, p.height - 2));
    cairo_clip(cr);
    const double size = std::clamp(p.height - 4, 6.0, 10.0);
    cairo_select_font_face(cr, fallback_family, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_move_to(cr, p.x + 3, p.y + 2 + size * 0.8);
    cairo_show_text(cr, windows_text_utf8(g.module + "!" + g.gauge).c_str());
}

}  // namespace

PanelRenderer::PanelRenderer(GaugeRenderer& gauges, const PanelConfig& cfg, std::string module_path, PanelFiles files,
                             ScreenSize screen)
    : gauges_(gauges), cfg_(cfg), module_path_(std::move(module_path)), files_(std::move(files)), screen_(screen) {}

std::vector<const PanelWindow*> PanelRenderer::all_windows() const {
    std::vector<const PanelWindow*> all;
    for (const auto* list : {&cfg_.windows, &cfg_.virtual_cockpits}) {
        for (const PanelWindow& w : *list) all.push_back(&w);
    }
    return all;
}

int PanelRenderer::placement_number(const PanelGauge& entry, const Panel& panel) {
    if (!numbered_) {
        // The module's gauge names are the same for every panel loaded from
        // it, so that a renderer may outlive the panel it first numbered for.
        std::map<std::string, int> placed;
        for (const PanelWindow* window : all_windows()) {
            for (const PanelGauge& g : window->gauges) {
                if (g.after_gap || !names_module(g.module, module_path_)) continue;
                if (const GaugeHeader* header = find_gauge(panel, g.gauge)) {
                    placement_numbers_[&g] = ++placed[name_of(*header)];
                }
            }
        }
        numbered_ = true;
    }
    const auto it = placement_numbers_.find(&entry);
    return it != placement_numbers_.end() ? it->second : 0;
}

void PanelRenderer::set_placements(Panel& panel) {
    // Numbered anew: the panel.cfg may have changed since (an edited one).
    numbered_ = false;
    placement_numbers_.clear();
    std::map<std::string, int> placed;
    for (const PanelWindow* window : all_windows()) {
        for (const PanelGauge& g : window->gauges) {
            const Placement p = place(g, panel);
            if (p.header != nullptr && p.number <= max_placements) {
                placed[name_of(*p.header)] = std::max(placed[name_of(*p.header)], p.number);
            }
        }
    }
    for (const auto& [name, count] : placed) panel.set_placements(name, count);
}

std::vector<std::string> PanelRenderer::gauge_names(const Panel& panel) {
    std::vector<std::string> names;
    for (const PanelWindow* window : all_windows()) {
        for (const PanelGauge& g : window->gauges) {
            const Placement p = place(g, panel);
            if (p.header != nullptr && p.number <= max_placements && panel.gauge(p.instance) != nullptr) {
                names.push_back(p.instance);
            }
        }
    }
    return names;
}

void PanelRenderer::check(const Panel& panel, Diagnostics& said) {
    for (const PanelWindow* window : all_windows()) {
        const Size size = window_size(*window, panel);
        for (const PanelGauge& g : window->gauges) {
            if (g.after_gap) continue;
            if (names_module(g.module, module_path_) && find_gauge(panel, g.gauge) == nullptr) {
                said.report(Severity::problem, cfg_.file, g.line,
                            g.module + "!" + g.gauge + ": the module has no gauge named " + g.gauge +
                                "; drawn as an outline");
            }
            const Placement p = place(g, panel);
            if (p.number > max_placements) {
                said.report(Severity::problem, cfg_.file, g.line,
                            g.module + "!" + g.gauge + ": placement " + std::to_string(p.number) + " of " +
                                name_of(*p.header) + "; left out (at most " + std::to_string(max_placements) +
                                " placements of a gauge)");
            }
            if (!reaches_in(p, size)) {
                const int64_t w = static_cast<int64_t>(std::ceil(p.width)), h = static_cast<int64_t>(std::ceil(p.height));
                said.report(Severity::problem, cfg_.file, g.line,
                            g.key + " at " + std::to_string(g.x) + ", " + std::to_string(g.y) +
                                " lies outside its window of " + size_text(size.x, size.y) + "; left out (drawn " +
                                size_text(w, h) + ", it must reach into the window: x from " + std::to_string(1 - w) +
                                " to " + std::to_string(size.x - 1) + ", y from " + std::to_string(1 - h) + " to " +
                                std::to_string(size.y - 1) + ")");
            }
        }
    }
    for (const BackgroundProblem& p : background_problems_) said.report(Severity::problem, cfg_.file, p.line, p.message);
}

void PanelRenderer::notes(const Panel& panel, Diagnostics& said, const std::string& without_screen) {
    said.report(cfg_.notes);
    struct Other {
        std::string module;  // as first written
        int gauges = 0;
    };
    std::vector<Other> others;
    for (const PanelWindow* window : all_windows()) {
        const Size size = window_size(*window, panel);
        for (const PanelGauge& g : window->gauges) {
            if (g.after_gap || names_module(g.module, module_path_) || !reaches_in(place(g, panel), size)) continue;
            auto same = [&](const Other& o) { return ascii_lowercase(o.module) == ascii_lowercase(g.module); };
            auto it = std::find_if(others.begin(), others.end(), same);
            if (it == others.end()) it = others.insert(others.end(), {g.module, 0});
            ++it->gauges;
        }
    }
    for (const Other& o : others) {
        said.report(Severity::note, cfg_.file, 0,
                    o.module + ": " + std::to_string(o.gauges) +
                        (o.gauges == 1 ? " gauge drawn as an outline" : " gauges drawn as outlines") +
                        "; it is not the module loaded");
    }
    if (!has_screen()) {
        said.report(Severity::note, cfg_.file, 0,
                    "no window starts visible, " + without_screen + " (visible=1 puts a window on the screen)");
    }
}

bool PanelRenderer::fits(const Panel& panel, int scale, Diagnostics& said) {
    bool fits = true;
    auto too_large = [&](int line, const std::string& message) {
        said.report(Severity::unusable, cfg_.file, line, message);
        fits = false;
    };
    const std::string at_scale = " at scale " + std::to_string(scale);
    const std::string side_bound = "at most " + std::to_string(max_surface_side) + " a side";
    const double square = double(scale) * scale;
    const std::vector<ScreenWindow> layout = has_screen() ? screen_layout(panel) : std::vector<ScreenWindow>{};
    int64_t pixels = 0;
    double gauge_pixels = 0;
    for (const PanelWindow* window : all_windows()) {
        const Size size = window_size(*window, panel);
        const Size picture = picture_size(*window, panel);
        const double fx = double(picture.x) / size.x, fy = double(picture.y) / size.y;
        pixels += picture.x * picture.y * scale * scale;
        if (picture.x * scale > max_surface_side || picture.y * scale > max_surface_side) {
            too_large(window->line, window->title + " would be " + size_text(picture.x * scale, picture.y * scale) +
                                        " pixels" + at_scale + " (" + side_bound + ": a smaller " +
                                        (window->virtual_cockpit ? "pixel_size" : "size_mm") + ", background or --scale)");
        }
        // Drawn into its picture, and into the screen again when that shows it.
        double on_screen = 0;
        for (const ScreenWindow& s : layout) {
            if (s.window == window) on_screen = double(s.width) / size.x * double(s.height) / size.y;
        }
        for (const PanelGauge& g : window->gauges) {
            if (g.after_gap) continue;
            const Placement p = place(g, panel);
            const double w = std::ceil(p.width * fx) * scale, h = std::ceil(p.height * fy) * scale;
            if (w > max_surface_side || h > max_surface_side) {
                too_large(g.line, g.key + " would be drawn " +
                                      size_text(static_cast<int64_t>(w), static_cast<int64_t>(h)) + " pixels" +
                                      at_scale + " (" + side_bound + ": a smaller width, height or --scale)");
                continue;
            }
            const double shown = std::min(p.width, double(size.x)) * std::min(p.height, double(size.y)) * square;
            gauge_pixels += shown * (fx * fy + on_screen);
        }
    }
    if (has_screen()) {
        const Size screen = screen_size(panel);
        pixels += screen.x * screen.y * scale * scale;
        if (screen.x * scale > max_surface_side || screen.y * scale > max_surface_side) {
            too_large(0, "the screen of its visible windows would be " + size_text(screen.x * scale, screen.y * scale) +
                             " pixels" + at_scale + " (" + side_bound +
                             (placed_on_screen() ? ": a smaller --screen or --scale)"
                                                 : ": fewer or smaller windows side by side, or a smaller --scale)"));
        }
    }
    if (pixels > max_render_pixels) {
        too_large(0, "its windows and screen would take " + std::to_string(pixels) + " pixels" + at_scale +
                         " (at most " + std::to_string(max_render_pixels) + " a render)");
    }
    if (gauge_pixels > double(max_gauge_pixels)) {
        too_large(0, "its gauges would cover " + std::to_string(static_cast<int64_t>(gauge_pixels)) + " pixels" +
                         at_scale + " (at most " + std::to_string(max_gauge_pixels) + " a render)");
    }
    return fits;
}

const Picture* PanelRenderer::background(const PanelWindow& window) { return bitmap_file(window.bitmap(), window.line); }

const Picture* PanelRenderer::bitmap_file(const std::string& file, int line) {
    if (file.empty()) return nullptr;
    if (auto it = backgrounds_.find(file); it != backgrounds_.end()) return it->second.get();
    std::unique_ptr<Picture> picture;
    const std::string at = "background " + file + ": ";
    auto left_out = [&](const std::string& why) { background_problems_.push_back({line, at + why + "; left out"}); };
    std::string error;
    if (const auto bytes = files_ ? files_(file, error) : std::nullopt; !bytes) {
        left_out(error.empty() ? "cannot be read" : error);
    } else if (const BmpRead read = read_bmp(*bytes); !read.error.empty()) {
        left_out(read.error);
    } else if (const int64_t pixels = int64_t{read.image.width} * read.image.height;
               background_pixels_ + pixels > max_background_pixels) {
        background_problems_.push_back({line, at + "the panel's backgrounds would take more than " +
                                                         std::to_string(max_background_pixels) +
                                                         " pixels together; left out (at most " +
                                                         std::to_string(max_background_pixels) + ")"});
    } else if (picture = make_picture(read.image); !picture) {
        left_out("there is no memory to draw it");
    } else {
        background_pixels_ += pixels;
    }
    return backgrounds_.emplace(file, std::move(picture)).first->second.get();
}

PanelRenderer::Placement PanelRenderer::place(const PanelGauge& entry, const Panel& panel) {
    Placement p{
        .x = double(entry.x), .y = double(entry.y), .width = 0, .height = 0, .header = nullptr, .gauge = nullptr};
    const GaugeHeader* header = names_module(entry.module, module_path_) ? find_gauge(panel, entry.gauge) : nullptr;
    if (header == nullptr) {
        // Nothing says how big another module's gauge is: its own width and
        // height if the line gives them, else a small square.
        constexpr int unknown_side = 32;
        p.width = entry.width.value_or(entry.height.value_or(unknown_side));
        p.height = entry.height.value_or(entry.width.value_or(unknown_side));
        return p;
    }
    p.header = header;
    p.number = placement_number(entry, panel);
    p.instance = p.number <= 1 ? name_of(*header) : name_of(*header) + ":" + std::to_string(p.number);
    p.gauge = p.number <= max_placements ? panel.installed(p.instance) : nullptr;
    const PixPoint natural = gauges_.gauge_size(*header);
    const double sy_given = entry.height ? double(*entry.height) / natural.y : 0;
    const double sx = entry.width ? double(*entry.width) / natural.x : entry.height ? sy_given : 1.0;
    const double sy = entry.height ? sy_given : sx;
    p.width = natural.x * sx;
    p.height = natural.y * sy;
    return p;
}

bool PanelRenderer::reaches_in(const Placement& p, Size window) const {
    return p.x + p.width > 0 && p.y + p.height > 0 && p.x < double(window.x) && p.y < double(window.y);
}

PanelRenderer::Size PanelRenderer::window_size(const PanelWindow& window, const Panel& panel) {
    const Picture* bg = background(window);
    double right = 1, bottom = 1;
    for (const PanelGauge& g : window.gauges) {
        if (g.after_gap) continue;
        const Placement p = place(g, panel);
        right = std::max(right, p.x + p.width);
        bottom = std::max(bottom, p.y + p.height);
    }
    // Without size_mm, the bitmap's size, else the texture's pixels, else as
    // far as the gauges reach. Each number is bounded by the reader and the
    // bitmaps' bounds, far inside 64 bits.
    int64_t aspect_x = 0, aspect_y = 0;
    if (bg != nullptr) {
        aspect_x = bg->width;
        aspect_y = bg->height;
    } else if (window.pixel_width) {
        aspect_x = *window.pixel_width;
        aspect_y = window.pixel_height.value_or(*window.pixel_width);
    }
    const int64_t width = window.size_width.value_or(aspect_x > 0 ? aspect_x : static_cast<int64_t>(std::ceil(right)));
    int64_t height = static_cast<int64_t>(std::ceil(bottom));
    if (window.size_height) {
        height = *window.size_height;
    } else if (aspect_x > 0) {
        height = std::max<int64_t>(1, std::llround(double(aspect_y) * double(width) / double(aspect_x)));
    }
    return {width, height};
}

PanelRenderer::Size PanelRenderer::picture_size(const PanelWindow& window, const Panel& panel) {
    if (window.virtual_cockpit && window.pixel_width) {
        return {*window.pixel_width, window.pixel_height.value_or(*window.pixel_width)};
    }
    return window_size(window, panel);
}

void PanelRenderer::draw_window(cairo_t* cr, const PanelWindow& window, const Panel& panel) {
    const Size size = window_size(window, panel);
    // A texture is never clear: the simulator paints it black where nothing else is.
    // By night the window's night bitmap, drawn as made for the night, stands
    // in for its day one; else the day one is dimmed as the panel is.
    const Lighting& lighting = gauges_.lighting();
    const std::optional<Rgb> tint = lighting.tint(0);
    if (window.background_color || window.virtual_cockpit) {
        Rgb c = window.background_color.value_or(Rgb{});
        if (tint) {
            const uint32_t lit = tint_rgb(uint32_t{c.r} << 16 | uint32_t{c.g} << 8 | c.b, *tint);
            c = {.r = uint8_t(lit >> 16), .g = uint8_t(lit >> 8), .b = uint8_t(lit)};
        }
        cairo_set_source_rgb(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0);
        cairo_rectangle(cr, 0, 0, double(size.x), double(size.y));
        cairo_fill(cr);
    }
    const Picture* night_bg = lighting.night ? bitmap_file(window.night_bitmap(), window.line) : nullptr;
    if (const Picture* bg = night_bg != nullptr ? night_bg : lit_backgrounds_.get(background(window), tint)) {
        cairo_save(cr);
        cairo_scale(cr, double(size.x) / bg->width, double(size.y) / bg->height);
        cairo_set_source_surface(cr, bg->keyed.get(), 0, 0);
        // Stretched to the window, its edges stay whole rather than fade.
        cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
        cairo_rectangle(cr, 0, 0, bg->width, bg->height);
        cairo_fill(cr);
        cairo_restore(cr);
    }
    for (const PanelGauge& g : window.gauges) {
        if (g.after_gap) continue;
        const Placement p = place(g, panel);
        if (!reaches_in(p, size)) continue;
        cairo_save(cr);
        if (p.header == nullptr) {
            draw_outline(cr, p, g);
        } else if (p.gauge != nullptr) {
            const PixPoint natural = gauges_.gauge_size(*p.gauge->header);
            cairo_translate(cr, p.x, p.y);
            cairo_scale(cr, p.width / natural.x, p.height / natural.y);
            cairo_rectangle(cr, 0, 0, natural.x, natural.y);
            cairo_clip(cr);
            gauges_.draw(cr, panel, *p.gauge);
        }
        cairo_restore(cr);
    }
}

Surface PanelRenderer::render_window(const PanelWindow& window, const Panel& panel, int scale) {
    scale = std::max(1, scale);
    const Size size = window_size(window, panel);
    const Size picture = picture_size(window, panel);
    Surface surface = make_surface(static_cast<int>(picture.x * scale), static_cast<int>(picture.y * scale));
    Context cr(cairo_create(surface.get()));
    cairo_scale(cr.get(), double(picture.x) / size.x * scale, double(picture.y) / size.y * scale);
    draw_window(cr.get(), window, panel);
    cairo_surface_flush(surface.get());
    return surface;
}

bool PanelRenderer::has_screen() const {
    return std::any_of(cfg_.windows.begin(), cfg_.windows.end(), [this](const PanelWindow& w) { return shown(w); });
}

bool PanelRenderer::placed_on_screen() const {
    return std::any_of(cfg_.windows.begin(), cfg_.windows.end(), [this](const PanelWindow& w) {
        return shown(w) && (w.window_pos || w.window_size);
    });
}

std::vector<PanelRenderer::Row> PanelRenderer::screen_rows(const Panel& panel) {
    std::vector<Row> rows(3);
    for (const PanelWindow& w : cfg_.windows) {
        if (!shown(w)) continue;
        const int position = w.position < 0 ? 4 : w.position;
        rows[position / 3].windows.push_back(&w);
    }
    for (Row& row : rows) {
        std::stable_sort(row.windows.begin(), row.windows.end(), [](const PanelWindow* a, const PanelWindow* b) {
            return (a->position < 0 ? 1 : a->position % 3) < (b->position < 0 ? 1 : b->position % 3);
        });
        for (const PanelWindow* w : row.windows) {
            const Size size = window_size(*w, panel);
            row.width += size.x;
            row.height = std::max(row.height, size.y);
        }
    }
    return rows;
}

PanelRenderer::Size PanelRenderer::screen_size(const Panel& panel) {
    if (placed_on_screen()) return {screen_.width, screen_.height};
    Size size{1, 0};
    for (const Row& row : screen_rows(panel)) {
        size.x = std::max(size.x, row.width);
        size.y += row.height;
    }
    return {size.x, std::max<int64_t>(1, size.y)};
}

std::vector<PanelRenderer::ScreenWindow> PanelRenderer::screen_layout(const Panel& panel) {
    std::vector<ScreenWindow> layout;
    if (!placed_on_screen()) {
        const Size size = screen_size(panel);
        int64_t y = 0;
        for (const Row& row : screen_rows(panel)) {
            double x = double(size.x - row.width) / 2.0;
            for (const PanelWindow* w : row.windows) {
                const Size units = window_size(*w, panel);
                layout.push_back({w, static_cast<int64_t>(std::floor(x)), y, units.x, units.y});
                x += double(units.x);
            }
            y += row.height;
        }
        return layout;
    }
    std::vector<const PanelWindow*> visible;
    for (const PanelWindow& w : cfg_.windows) {
        if (shown(w)) visible.push_back(&w);
    }
    std::stable_sort(visible.begin(), visible.end(),
                     [](const PanelWindow* a, const PanelWindow* b) { return a->zorder < b->zorder; });
    const double screen_w = double(screen_.width), screen_h = double(screen_.height);
    for (const PanelWindow* w : visible) {
        const Size units = window_size(*w, panel);
        ScreenWindow s{w, 0, 0, units.x, units.y};
        if (w->window_size) {
            s.width = std::max<int64_t>(1, std::llround(w->window_size->x * screen_w));
            s.height = w->window_size->y ? std::max<int64_t>(1, std::llround(*w->window_size->y * screen_h))
                                         : std::max<int64_t>(1, std::llround(double(s.width) * units.y / units.x));
        }
        if (w->window_pos) {
            s.x = std::llround(w->window_pos->x * screen_w);
            s.y = std::llround(w->window_pos->y.value_or(0) * screen_h);
        } else {
            // By its position: left, centre or right; top, middle or bottom.
            const int position = w->position < 0 ? 4 : w->position;
            s.x = (screen_.width - s.width) * (position % 3) / 2;
            s.y = (screen_.height - s.height) * (position / 3) / 2;
        }
        layout.push_back(s);
    }
    return layout;
}

Surface PanelRenderer::render_screen(const Panel& panel, int scale) {
    scale = std::max(1, scale);
    const Size size = screen_size(panel);
    Surface surface = make_surface(static_cast<int>(size.x * scale), static_cast<int>(size.y * scale), true);
    Context cr(cairo_create(surface.get()));
    cairo_set_source_rgb(cr.get(), 0.07, 0.075, 0.08);
    cairo_paint(cr.get());
    cairo_scale(cr.get(), scale, scale);
    for (const ScreenWindow& s : screen_layout(panel)) {
        const Size units = window_size(*s.window, panel);
        cairo_save(cr.get());
        cairo_translate(cr.get(), double(s.x), double(s.y));
        cairo_rectangle(cr.get(), 0, 0, double(s.width), double(s.height));
        cairo_clip(cr.get());
        cairo_scale(cr.get(), double(s.width) / units.x, double(s.height) / units.y);
        draw_window(cr.get(), *s.window, panel);
        cairo_restore(cr.get());
    }
    cairo_surface_flush(surface.get());
    return surface;
}

std::vector<MappedGauge> PanelRenderer::mapped_gauges(const PanelWindow& window, const Panel& panel, double x,
                                                      double y, double scale_x, double scale_y) {
    std::vector<MappedGauge> mapped;
    const Size size = window_size(window, panel);
    for (const PanelGauge& g : window.gauges) {
        if (g.after_gap) continue;
        const Placement p = place(g, panel);
        if (p.gauge == nullptr || !reaches_in(p, size)) continue;  // not drawn either
        const PixPoint natural = gauges_.gauge_size(*p.header);
        mapped.push_back({.title = window.title + ": " + g.gauge + " (" + g.key + ")",
                          .header = p.header,
                          .instance = p.instance,
                          .size = natural,
                          .x = x + p.x * scale_x,
                          .y = y + p.y * scale_y,
                          .scale_x = p.width / natural.x * scale_x,
                          .scale_y = p.height / natural.y * scale_y});
    }
    return mapped;
}

std::vector<NamedPicture> PanelRenderer::render_pictures(const Panel& panel, int scale, bool areas) {
    scale = std::max(1, scale);
    std::vector<NamedPicture> pictures;
    auto add = [&](std::string name, Surface picture, const std::vector<MappedGauge>& gauges) {
        pictures.push_back({std::move(name), areas ? area_map(picture.get(), gauges) : std::move(picture)});
    };
    for (const PanelWindow* w : all_windows()) {
        const Size size = window_size(*w, panel), picture = picture_size(*w, panel);
        add((w->virtual_cockpit ? "vcockpit" : "window") + two_digits(w->number) + ".png",
            render_window(*w, panel, scale),
            mapped_gauges(*w, panel, 0, 0, double(picture.x) / size.x * scale, double(picture.y) / size.y * scale));
    }
    if (!has_screen()) return pictures;
    std::vector<MappedGauge> on_screen;
    for (const ScreenWindow& s : screen_layout(panel)) {
        const Size units = window_size(*s.window, panel);
        for (MappedGauge& g : mapped_gauges(*s.window, panel, double(s.x * scale), double(s.y * scale),
                                            double(s.width) / units.x * scale, double(s.height) / units.y * scale)) {
            on_screen.push_back(std::move(g));
        }
    }
    add("screen.png", render_screen(panel, scale), on_screen);
    return pictures;
}

std::optional<PanelRenderer::GaugePoint> PanelRenderer::gauge_under(const std::vector<MappedGauge>& gauges,
                                                                     const Panel& panel, double px, double py) {
    std::optional<GaugePoint> found;
    for (const MappedGauge& m : gauges) {
        const double gx = std::floor((px - m.x) / m.scale_x), gy = std::floor((py - m.y) / m.scale_y);
        if (gx < 0 || gy < 0 || gx >= m.size.x || gy >= m.size.y) continue;
        found = GaugePoint{panel.installed(m.instance), {static_cast<int32_t>(gx), static_cast<int32_t>(gy)}};
    }
    return found;
}

std::optional<PanelRenderer::GaugePoint> PanelRenderer::gauge_at(const Panel& panel, int x, int y, int scale) {
    scale = std::max(1, scale);
    const double px = x + 0.5, py = y + 0.5;
    std::optional<GaugePoint> found;
    for (const ScreenWindow& s : screen_layout(panel)) {
        const double left = double(s.x) * scale, top = double(s.y) * scale;
        if (px < left || py < top || px >= left + double(s.width) * scale || py >= top + double(s.height) * scale) {
            continue;  // each window clips its gauges
        }
        const Size units = window_size(*s.window, panel);
        const double scale_x = double(s.width) / units.x * scale, scale_y = double(s.height) / units.y * scale;
        // And covers the windows under it.
        found = gauge_under(mapped_gauges(*s.window, panel, left, top, scale_x, scale_y), panel, px, py);
    }
    return found;
}

std::optional<PanelRenderer::GaugePoint> PanelRenderer::gauge_at(const PanelWindow& window, const Panel& panel, int x,
                                                                 int y, int scale) {
    scale = std::max(1, scale);
    const Size size = window_size(window, panel), picture = picture_size(window, panel);
    const double px = x + 0.5, py = y + 0.5;
    if (px < 0 || py < 0 || px >= double(picture.x * scale) || py >= double(picture.y * scale)) return std::nullopt;
    return gauge_under(
        mapped_gauges(window, panel, 0, 0, double(picture.x) / size.x * scale, double(picture.y) / size.y * scale),
        panel, px, py);
}

}  // namespace panelhost
