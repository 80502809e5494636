#include "host/render/panel_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>

#include "host/base/files.h"
#include "host/render/bmp_file.h"

namespace panelhost {

using namespace orvane;

PanelFiles files_beside(const std::string& cfg_path) {
    const size_t slash = cfg_path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : cfg_path.substr(0, slash + 1);
    return [folder](const std::string& name, std::string& error) -> std::optional<std::vector<uint8_t>> {
        return read_file_bytes(name.starts_with('/') ? name : folder + name, &error, max_bmp_file_bytes);
    };
}

PanelRenderer::PanelRenderer(GaugeRenderer& gauges, const PanelConfig& cfg, std::string module_path, PanelFiles files)
    : gauges_(gauges), cfg_(cfg), module_path_(std::move(module_path)), files_(std::move(files)) {}

std::vector<std::string> PanelRenderer::gauge_names(const Panel& panel) const {
    std::vector<std::string> names;
    for (const PanelWindow& window : cfg_.windows) {
        for (const PanelGauge& g : window.gauges) {
            if (!names_module(g.module, module_path_) || panel.gauge(g.gauge) == nullptr) continue;
            if (std::find(names.begin(), names.end(), g.gauge) == names.end()) names.push_back(g.gauge);
        }
    }
    return names;
}

namespace {

std::string where(const PanelConfig& cfg, int line) { return cfg.file + ":" + std::to_string(line) + ": "; }

std::string size_text(int64_t x, int64_t y) { return std::to_string(x) + " x " + std::to_string(y); }

}  // namespace

std::vector<std::string> PanelRenderer::check(const Panel& panel) {
    std::vector<std::string> problems;
    for (const PanelWindow& window : cfg_.windows) {
        const Size size = window_size(window, panel);
        for (const PanelGauge& g : window.gauges) {
            const std::string at = where(cfg_, g.line) + g.module + "!" + g.gauge;
            if (!names_module(g.module, module_path_)) {
                problems.push_back(at + ": the module " + g.module + " is not the one loaded; drawn as an outline");
            } else if (panel.gauge(g.gauge) == nullptr) {
                problems.push_back(at + ": the module has no gauge named " + g.gauge + "; drawn as an outline");
            }
            if (!inside(g, size)) {
                problems.push_back(where(cfg_, g.line) + g.key + " at " + std::to_string(g.x) + ", " +
                                   std::to_string(g.y) + " lies outside its window of " + size_text(size.x, size.y) +
                                   "; left out (x from 0 to " + std::to_string(size.x - 1) + ", y from 0 to " +
                                   std::to_string(size.y - 1) + ")");
            }
        }
    }
    for (const std::string& p : background_problems_) problems.push_back(p);
    return problems;
}

std::vector<std::string> PanelRenderer::check_size(const Panel& panel, int scale) {
    std::vector<std::string> problems;
    const std::string at_scale = " at scale " + std::to_string(scale);
    const std::string side_bound = "at most " + std::to_string(max_surface_side) + " a side";
    int64_t pixels = 0, gauge_pixels = 0;
    for (const PanelWindow& window : cfg_.windows) {
        const Size size = window_size(window, panel);
        pixels += size.x * size.y * scale * scale;
        if (size.x * scale > max_surface_side || size.y * scale > max_surface_side) {
            problems.push_back(where(cfg_, window.line) + window.title + " would be " +
                               size_text(size.x * scale, size.y * scale) + " pixels" + at_scale + " (" + side_bound +
                               ": a smaller size_mm, background or --scale)");
        }
        for (const PanelGauge& g : window.gauges) {
            const Placement p = place(g, panel);
            const double w = std::ceil(p.width) * scale, h = std::ceil(p.height) * scale;
            if (w > max_surface_side || h > max_surface_side) {
                problems.push_back(where(cfg_, g.line) + g.key + " would be drawn " +
                                   size_text(static_cast<int64_t>(w), static_cast<int64_t>(h)) + " pixels" + at_scale +
                                   " (" + side_bound + ": a smaller width, height or --scale)");
                continue;
            }
            // Drawn into its window, and into the screen again when that shows it.
            const double shown_w = std::min(p.width, static_cast<double>(size.x)) * scale;
            const double shown_h = std::min(p.height, static_cast<double>(size.y)) * scale;
            gauge_pixels += static_cast<int64_t>(shown_w * shown_h) * (window.visible ? 2 : 1);
        }
    }
    const Size screen = screen_size(panel);
    pixels += screen.x * screen.y * scale * scale;
    if (screen.x * scale > max_surface_side || screen.y * scale > max_surface_side) {
        problems.push_back(cfg_.file + ": the screen of its visible windows would be " +
                           size_text(screen.x * scale, screen.y * scale) + " pixels" + at_scale + " (" + side_bound +
                           ": fewer or smaller windows side by side, or a smaller --scale)");
    }
    if (pixels > max_render_pixels) {
        problems.push_back(cfg_.file + ": its windows and screen would take " + std::to_string(pixels) + " pixels" +
                           at_scale + " (at most " + std::to_string(max_render_pixels) + " a render)");
    }
    if (gauge_pixels > max_gauge_pixels) {
        problems.push_back(cfg_.file + ": its gauges would cover " + std::to_string(gauge_pixels) + " pixels" +
                           at_scale + " (at most " + std::to_string(max_gauge_pixels) + " a render)");
    }
    return problems;
}

const Picture* PanelRenderer::background(const PanelWindow& window) {
    if (window.file.empty()) return nullptr;
    if (auto it = backgrounds_.find(window.file); it != backgrounds_.end()) return it->second.get();
    std::unique_ptr<Picture> picture;
    const std::string at = where(cfg_, window.line) + "background " + window.file + ": ";
    std::string error;
    if (const auto bytes = files_ ? files_(window.file, error) : std::nullopt; !bytes) {
        background_problems_.push_back(at + (error.empty() ? "cannot be read" : error) + "; left out");
    } else if (const BmpRead read = read_bmp(*bytes); !read.error.empty()) {
        background_problems_.push_back(at + read.error + "; left out");
    } else if (const int64_t pixels = int64_t{read.image.width} * read.image.height;
               background_pixels_ + pixels > max_background_pixels) {
        background_problems_.push_back(at + "the panel's backgrounds would take more than " +
                                       std::to_string(max_background_pixels) + " pixels together; left out (at most " +
                                       std::to_string(max_background_pixels) + ")");
    } else if (picture = make_picture(read.image); !picture) {
        background_problems_.push_back(at + "there is no memory to draw it; left out");
    } else {
        background_pixels_ += pixels;
    }
    return backgrounds_.emplace(window.file, std::move(picture)).first->second.get();
}

PanelRenderer::Placement PanelRenderer::place(const PanelGauge& entry, const Panel& panel) {
    Placement p{
        .x = double(entry.x), .y = double(entry.y), .width = 0, .height = 0, .header = nullptr, .gauge = nullptr};
    const GaugeHeader* header = names_module(entry.module, module_path_) ? panel.gauge(entry.gauge) : nullptr;
    if (header == nullptr) {
        // Nothing says how big a gauge the module lacks would be: its own
        // width and height if the line gives them, else a small square.
        constexpr int unknown_side = 32;
        p.width = entry.width.value_or(unknown_side);
        p.height = entry.height.value_or(entry.width.value_or(unknown_side));
        return p;
    }
    p.header = header;
    p.gauge = panel.installed(entry.gauge);
    const PixPoint natural = gauges_.gauge_size(*header);
    const double sx = entry.width ? double(*entry.width) / natural.x : 1.0;
    const double sy = entry.height ? double(*entry.height) / natural.y : sx;
    p.width = natural.x * sx;
    p.height = natural.y * sy;
    return p;
}

bool PanelRenderer::inside(const PanelGauge& entry, Size window) const {
    return entry.x >= 0 && entry.y >= 0 && entry.x < window.x && entry.y < window.y;
}

PanelRenderer::Size PanelRenderer::window_size(const PanelWindow& window, const Panel& panel) {
    const Picture* bg = background(window);
    double right = 1, bottom = 1;
    for (const PanelGauge& g : window.gauges) {
        const Placement p = place(g, panel);
        right = std::max(right, p.x + p.width);
        bottom = std::max(bottom, p.y + p.height);
    }
    // Each number is bounded by the reader and the bitmaps' bounds, far inside 64 bits.
    const int64_t width = window.size_width.value_or(bg != nullptr ? bg->width : static_cast<int64_t>(std::ceil(right)));
    int64_t height = static_cast<int64_t>(std::ceil(bottom));
    if (window.size_height) {
        height = *window.size_height;
    } else if (bg != nullptr) {
        height = std::max<int64_t>(1, std::llround(double(bg->height) * double(width) / bg->width));
    }
    return {width, height};
}

void PanelRenderer::draw_window(cairo_t* cr, const PanelWindow& window, const Panel& panel) {
    const Size size = window_size(window, panel);
    if (const Picture* bg = background(window)) {
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
        if (!inside(g, size)) continue;
        const Placement p = place(g, panel);
        cairo_save(cr);
        if (p.header == nullptr) {
            cairo_set_source_rgb(cr, 1, 0, 1);
            cairo_set_line_width(cr, 1);
            cairo_rectangle(cr, p.x + 0.5, p.y + 0.5, std::max(0.0, p.width - 1), std::max(0.0, p.height - 1));
            cairo_stroke(cr);
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
    Surface surface = make_surface(static_cast<int>(size.x * scale), static_cast<int>(size.y * scale));
    Context cr(cairo_create(surface.get()));
    cairo_scale(cr.get(), scale, scale);
    draw_window(cr.get(), window, panel);
    cairo_surface_flush(surface.get());
    return surface;
}

std::vector<PanelRenderer::Row> PanelRenderer::screen_rows(const Panel& panel) {
    std::vector<Row> rows(3);
    for (const PanelWindow& w : cfg_.windows) {
        if (!w.visible) continue;
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
    Size size{1, 0};
    for (const Row& row : screen_rows(panel)) {
        size.x = std::max(size.x, row.width);
        size.y += row.height;
    }
    return {size.x, std::max<int64_t>(1, size.y)};
}

std::vector<PanelRenderer::ScreenWindow> PanelRenderer::screen_layout(const Panel& panel) {
    const Size size = screen_size(panel);
    std::vector<ScreenWindow> layout;
    int64_t y = 0;
    for (const Row& row : screen_rows(panel)) {
        double x = double(size.x - row.width) / 2.0;
        for (const PanelWindow* w : row.windows) {
            layout.push_back({w, static_cast<int>(std::floor(x)), static_cast<int>(y)});
            x += double(window_size(*w, panel).x);
        }
        y += row.height;
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
        const Size window = window_size(*s.window, panel);
        cairo_save(cr.get());
        cairo_translate(cr.get(), s.x, s.y);
        cairo_rectangle(cr.get(), 0, 0, double(window.x), double(window.y));
        cairo_clip(cr.get());
        draw_window(cr.get(), *s.window, panel);
        cairo_restore(cr.get());
    }
    cairo_surface_flush(surface.get());
    return surface;
}

std::vector<MappedGauge> PanelRenderer::mapped_gauges(const PanelWindow& window, const Panel& panel, double x,
                                                      double y, int scale) {
    scale = std::max(1, scale);
    std::vector<MappedGauge> mapped;
    const Size size = window_size(window, panel);
    for (const PanelGauge& g : window.gauges) {
        if (!inside(g, size)) continue;  // left out of the drawing too
        const Placement p = place(g, panel);
        if (p.gauge == nullptr) continue;
        const PixPoint natural = gauges_.gauge_size(*p.header);
        mapped.push_back({.title = window.title + ": " + g.gauge + " (" + g.key + ")",
                          .header = p.header,
                          .size = natural,
                          .x = x + p.x * scale,
                          .y = y + p.y * scale,
                          .scale_x = p.width / natural.x * scale,
                          .scale_y = p.height / natural.y * scale});
    }
    return mapped;
}

std::optional<PanelRenderer::GaugePoint> PanelRenderer::gauge_at(const Panel& panel, int x, int y, int scale) {
    scale = std::max(1, scale);
    const double px = x + 0.5, py = y + 0.5;
    std::optional<GaugePoint> found;
    for (const ScreenWindow& s : screen_layout(panel)) {
        const Size size = window_size(*s.window, panel);
        const double left = double(s.x) * scale, top = double(s.y) * scale;
        if (px < left || py < top || px >= left + double(size.x) * scale || py >= top + double(size.y) * scale) {
            continue;  // each window clips its gauges
        }
        for (const MappedGauge& m : mapped_gauges(*s.window, panel, left, top, scale)) {
            const double gx = std::floor((px - m.x) / m.scale_x), gy = std::floor((py - m.y) / m.scale_y);
            if (gx < 0 || gy < 0 || gx >= m.size.x || gy >= m.size.y) continue;
            found = GaugePoint{panel.installed(m.header->gauge_name),
                               {static_cast<int32_t>(gx), static_cast<int32_t>(gy)}};
        }
    }
    return found;
}

}  // namespace panelhost
