// Day or night, as the simulator lights a panel. By night, with the panel
// lights on, what is not bright is multiplied by the panel's night colour,
// what is luminous (lit by the panel's flood lights) by its luminous colour,
// and what is bright (a lamp, a lit button) is drawn as by day.
#pragma once

#include <cstdint>
#include <optional>

#include "host/layout/panel_cfg.h"

namespace panelhost {

// The colours a panel without a [Color] section is lit with (host/README.md
// says why these).
inline constexpr Rgb default_night_color{.r = 56, .g = 56, .b = 72};
inline constexpr Rgb default_luminous_color{.r = 255, .g = 176, .b = 112};

struct Lighting {
    bool night = false;
    Rgb night_color = default_night_color;
    Rgb luminous_color = default_luminous_color;

    // What an element with these image flags is multiplied by; none: drawn
    // as by day. A window's background bitmap and colour have no flags.
    std::optional<Rgb> tint(uint32_t image_flags) const;
};

// The night the panel's [Color] section asks for, each colour it lacks the
// default one.
Lighting night_lighting(const PanelConfig& cfg);

// A pixel 0xRRGGBB, and a Windows colour 0x00BBGGRR, multiplied by a tint
// (255 leaves a channel as it is).
uint32_t tint_rgb(uint32_t rgb, Rgb tint);
uint32_t tint_colorref(uint32_t colorref, Rgb tint);

}  // namespace panelhost
