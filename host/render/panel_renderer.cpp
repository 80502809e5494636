#include "host/render/panel_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>

#include "host/base/files.h"

namespace panelhost {

using namespace orvane;

namespace {
constexpr int largest_window = 8192;
}  // namespace

PanelFiles files_beside(const std::string& cfg_path) {
    const size_t slash = cfg_path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : cfg_path.substr(0, slash + 1);
    return [folder](const std::string& name) -> std::optional<std::vector<uint8_t>> {
        return read_file_bytes(name.starts_with('/') ? name : folder + name);
    };
}

BitmapLookup decode_bmp_file(const std::vector<uint8_t>& bytes) {
    constexpr size_t file_header = 14;
    if (bytes.size() < file_header + 40 || bytes[0] != 'B' || bytes[1] != 'M') return {BitmapError::bad_header, {}};
    uint32_t bits_at = 0, header_size = 0, colours_used = 0;
    std::memcpy(&bits_at, bytes.data() + 10, 4);
    std::memcpy(&header_size, bytes.data() + file_header, 4);
    std::memcpy(&colours_used, bytes.data() + file_header + 32, 4);
    const size_t palette_bytes = 4 * size_t{colours_used == 0 || colours_used > 256 ? 256u : colours_used};
    const size_t dib_head = size_t{header_size} + palette_bytes;
    if (header_size < 40 || bits_at < file_header + dib_head || bits_at > bytes.size()) {
        return {BitmapError::truncated, {}};
    }
    // The rows may start after a gap; the DIB decoder wants them right after the palette.
    std::vector<uint8_t> dib(bytes.begin() + file_header,
                             bytes.begin() + static_cast<std::ptrdiff_t>(file_header + dib_head));
    dib.insert(dib.end(), bytes.begin() + bits_at, bytes.end());
    return decode_dib(dib.data(), dib.size());
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

std::vector<std::string> PanelRenderer::check(const Panel& panel) {
    std::vector<std::string> problems;
    for (const PanelWindow& window : cfg_.windows) {
        if (!window.file.empty()) background(window);
        for (const PanelGauge& g : window.gauges) {
            const std::string where = cfg_.file + ":" + std::to_string(g.line) + ": " + g.module + "!" + g.gauge;
            if (!names_module(g.module, module_path_)) {
                problems.push_back(where + ": the module " + g.module + " is not the one loaded; drawn as an outline");
            } else if (panel.gauge(g.gauge) == nullptr) {
                problems.push_back(where + ": the module has no gauge named " + g.gauge + "; drawn as an outline");
            }
        }
    }
    for (const std::string& p : background_problems_) problems.push_back(p);
    return problems;
}

const Picture* PanelRenderer::background(const PanelWindow& window) {
    if (window.file.empty()) return nullptr;
    if (auto it = backgrounds_.find(window.file); it != backgrounds_.end()) return it->second.get();
    std::unique_ptr<Picture> picture;
    const std::string where = cfg_.file + ":" + std::to_string(window.line) + ": background " + window.file + ": ";
    if (const auto bytes = files_(window.file); !bytes) {
        background_problems_.push_back(where + "cannot be read");
    } else if (const BitmapLookup lookup = decode_bmp_file(*bytes); lookup.error != BitmapError::none) {
        background_problems_.push_back(where + describe(lookup.error));
    } else {
        picture = make_picture(lookup.bitmap);
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

PixPoint PanelRenderer::window_size(const PanelWindow& window, const Panel& panel) {
    const Picture* bg = background(window);
    double right = 1, bottom = 1;
    for (const PanelGauge& g : window.gauges) {
        const Placement p = place(g, panel);
        right = std::max(right, p.x + p.width);
        bottom = std::max(bottom, p.y + p.height);
    }
    const double extent_x = std::min(std::ceil(right), double(largest_window));
    const double extent_y = std::min(std::ceil(bottom), double(largest_window));
    const int width = window.size_width.value_or(bg != nullptr ? bg->width : static_cast<int>(extent_x));
    int height = static_cast<int>(extent_y);
    if (window.size_height) {
        height = *window.size_height;
    } else if (bg != nullptr) {
        height = static_cast<int>(std::min(std::lround(double(bg->height) * width / bg->width), long{largest_window}));
    }
    // A window no screen could show is drawn at the most a screen could.
    return {std::clamp(width, 1, largest_window), std::clamp(height, 1, largest_window)};
}

void PanelRenderer::draw_window(cairo_t* cr, const PanelWindow& window, const Panel& panel) {
    const PixPoint size = window_size(window, panel);
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
    const PixPoint size = window_size(window, panel);
    Surface surface = make_surface(size.x * scale, size.y * scale);
    Context cr(cairo_create(surface.get()));
    cairo_scale(cr.get(), scale, scale);
    draw_window(cr.get(), window, panel);
    cairo_surface_flush(surface.get());
    return surface;
}

std::vector<PanelRenderer::ScreenWindow> PanelRenderer::screen_layout(const Panel& panel) {
    struct Row {
        std::vector<const PanelWindow*> windows;
        int width = 0, height = 0;
    };
    Row rows[3];
    for (const PanelWindow& w : cfg_.windows) {
        if (!w.visible) continue;
        const int position = w.position < 0 ? 4 : w.position;
        rows[position / 3].windows.push_back(&w);
    }
    int width = 1;
    for (Row& row : rows) {
        std::stable_sort(row.windows.begin(), row.windows.end(), [](const PanelWindow* a, const PanelWindow* b) {
            return (a->position < 0 ? 1 : a->position % 3) < (b->position < 0 ? 1 : b->position % 3);
        });
        for (const PanelWindow* w : row.windows) {
            const PixPoint size = window_size(*w, panel);
            row.width += size.x;
            row.height = std::max(row.height, size.y);
        }
        width = std::max(width, row.width);
    }
    std::vector<ScreenWindow> layout;
    int y = 0;
    for (const Row& row : rows) {
        double x = (width - row.width) / 2.0;
        for (const PanelWindow* w : row.windows) {
            layout.push_back({w, static_cast<int>(std::floor(x)), y});
            x += window_size(*w, panel).x;
        }
        y += row.height;
    }
    return layout;
}

Surface PanelRenderer::render_screen(const Panel& panel, int scale) {
    scale = std::max(1, scale);
    int width = 1, height = 1;
    const std::vector<ScreenWindow> layout = screen_layout(panel);
    for (const ScreenWindow& s : layout) {
        const PixPoint size = window_size(*s.window, panel);
        width = std::max(width, s.x + size.x);
        height = std::max(height, s.y + size.y);
    }
    Surface surface = make_surface(width * scale, height * scale, true);
    Context cr(cairo_create(surface.get()));
    cairo_set_source_rgb(cr.get(), 0.07, 0.075, 0.08);
    cairo_paint(cr.get());
    cairo_scale(cr.get(), scale, scale);
    for (const ScreenWindow& s : layout) {
        const PixPoint size = window_size(*s.window, panel);
        cairo_save(cr.get());
        cairo_translate(cr.get(), s.x, s.y);
        cairo_rectangle(cr.get(), 0, 0, size.x, size.y);
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
    for (const PanelGauge& g : window.gauges) {
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
        const PixPoint size = window_size(*s.window, panel);
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
