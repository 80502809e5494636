#include "host/live/panel_editing.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "host/base/text_format.h"
#include "host/render/fonts.h"

namespace panelhost {

using namespace orvane;

namespace {

// What was just done shows in the strip this long.
constexpr double notice_s = 4.0;

std::string name_of(const GaugeHeader& header) {
    return std::string(header.gauge_name, strnlen(header.gauge_name, max_gauge_name_length));
}

void rectangle(cairo_t* cr, const PixelBox& b, double inset) {
    cairo_rectangle(cr, b.x + inset, b.y + inset, std::max(0.0, b.width - 2 * inset),
                    std::max(0.0, b.height - 2 * inset));
}

}  // namespace

PanelEditing::PanelEditing(PanelDocument& document, LiveFlight& live) : document_(document), live_(live) {
    // New lines name the module as the panel's own lines do.
    for (const PanelWindow& w : document_.config().windows) {
        for (const PanelGauge& g : w.gauges) {
            if (module_.empty() && names_module(g.module, live_.module_path())) module_ = g.module;
        }
    }
    if (module_.empty()) {
        std::string base = live_.module_path().substr(live_.module_path().find_last_of("/\\") + 1);
        module_ = base.substr(0, base.rfind('.'));
    }
    for (const GaugeHeader* header : live_.panel().gauges()) {
        if (header == nullptr || header->gauge_name == nullptr) continue;
        const PixPoint size = live_.renderer().gauge_size(*header);
        palette_.push_back({name_of(*header), double(size.x), double(size.y)});
    }
    live_.set_panel(document_.config());
    refresh_places();
}

void PanelEditing::toggle_placing() {
    if (gesture_.active()) return;
    placing_ = !placing_;
    hover_.reset();
    ghost_.reset();
}

void PanelEditing::refresh_places() { places_ = screen_places(live_.panel_renderer(), live_.panel(), live_.scale()); }

std::optional<GaugeRef> PanelEditing::ref_of(const PlacedGauge& g) const {
    return GaugeRef{.window = {.virtual_cockpit = false, .number = g.window}, .number = g.number};
}

const PlacedGauge* PanelEditing::placed(const GaugeRef& ref) const {
    for (const PlacedGauge& g : places_.gauges) {
        if (!ref.window.virtual_cockpit && g.window == ref.window.number && g.number == ref.number) return &g;
    }
    return nullptr;
}

// ---- the pointer ----

void PanelEditing::press(double x, double y, double t) {
    last_t_ = t;
    if (question_ != Question::none || gesture_.active()) return;
    if (const std::optional<size_t> item = palette_item_at(x, y)) {
        const PaletteItem& p = palette_[*item];
        gesture_.press_palette(*item, p.width, p.height, x, y);
        return;
    }
    const std::optional<GaugeHit> hit = gauge_hit(places_, x, y, corner_grip * live_.scale());
    if (!hit) {
        selected_.reset();
        return;
    }
    act(gesture_.press_gauge(places_.gauges[hit->index], hit->grip, x, y, t), t);
}

void PanelEditing::motion(double x, double y, bool free_aspect) {
    pointer_x_ = x;
    pointer_y_ = y;
    pointer_in_ = true;
    if (!gesture_.dragging()) hover_ = gauge_hit(places_, x, y, corner_grip * live_.scale());
    act(gesture_.motion(x, y, free_aspect), last_t_);
}

void PanelEditing::release(double x, double y, bool free_aspect, double t) {
    last_t_ = t;
    act(gesture_.release(places_, x, y, free_aspect), t);
    hover_ = gauge_hit(places_, x, y, corner_grip * live_.scale());
}

void PanelEditing::tick(double t) {
    last_t_ = t;
    // A restart draws the panel with a renderer of its own.
    refresh_places();
    act(gesture_.tick(t), t);
}

void PanelEditing::leave() {
    pointer_in_ = false;
    hover_.reset();
}

void PanelEditing::act(const std::vector<GestureAction>& actions, double t) {
    using Kind = GestureAction::Kind;
    for (const GestureAction& a : actions) {
        const std::optional<GaugeRef> ref = ref_of(a.gauge);
        std::string error;
        switch (a.kind) {
        case Kind::select: selected_ = ref; break;
        case Kind::work_press:
            live_.press(t, static_cast<int>(a.x), static_cast<int>(a.y), Button::left);
            break;
        case Kind::work_release: live_.release(t); break;
        case Kind::preview:
            live_.show_place(a.gauge.window, a.gauge.number, a.place);
            refresh_places();
            break;
        case Kind::place: {
            std::optional<std::pair<int, int>> position, size;
            if (a.place.x != a.gauge.place.x || a.place.y != a.gauge.place.y) position = {a.place.x, a.place.y};
            if (a.place.width && a.place.height &&
                (a.place.width != a.gauge.place.width || a.place.height != a.gauge.place.height)) {
                size = {*a.place.width, *a.place.height};
            }
            if ((position || size) && !document_.place(*ref, position, size, &error)) notice(error);
            changed();
            break;
        }
        case Kind::palette_ghost: ghost_ = a.palette_item; break;
        case Kind::add: {
            ghost_.reset();
            GaugeRef added;
            const NewGauge line{.module = module_, .gauge = palette_[a.palette_item].gauge, .x = a.place.x,
                                .y = a.place.y};
            if (document_.add({.virtual_cockpit = false, .number = a.window}, line, &added, &error)) {
                selected_ = added;
                notice("added " + gauge_name(added));
                changed();
            } else {
                notice(error);
            }
            break;
        }
        case Kind::cancel:
            ghost_.reset();
            changed();
            break;
        case Kind::none: break;
        }
    }
}

void PanelEditing::changed() {
    live_.set_panel(document_.config());
    refresh_places();
    if (selected_ && document_.find(*selected_) == nullptr) selected_.reset();
}

// ---- the keys ----

void PanelEditing::nudge(int dx, int dy) {
    if (!selected_ || gesture_.active()) return;
    const PanelGauge* g = document_.find(*selected_);
    std::string error;
    if (g == nullptr) return;
    if (!document_.move(*selected_, g->x + dx, g->y + dy, &error)) {
        notice(error);
        return;
    }
    changed();
}

void PanelEditing::remove_selected() {
    if (!selected_ || gesture_.active()) return;
    std::string error;
    const GaugeRef gone = *selected_;
    if (!document_.remove(gone, &error)) {
        notice(error);
        return;
    }
    selected_.reset();
    notice("removed " + gauge_name(gone) + "; the window's gauges after it are numbered down");
    changed();
}

void PanelEditing::undo() {
    if (gesture_.active()) return;
    if (!document_.undo()) {
        notice("nothing to undo");
        return;
    }
    notice("undone");
    changed();
}

void PanelEditing::redo() {
    if (gesture_.active()) return;
    if (!document_.redo()) {
        notice("nothing to redo");
        return;
    }
    notice("redone");
    changed();
}

void PanelEditing::save(bool quit_after) {
    std::string message;
    switch (document_.save(&message)) {
    case SaveResult::saved:
    case SaveResult::nothing_to_save:
        notice(message);
        if (quit_after) quitting_ = true;
        break;
    case SaveResult::changed_on_disk:
        question_ = Question::changed_on_disk;
        quit_after_save_ = quit_after;
        notice(message);
        break;
    case SaveResult::failed: notice(message); break;
    }
}

bool PanelEditing::may_quit() {
    if (!document_.unsaved()) return true;
    question_ = Question::unsaved_on_quit;
    return false;
}

void PanelEditing::answer_save() {
    if (question_ != Question::unsaved_on_quit) return;
    question_ = Question::none;
    save(true);
}

void PanelEditing::answer_discard() {
    if (question_ != Question::unsaved_on_quit) return;
    question_ = Question::none;
    quitting_ = true;
}

void PanelEditing::answer_overwrite() {
    if (question_ != Question::changed_on_disk) return;
    question_ = Question::none;
    std::string message;
    const SaveResult result = document_.save(&message, true);
    notice(message);
    if (result == SaveResult::saved && quit_after_save_) quitting_ = true;
}

void PanelEditing::answer_cancel() {
    question_ = Question::none;
    quit_after_save_ = false;
}

// ---- what is shown ----

int32_t PanelEditing::cursor() const {
    if (!placing_ || !pointer_in_) return CURSOR_NONE;
    if (ghost_ || palette_item_at(pointer_x_, pointer_y_)) return cursor_palette;
    if (!hover_) return CURSOR_NONE;
    switch (hover_->grip) {
    case Grip::top_left:
    case Grip::bottom_right: return cursor_resize_down;
    case Grip::top_right:
    case Grip::bottom_left: return cursor_resize_up;
    default: return cursor_move;
    }
}

PixelBox PanelEditing::palette_box(size_t item) const {
    const double scale = live_.scale();
    const double cell = palette_cell * scale, gap = palette_gap * scale, row = cell + palette_label * scale + gap;
    const size_t per_row = std::max<size_t>(1, static_cast<size_t>((palette_width_ - gap) / (cell + gap)));
    return {gap + double(item % per_row) * (cell + gap), palette_top_ + gap + double(item / per_row) * row, cell,
            cell};
}

int PanelEditing::palette_height(int width) const {
    const int scale = live_.scale();
    const int cell = palette_cell * scale, gap = palette_gap * scale;
    const size_t per_row = std::max(1, (width - gap) / (cell + gap));
    const size_t rows = std::max<size_t>(1, (palette_.size() + per_row - 1) / per_row);
    return static_cast<int>(rows) * (cell + palette_label * scale + gap) + gap;
}

std::optional<size_t> PanelEditing::palette_item_at(double x, double y) const {
    if (palette_width_ == 0 || y < palette_top_) return std::nullopt;
    for (size_t i = 0; i < palette_.size(); ++i) {
        if (palette_box(i).contains(x, y)) return i;
    }
    return std::nullopt;
}

void PanelEditing::draw_over_screen(cairo_t* cr) {
    if (!placing_) return;
    const double scale = live_.scale();
    const ResolvedFace& face = live_.renderer().fonts().fallback(false);
    if (face.face) cairo_set_font_face(cr, face.face.get());
    cairo_set_font_size(cr, 10.0 * scale);
    auto outline = [&](const PlacedGauge& g, double r, double gr, double b, bool grips) {
        cairo_save(cr);
        rectangle(cr, g.window_box, 0);
        cairo_clip(cr);
        cairo_set_source_rgb(cr, r, gr, b);
        cairo_set_line_width(cr, scale);
        rectangle(cr, g.box, scale / 2);
        cairo_stroke(cr);
        if (grips) {
            const double side = corner_grip * scale;
            for (const double gx : {g.box.x, g.box.x + g.box.width - side}) {
                for (const double gy : {g.box.y, g.box.y + g.box.height - side}) cairo_rectangle(cr, gx, gy, side, side);
            }
            cairo_fill(cr);
        }
        cairo_restore(cr);
    };
    auto tag = [&](const PlacedGauge& g) {
        const std::string text = windows_text_utf8(g.label());
        cairo_text_extents_t e;
        cairo_text_extents(cr, text.c_str(), &e);
        const double h = 14 * scale, w = e.x_advance + 8 * scale;
        const double right = cairo_image_surface_get_width(cairo_get_target(cr));
        const double x = std::max(0.0, std::min(g.box.x, right - w)), y = g.box.y - h >= 0 ? g.box.y - h : g.box.y;
        cairo_set_source_rgba(cr, 0, 0, 0, 0.75);
        cairo_rectangle(cr, x, y, w, h);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 1, 0.9, 0.2);
        cairo_move_to(cr, x + 4 * scale, y + 10.5 * scale);
        cairo_show_text(cr, text.c_str());
    };
    const PlacedGauge* selected = selected_ ? placed(*selected_) : nullptr;
    const PlacedGauge* hovered = hover_ && hover_->index < places_.gauges.size() ? &places_.gauges[hover_->index] : nullptr;
    if (gesture_.dragging() && selected != nullptr) hovered = selected;
    if (selected != nullptr) outline(*selected, 0.2, 0.85, 1.0, true);
    if (hovered != nullptr && hovered != selected) outline(*hovered, 1.0, 0.9, 0.2, false);
    if (hovered != nullptr) {
        tag(*hovered);
    } else if (selected != nullptr) {
        tag(*selected);
    }
    if (ghost_ && pointer_in_) {
        const PaletteItem& p = palette_[*ghost_];
        const PlacedWindow* w = window_at(places_, pointer_x_, pointer_y_);
        const double ux = w ? w->unit_x : scale, uy = w ? w->unit_y : scale;
        const PixelBox box{pointer_x_ - p.width * ux / 2, pointer_y_ - p.height * uy / 2, p.width * ux, p.height * uy};
        cairo_set_source_rgba(cr, 1, 0, 1, w ? 0.9 : 0.4);
        cairo_set_line_width(cr, scale);
        const double dash = 4 * scale;
        cairo_set_dash(cr, &dash, 1, 0);
        rectangle(cr, box, scale / 2);
        cairo_stroke(cr);
        cairo_set_dash(cr, nullptr, 0, 0);
        cairo_move_to(cr, box.x + 4 * scale, box.y + 12 * scale);
        cairo_show_text(cr, windows_text_utf8(module_ + "!" + p.gauge).c_str());
    }
}

void PanelEditing::draw_palette(cairo_t* cr, double top, int width) {
    palette_top_ = top;
    const int height = palette_height(width);
    // Drawn anew a few times a second: the gauges there change slowly, and
    // every frame of a drag is spared their drawing.
    if (!palette_picture_ || width != palette_width_ || last_t_ - palette_drawn_at_ >= palette_redraw_s ||
        last_t_ < palette_drawn_at_) {
        palette_width_ = width;
        palette_drawn_at_ = last_t_;
        palette_picture_ = make_surface(width, height, true);
        Context pc(cairo_create(palette_picture_.get()));
        cairo_translate(pc.get(), 0, -top);
        draw_palette_items(pc.get(), top, width, height);
    }
    cairo_save(cr);
    cairo_set_source_surface(cr, palette_picture_.get(), 0, top);
    cairo_paint(cr);
    cairo_restore(cr);
}

void PanelEditing::draw_palette_items(cairo_t* cr, double top, int width, int height) {
    const double scale = live_.scale();
    cairo_rectangle(cr, 0, top, width, height);
    cairo_set_source_rgb(cr, 0.17, 0.18, 0.2);
    cairo_fill(cr);
    const ResolvedFace& face = live_.renderer().fonts().fallback(false);
    if (face.face) cairo_set_font_face(cr, face.face.get());
    cairo_set_font_size(cr, 10.0 * scale);
    const Panel& panel = live_.panel();
    for (size_t i = 0; i < palette_.size(); ++i) {
        const PaletteItem& p = palette_[i];
        const PixelBox cell = palette_box(i);
        // A panel's grey, which the gauges' clear parts show as on a panel.
        cairo_set_source_rgb(cr, 0.36, 0.38, 0.4);
        rectangle(cr, cell, 0);
        cairo_fill(cr);
        // The gauge itself as it now shows, fitted to its cell.
        const double fit = std::min(cell.width / p.width, cell.height / p.height);
        const double w = p.width * fit, h = p.height * fit;
        cairo_save(cr);
        cairo_translate(cr, cell.x + (cell.width - w) / 2, cell.y + (cell.height - h) / 2);
        cairo_scale(cr, fit, fit);
        cairo_rectangle(cr, 0, 0, p.width, p.height);
        cairo_clip(cr);
        if (const InstalledGauge* g = panel.installed(p.gauge)) live_.renderer().draw(cr, panel, *g);
        cairo_restore(cr);
        cairo_set_source_rgb(cr, 0.85, 0.87, 0.8);
        cairo_move_to(cr, cell.x, cell.y + cell.height + 11 * scale);
        cairo_show_text(cr, windows_text_utf8(p.gauge).c_str());
    }
}

std::string PanelEditing::status(double now) const {
    const std::string& path = document_.path();
    if (question_ == Question::unsaved_on_quit) {
        return "Unsaved changes to " + path + ": S saves and quits, D discards them and quits, Escape goes back";
    }
    if (question_ == Question::changed_on_disk) {
        return path + " changed on disk since it was read: O overwrites it, Escape goes back (not saved)";
    }
    std::string line = std::string(document_.unsaved() ? "* " : "") + (placing_ ? "PLACING  " : "FLYING (Tab places)  ");
    if (!notice_.text.empty() && now - notice_.at < notice_s) return line + notice_.text;
    if (const std::optional<LinePlace> to = gesture_.preview(); to && selected_) {
        const PanelGauge* g = document_.find(*selected_);
        line += gauge_name(*selected_) + (g ? " " + windows_text_utf8(g->module + "!" + g->gauge) : "") + " to " +
                std::to_string(to->x) + ", " + std::to_string(to->y);
        if (to->width && to->height) line += ", " + std::to_string(*to->width) + " x " + std::to_string(*to->height);
        return line;
    }
    if (const PanelGauge* g = selected_ ? document_.find(*selected_) : nullptr) {
        return line + window_name(selected_->window) + ": " + windows_text_utf8(g->text);
    }
    return line + "drag a gauge to move it, a corner to size it, the palette's onto a window to add; Ctrl+S saves";
}

}  // namespace panelhost
