#include "host/live/placing.h"

#include <algorithm>
#include <cmath>

namespace panelhost {

std::string PlacedGauge::label() const {
    return "Window" + std::string(window < 10 ? "0" : "") + std::to_string(window) + " " + key + " " + name;
}

ScreenPlaces screen_places(PanelRenderer& renderer, const Panel& panel, int scale) {
    ScreenPlaces places;
    scale = std::max(1, scale);
    for (const PanelRenderer::ScreenWindow& s : renderer.screen_layout(panel)) {
        const PanelRenderer::Size units = renderer.window_size(*s.window, panel);
        const PlacedWindow window{
            .number = s.window->number,
            .box = {double(s.x) * scale, double(s.y) * scale, double(s.width) * scale, double(s.height) * scale},
            .unit_x = double(s.width) / double(units.x) * scale,
            .unit_y = double(s.height) / double(units.y) * scale};
        places.windows.push_back(window);
        for (const PanelGauge& g : s.window->gauges) {
            if (g.after_gap) continue;
            const PanelRenderer::Placement p = renderer.place(g, panel);
            places.gauges.push_back({.window = window.number,
                                     .key = g.key,
                                     .number = g.number,
                                     .name = g.module + "!" + g.gauge,
                                     .place = {g.x, g.y, g.width, g.height},
                                     .width = p.width,
                                     .height = p.height,
                                     .box = {window.box.x + p.x * window.unit_x, window.box.y + p.y * window.unit_y,
                                             p.width * window.unit_x, p.height * window.unit_y},
                                     .window_box = window.box,
                                     .unit_x = window.unit_x,
                                     .unit_y = window.unit_y});
        }
    }
    return places;
}

const PlacedWindow* window_at(const ScreenPlaces& places, double x, double y) {
    for (auto it = places.windows.rbegin(); it != places.windows.rend(); ++it) {
        if (it->box.contains(x, y)) return &*it;
    }
    return nullptr;
}

std::optional<GaugeHit> gauge_hit(const ScreenPlaces& places, double x, double y, double grip_px) {
    const PlacedWindow* window = window_at(places, x, y);
    if (window == nullptr) return std::nullopt;
    for (size_t i = places.gauges.size(); i-- > 0;) {
        const PlacedGauge& g = places.gauges[i];
        if (g.window != window->number || !g.box.contains(x, y)) continue;
        // The nearer edge across and down, when within the grip of both.
        const double left = x - g.box.x, right = g.box.x + g.box.width - x;
        const double top = y - g.box.y, bottom = g.box.y + g.box.height - y;
        const bool near_x = std::min(left, right) < grip_px, near_y = std::min(top, bottom) < grip_px;
        Grip grip = Grip::body;
        if (near_x && near_y) {
            const bool at_left = left < right, at_top = top < bottom;
            grip = at_top ? (at_left ? Grip::top_left : Grip::top_right)
                          : (at_left ? Grip::bottom_left : Grip::bottom_right);
        }
        return GaugeHit{i, grip};
    }
    return std::nullopt;
}

LinePlace moved(const PlacedGauge& gauge, double dx, double dy) {
    LinePlace place = gauge.place;
    place.x += static_cast<int>(std::lround(dx / gauge.unit_x));
    place.y += static_cast<int>(std::lround(dy / gauge.unit_y));
    return place;
}

LinePlace resized(const PlacedGauge& gauge, Grip grip, double dx, double dy, bool free_aspect) {
    if (grip == Grip::body || gauge.width <= 0 || gauge.height <= 0) return moved(gauge, dx, dy);
    const bool left = grip == Grip::top_left || grip == Grip::bottom_left;
    const bool top = grip == Grip::top_left || grip == Grip::top_right;
    const double du = dx / gauge.unit_x, dv = dy / gauge.unit_y;
    double w = gauge.width + (left ? -du : du), h = gauge.height + (top ? -dv : dv);
    const double least = smallest_gauge_side;
    if (free_aspect) {
        w = std::max(w, least);
        h = std::max(h, least);
    } else {
        const double across = w / gauge.width, down = h / gauge.height;
        double s = std::abs(across - 1) >= std::abs(down - 1) ? across : down;
        s = std::max({s, least / gauge.width, least / gauge.height});
        w = gauge.width * s;
        h = gauge.height * s;
    }
    LinePlace place = gauge.place;
    // The opposite corner stays where it was.
    if (left) place.x = static_cast<int>(std::lround(gauge.place.x + gauge.width - w));
    if (top) place.y = static_cast<int>(std::lround(gauge.place.y + gauge.height - h));
    place.width = static_cast<int>(std::lround(w));
    place.height = static_cast<int>(std::lround(h));
    return place;
}

LinePlace nudged(LinePlace place, int dx, int dy) {
    place.x += dx;
    place.y += dy;
    return place;
}

LinePlace dropped(const PlacedWindow& window, double x, double y, double width, double height) {
    return {.x = static_cast<int>(std::lround((x - window.box.x) / window.unit_x - width / 2)),
            .y = static_cast<int>(std::lround((y - window.box.y) / window.unit_y - height / 2))};
}

// ---- the gesture ----

bool PlacingGesture::beyond_threshold(double x, double y) const {
    return std::hypot(x - x0_, y - y0_) >= drag_threshold_px;
}

LinePlace PlacingGesture::dragged_to(double x, double y, bool free_aspect) const {
    return resized(gauge_, grip_, x - x0_, y - y0_, free_aspect);
}

std::vector<GestureAction> PlacingGesture::press_gauge(const PlacedGauge& gauge, Grip grip, double x, double y,
                                                       double t) {
    state_ = State::pressed;
    gauge_ = gauge;
    grip_ = grip;
    x0_ = x;
    y0_ = y;
    t0_ = t;
    preview_.reset();
    return {{.kind = GestureAction::Kind::select, .gauge = gauge}};
}

void PlacingGesture::press_palette(size_t item, double width, double height, double x, double y) {
    state_ = State::palette_pressed;
    item_ = item;
    item_width_ = width;
    item_height_ = height;
    x0_ = x;
    y0_ = y;
    preview_.reset();
}

std::vector<GestureAction> PlacingGesture::motion(double x, double y, bool free_aspect) {
    using Kind = GestureAction::Kind;
    switch (state_) {
    case State::pressed:
        if (!beyond_threshold(x, y)) return {};
        state_ = State::dragging;
        [[fallthrough]];
    case State::dragging: {
        const LinePlace place = dragged_to(x, y, free_aspect);
        if (preview_ == place) return {};
        preview_ = place;
        return {{.kind = Kind::preview, .gauge = gauge_, .place = place}};
    }
    case State::palette_pressed:
        if (!beyond_threshold(x, y)) return {};
        state_ = State::palette_drag;
        [[fallthrough]];
    case State::palette_drag: return {{.kind = Kind::palette_ghost, .x = x, .y = y, .palette_item = item_}};
    default: return {};
    }
}

std::vector<GestureAction> PlacingGesture::tick(double t) {
    if (state_ != State::pressed || t - t0_ < hold_before_working_s) return {};
    state_ = State::holding;
    return {{.kind = GestureAction::Kind::work_press, .gauge = gauge_, .x = x0_, .y = y0_}};
}

std::vector<GestureAction> PlacingGesture::release(const ScreenPlaces& places, double x, double y,
                                                   bool free_aspect) {
    using Kind = GestureAction::Kind;
    const State state = state_;
    state_ = State::idle;
    preview_.reset();
    switch (state) {
    case State::pressed:
        return {{.kind = Kind::work_press, .gauge = gauge_, .x = x0_, .y = y0_},
                {.kind = Kind::work_release, .gauge = gauge_}};
    case State::holding: return {{.kind = Kind::work_release, .gauge = gauge_}};
    case State::dragging: {
        const LinePlace place = dragged_to(x, y, free_aspect);
        if (place == gauge_.place) return {{.kind = Kind::cancel, .gauge = gauge_}};
        return {{.kind = Kind::place, .gauge = gauge_, .place = place}};
    }
    case State::palette_drag:
        if (const PlacedWindow* window = window_at(places, x, y)) {
            return {{.kind = Kind::add,
                     .place = dropped(*window, x, y, item_width_, item_height_),
                     .window = window->number,
                     .palette_item = item_}};
        }
        return {{.kind = Kind::cancel}};
    default: return {};
    }
}

}  // namespace panelhost
