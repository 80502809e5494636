// The mouse areas of drawn gauges over their picture, as a panel designer
// needs to see them: each area's box outlined in its own colour and numbered,
// its click rows dashed inside it, the whole gauge (which has no right or
// bottom edge) framed just outside the gauge's bounds, and under the picture
// a key that gives each number's tooltip. The areas come from the one walk
// of each gauge's mouse table (host/panel/mouse.h), numbered from 1 in table
// order, as the gauge reference numbers them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/render/render.h"
#include "module/host_abi.h"

namespace panelhost {

// One drawn gauge: where its gauge pixel (0, 0) lies on the picture, and how
// many picture pixels one gauge pixel spans each way.
struct MappedGauge {
    std::string title;  // the key's heading for its areas: "AP", "Glareshield: AP"
    const orvane::GaugeHeader* header = nullptr;
    std::string instance;     // the placement's name on the panel: "PFD", "PFD:2"
    orvane::PixPoint size{};  // the gauge's own size, in gauge pixels
    double x = 0, y = 0, scale_x = 1, scale_y = 1;
};

// Picture pixels kept round the picture, so that the frame of a gauge at its
// edge, and its number over it, still show.
inline constexpr int area_map_margin = 16;
// The width of every outline, in picture pixels: inside a bounded box,
// outside the whole gauge's bounds.
inline constexpr int area_outline_width = 2;

// The colour of the area numbered n (from 1) of a gauge, as 0xRRGGBB.
uint32_t area_colour(size_t number);

// The picture with the areas over it, on an opaque ground, the picture's
// pixel (0, 0) at (area_map_margin, area_map_margin), the key below.
Surface area_map(cairo_surface_t* picture, const std::vector<MappedGauge>& gauges);

}  // namespace panelhost
