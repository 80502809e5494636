#include "host/render/lighting.h"

#include "module/host_abi.h"

namespace panelhost {

using namespace orvane;

std::optional<Rgb> Lighting::tint(uint32_t image_flags) const {
    if (!night || (image_flags & IMAGE_USE_BRIGHT) != 0) return std::nullopt;
    return (image_flags & IMAGE_USE_LUMINOUS) != 0 ? luminous_color : night_color;
}

Lighting night_lighting(const PanelConfig& cfg) {
    return {.night = true,
            .night_color = cfg.night_color.value_or(default_night_color),
            .luminous_color = cfg.luminous_color.value_or(default_luminous_color)};
}

namespace {

uint32_t times(uint32_t channel, uint8_t by) { return (channel * by + 127) / 255; }

}  // namespace

uint32_t tint_rgb(uint32_t rgb, Rgb tint) {
    return times((rgb >> 16) & 0xFF, tint.r) << 16 | times((rgb >> 8) & 0xFF, tint.g) << 8 | times(rgb & 0xFF, tint.b);
}

uint32_t tint_colorref(uint32_t colorref, Rgb tint) {
    return times((colorref >> 16) & 0xFF, tint.b) << 16 | times((colorref >> 8) & 0xFF, tint.g) << 8 |
           times(colorref & 0xFF, tint.r);
}

}  // namespace panelhost
