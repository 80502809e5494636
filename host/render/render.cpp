#include "host/render/render.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "host/base/files.h"
#include "host/panel/geometry.h"

namespace panelhost {

using namespace orvane;

Surface make_surface(int width, int height, bool opaque) {
    return Surface(cairo_image_surface_create(opaque ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32, std::max(1, width),
                                              std::max(1, height)));
}

// ---- bitmaps ----

std::unique_ptr<Picture> make_picture(const RgbImage& image) {
    if (image.width < 1 || image.height < 1 || image.width > max_surface_side || image.height > max_surface_side) {
        return nullptr;
    }
    auto p = std::make_unique<Picture>();
    p->width = image.width;
    p->height = image.height;
    p->opaque = make_surface(image.width, image.height);
    p->keyed = make_surface(image.width, image.height);
    p->black = Surface(cairo_image_surface_create(CAIRO_FORMAT_A8, image.width, image.height));
    for (cairo_surface_t* surface : {p->opaque.get(), p->keyed.get(), p->black.get()}) {
        // A surface Cairo could not make has no pixels to write.
        if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) return nullptr;
        cairo_surface_flush(surface);
    }
    unsigned char* opaque = cairo_image_surface_get_data(p->opaque.get());
    unsigned char* keyed = cairo_image_surface_get_data(p->keyed.get());
    unsigned char* black = cairo_image_surface_get_data(p->black.get());
    const size_t stride = static_cast<size_t>(cairo_image_surface_get_stride(p->opaque.get()));
    const size_t mask_stride = static_cast<size_t>(cairo_image_surface_get_stride(p->black.get()));
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const uint32_t rgb = image.at(x, y);
            const uint32_t argb = 0xFF000000u | rgb;
            const bool clear = rgb == 0;  // pure black
            const uint32_t keyed_argb = clear ? 0u : argb;
            std::memcpy(opaque + y * stride + 4 * static_cast<size_t>(x), &argb, 4);
            std::memcpy(keyed + y * stride + 4 * static_cast<size_t>(x), &keyed_argb, 4);
            black[y * mask_stride + static_cast<size_t>(x)] = clear ? 0xFF : 0x00;
        }
    }
    cairo_surface_mark_dirty(p->opaque.get());
    cairo_surface_mark_dirty(p->keyed.get());
    cairo_surface_mark_dirty(p->black.get());
    return p;
}

std::unique_ptr<Picture> make_picture(const Bitmap& bitmap) {
    RgbImage image{.width = bitmap.width, .height = bitmap.height, .pixels = {}};
    image.pixels.reserve(static_cast<size_t>(bitmap.width) * static_cast<size_t>(bitmap.height));
    for (int y = 0; y < bitmap.height; ++y) {
        for (int x = 0; x < bitmap.width; ++x) {
            const PaletteColour c = bitmap.colour_at(x, y);
            image.pixels.push_back(uint32_t{c.r} << 16 | uint32_t{c.g} << 8 | c.b);
        }
    }
    return make_picture(image);
}

std::unique_ptr<Picture> tinted_picture(const Picture& picture, Rgb tint) {
    auto p = std::make_unique<Picture>();
    p->width = picture.width;
    p->height = picture.height;
    p->opaque = copy_of(picture.opaque.get());
    p->keyed = copy_of(picture.keyed.get());
    p->black = copy_of(picture.black.get());
    for (cairo_surface_t* surface : {p->opaque.get(), p->keyed.get(), p->black.get()}) {
        if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) return nullptr;
        cairo_surface_flush(surface);
    }
    // Their alpha is all or nothing, so the premultiplied channels are the colours.
    for (cairo_surface_t* surface : {p->opaque.get(), p->keyed.get()}) {
        unsigned char* data = cairo_image_surface_get_data(surface);
        const size_t stride = static_cast<size_t>(cairo_image_surface_get_stride(surface));
        for (int y = 0; y < p->height; ++y) {
            for (int x = 0; x < p->width; ++x) {
                uint32_t argb;
                std::memcpy(&argb, data + y * stride + 4 * static_cast<size_t>(x), 4);
                argb = (argb & 0xFF000000u) | tint_rgb(argb & 0xFFFFFF, tint);
                std::memcpy(data + y * stride + 4 * static_cast<size_t>(x), &argb, 4);
            }
        }
        cairo_surface_mark_dirty(surface);
    }
    return p;
}

const Picture* TintedPictures::get(const Picture* picture, std::optional<Rgb> tint) {
    if (picture == nullptr || !tint) return picture;
    const uint32_t colour = uint32_t{tint->r} << 16 | uint32_t{tint->g} << 8 | tint->b;
    const auto key = std::make_pair(picture, colour);
    if (auto it = made_.find(key); it != made_.end()) return it->second.get();
    return made_.emplace(key, tinted_picture(*picture, *tint)).first->second.get();
}

namespace {

// An image placed at x, y in the current user space, drawn pixel for pixel
// unless the element asks for smoothing.
void paint_image(cairo_t* cr, cairo_surface_t* image, double x, double y, cairo_filter_t filter) {
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(image);
    cairo_matrix_t m;
    cairo_matrix_init_translate(&m, -x, -y);
    cairo_pattern_set_matrix(pattern, &m);
    cairo_pattern_set_filter(pattern, filter);
    cairo_set_source(cr, pattern);
    cairo_rectangle(cr, x, y, cairo_image_surface_get_width(image), cairo_image_surface_get_height(image));
    cairo_fill(cr);
    cairo_pattern_destroy(pattern);
}

cairo_filter_t filter_for(uint32_t image_flags) {
    return (image_flags & IMAGE_BILINEAR_COLOR) != 0 ? CAIRO_FILTER_BILINEAR : CAIRO_FILTER_NEAREST;
}

// The host places bitmaps on whole pixels; an offset beyond any panel's
// size leaves the bitmap out of sight, wherever exactly.
double whole(double pixels) { return std::floor(std::clamp(pixels, -1e6, 1e6) + 0.5); }

// Far beyond any gauge's bitmap; a larger one is not drawn rather than
// taking gigabytes.
constexpr int64_t largest_picture = 4096 * 4096;

void set_colour(cairo_t* cr, uint32_t colorref) {
    cairo_set_source_rgb(cr, (colorref & 0xFF) / 255.0, ((colorref >> 8) & 0xFF) / 255.0,
                         ((colorref >> 16) & 0xFF) / 255.0);
}

}  // namespace

const Picture* GaugeArt::picture(int32_t id) {
    if (auto it = pictures_.find(id); it != pictures_.end()) return it->second.get();
    const BitmapLookup lookup = load_bitmap(module_, id);
    std::unique_ptr<Picture> p;
    if (lookup.error == BitmapError::none &&
        int64_t{lookup.bitmap.width} * lookup.bitmap.height > largest_picture) {
        reports_.push_back("bitmap " + std::to_string(id) + ": " + std::to_string(lookup.bitmap.width) + " x " +
                           std::to_string(lookup.bitmap.height) + " pixels is too large to draw");
    } else if (lookup.error == BitmapError::none) {
        p = make_picture(lookup.bitmap);
        if (!p) {
            reports_.push_back("bitmap " + std::to_string(id) + ": " + std::to_string(lookup.bitmap.width) + " x " +
                               std::to_string(lookup.bitmap.height) + " pixels cannot be drawn (at most " +
                               std::to_string(max_surface_side) + " a side)");
        }
    } else {
        reports_.push_back("bitmap " + std::to_string(id) + ": " + describe(lookup.error));
    }
    return pictures_.emplace(id, std::move(p)).first->second.get();
}

std::optional<PixPoint> GaugeArt::size(int32_t id) {
    const Picture* p = picture(id);
    if (p == nullptr) return std::nullopt;
    return PixPoint{p->width, p->height};
}

// ---- gauges ----

BitmapSizes GaugeRenderer::bitmap_sizes() {
    return [this](int32_t id) { return art_.size(id); };
}

PixPoint GaugeRenderer::gauge_size(const GaugeHeader& gauge) {
    const int32_t side = static_cast<int32_t>(std::clamp<uint32_t>(gauge.size_x_mm, 1, 4096));
    const PixPoint square{side, side};
    if (gauge.elements_list == nullptr || gauge.elements_list[0] == nullptr) return square;
    const ElementHeader& first = *gauge.elements_list[0];
    if (first.element_type == ELEMENT_STRING) return square;
    return art_.size(first.resource_id).value_or(square);
}

void GaugeRenderer::report(Diagnostics& said) {
    said.report_own(Severity::note, art_.take_reports());
    said.report_own(Severity::note, fonts_.take_reports());
}

void GaugeRenderer::draw_bitmap(cairo_t* cr, const ElementHeader& element, double dx, double dy) {
    const Picture* p = lit(art_.picture(element.resource_id), element.image_flags);
    if (p == nullptr) return;
    const bool keyed = (element.image_flags & IMAGE_USE_TRANSPARENCY) != 0;
    paint_image(cr, keyed ? p->keyed.get() : p->opaque.get(), element.position.x + dx, element.position.y + dy,
                filter_for(element.image_flags));
}

// Moving images and the sprite: the texture shows through the pure black of
// its window bitmap (the one after it), and the window is drawn over it.
void GaugeRenderer::draw_behind_window(cairo_t* cr, const ElementHeader& element, const ElementState& state) {
    const Picture* texture = lit(art_.picture(element.resource_id), element.image_flags);
    const Picture* window = lit(art_.picture(element.resource_id + 1), element.image_flags);
    if (texture == nullptr || window == nullptr) return;
    const double x = element.position.x, y = element.position.y;
    const bool keyed = (element.image_flags & IMAGE_USE_TRANSPARENCY) != 0;
    cairo_surface_t* texture_image = keyed ? texture->keyed.get() : texture->opaque.get();

    cairo_push_group(cr);
    cairo_rectangle(cr, x, y, window->width, window->height);
    cairo_clip(cr);
    if (element.element_type == ELEMENT_MOVING_IMAGE) {
        const double dx = state.has_offset ? whole(state.offset[0]) : 0.0;
        const double dy = state.has_offset ? whole(state.offset[1]) : 0.0;
        paint_image(cr, texture_image, x - dx, y - dy, filter_for(element.image_flags));
    } else {
        const auto& sprite = reinterpret_cast<const ElementSprite&>(element);
        const double texture_scale_x = sprite.texture_scale_x > 0 ? sprite.texture_scale_x : 1.0;
        const double texture_scale_y = sprite.texture_scale_y > 0 ? sprite.texture_scale_y : 1.0;
        const double half_x = texture->width / 2.0, half_y = texture->height / 2.0;
        cairo_save(cr);
        cairo_translate(cr, element.ofs.x + half_x - centre_pixel(texture->width),
                        element.ofs.y + half_y - centre_pixel(texture->height));
        // The values place the window over the texture; the texture goes the other way.
        cairo_rotate(cr, -sprite_turn_degrees(state.axis[2], sprite.scale_0) * std::numbers::pi / 180.0);
        cairo_translate(cr, -sprite_shift(state.axis[0], sprite.scale_x), -sprite_shift(state.axis[1], sprite.scale_y));
        cairo_scale(cr, texture_scale_x, texture_scale_y);
        cairo_pattern_t* pattern = cairo_pattern_create_for_surface(texture_image);
        cairo_matrix_t m;
        cairo_matrix_init_translate(&m, half_x, half_y);
        cairo_pattern_set_matrix(pattern, &m);
        cairo_pattern_set_filter(pattern, filter_for(element.image_flags));
        cairo_set_source(cr, pattern);
        cairo_rectangle(cr, -half_x, -half_y, texture->width, texture->height);
        cairo_fill(cr);
        cairo_pattern_destroy(pattern);
        cairo_restore(cr);
    }
    cairo_pop_group_to_source(cr);
    cairo_pattern_t* opening = cairo_pattern_create_for_surface(window->black.get());
    cairo_matrix_t m;
    cairo_matrix_init_translate(&m, -x, -y);
    cairo_pattern_set_matrix(opening, &m);
    cairo_pattern_set_filter(opening, CAIRO_FILTER_NEAREST);
    cairo_mask(cr, opening);
    cairo_pattern_destroy(opening);

    paint_image(cr, window->keyed.get(), x, y, filter_for(element.image_flags));
}

void GaugeRenderer::draw_text(cairo_t* cr, const ElementString& text, const ElementState& state) {
    const double x = text.header.position.x, y = text.header.position.y;
    const double w = text.img_size.x, h = text.img_size.y;
    if (!(w > 0) || !(h > 0)) return;
    const bool black_is_clear = (text.header.image_flags & IMAGE_USE_TRANSPARENCY) != 0 &&
                                (text.bg_color & 0xFFFFFF) == 0;
    const std::optional<Rgb> tint = lighting_.tint(text.header.image_flags);
    const uint32_t fg = tint ? tint_colorref(text.fg_color, *tint) : text.fg_color;
    if (!black_is_clear) {
        set_colour(cr, tint ? tint_colorref(text.bg_color, *tint) : text.bg_color);
        cairo_rectangle(cr, x, y, w, h);
        cairo_fill(cr);
    }
    if (!state.text) return;
    const std::string face_name(text.font_name, strnlen(text.font_name, sizeof text.font_name));
    const ResolvedFace& face = fonts_.face(face_name, text.font_weight);
    TextLayout layout{.x = x,
                      .y = y,
                      .width = w,
                      .height = h,
                      .char_count = text.max_string_length,
                      .char_height = text.char_height > 0 ? text.char_height : 0,
                      .draw_flags = text.draw_text_flags,
                      .red = (fg & 0xFF) / 255.0,
                      .green = ((fg >> 8) & 0xFF) / 255.0,
                      .blue = ((fg >> 16) & 0xFF) / 255.0};
    draw_text_in_box(cr, fonts_, face, state.text->str(), layout);
}

void GaugeRenderer::draw(cairo_t* cr, const Panel& panel, const InstalledGauge& gauge) {
    for (const ElementState& state : gauge.elements) {
        const ElementHeader& element = *state.element;
        if (!panel.drawn(element)) continue;
        cairo_save(cr);
        switch (element.element_type) {
        case ELEMENT_STATIC_IMAGE:
        case ELEMENT_ICON: draw_bitmap(cr, element, 0, 0); break;
        case ELEMENT_SLIDER:
            draw_bitmap(cr, element, state.has_offset ? whole(state.offset[0]) : 0.0,
                        state.has_offset ? whole(state.offset[1]) : 0.0);
            break;
        case ELEMENT_MOVING_IMAGE:
        case ELEMENT_SPRITE: draw_behind_window(cr, element, state); break;
        case ELEMENT_STRING: draw_text(cr, reinterpret_cast<const ElementString&>(element), state); break;
        default: break;  // no gauge of ours has a needle
        }
        cairo_restore(cr);
    }
}

Surface render_gauge(GaugeRenderer& renderer, const Panel& panel, const InstalledGauge& gauge, int scale) {
    const PixPoint size = renderer.gauge_size(*gauge.header);
    scale = std::max(1, scale);
    Surface surface = make_surface(size.x * scale, size.y * scale);
    Context cr(cairo_create(surface.get()));
    cairo_scale(cr.get(), scale, scale);
    renderer.draw(cr.get(), panel, gauge);
    cairo_surface_flush(surface.get());
    return surface;
}

// ---- PNG ----

std::string write_png(cairo_surface_t* surface, const std::string& path) {
    if (const cairo_status_t status = cairo_surface_status(surface); status != CAIRO_STATUS_SUCCESS) {
        return "cannot write " + path + ": " + cairo_status_to_string(status);
    }
    // Whole or not at all, as every file the host writes.
    std::string error;
    write_file(path, png_bytes(surface), &error);
    return error;
}

std::vector<uint8_t> png_bytes(cairo_surface_t* surface) {
    std::vector<uint8_t> bytes;
    cairo_surface_write_to_png_stream(
        surface,
        [](void* closure, const unsigned char* data, unsigned int length) {
            auto* out = static_cast<std::vector<uint8_t>*>(closure);
            out->insert(out->end(), data, data + length);
            return CAIRO_STATUS_SUCCESS;
        },
        &bytes);
    return bytes;
}

uint32_t pixel_at(cairo_surface_t* surface, int x, int y) {
    cairo_surface_flush(surface);
    if (x < 0 || y < 0 || x >= cairo_image_surface_get_width(surface) || y >= cairo_image_surface_get_height(surface))
        return 0;
    const unsigned char* data = cairo_image_surface_get_data(surface);
    uint32_t v;
    std::memcpy(&v, data + y * cairo_image_surface_get_stride(surface) + 4 * x, 4);
    if (cairo_image_surface_get_format(surface) == CAIRO_FORMAT_RGB24) return v | 0xFF000000u;
    const uint32_t a = v >> 24;
    if (a == 0 || a == 255) return v;
    auto un = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
    return (a << 24) | (un((v >> 16) & 0xFF) << 16) | (un((v >> 8) & 0xFF) << 8) | un(v & 0xFF);
}

Surface copy_of(cairo_surface_t* surface) {
    Surface copy(cairo_surface_create_similar_image(surface, cairo_image_surface_get_format(surface),
                                                    cairo_image_surface_get_width(surface),
                                                    cairo_image_surface_get_height(surface)));
    Context cr(cairo_create(copy.get()));
    cairo_set_source_surface(cr.get(), surface, 0, 0);
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr.get());
    return copy;
}

}  // namespace panelhost
