// How the host places moving images, sliders and the attitude sprite from
// their source values. The art generator draws the tapes against the same
// mapping, so that the value under each tape's index is the value shown.
#pragma once

#include <cmath>

namespace panelhost {

// A moving image's texture slides behind its window: the source value maps
// linearly from the axis minimum (offset 0, the texture's start at the
// window's start) to the axis maximum (offset texture - window, the texture's
// end at the window's end). Values beyond either end stop there; a value that
// is not a number stays at the start. An axis with equal minimum and maximum
// does not move.
inline double moving_image_offset(double value, double minimum, double maximum, int texture_pixels,
                                  int window_pixels) {
    const double travel = static_cast<double>(texture_pixels - window_pixels);
    if (travel <= 0.0 || minimum == maximum || std::isnan(value)) return 0.0;
    const double fraction = (value - minimum) / (maximum - minimum);
    if (!(fraction > 0.0)) return 0.0;
    if (fraction >= 1.0) return travel;
    return fraction * travel;
}

// The texture coordinate that lies under the window's centre line, where each
// tape window draws its index.
inline double moving_image_index_coordinate(double value, double minimum, double maximum, int texture_pixels,
                                            int window_pixels) {
    return moving_image_offset(value, minimum, maximum, texture_pixels, window_pixels) + window_pixels / 2.0;
}

// A slider moves from its position by the axis value times the axis scale.
// A value that is not finite leaves it where it stands.
inline double slider_offset(double value, double scale) {
    const double offset = value * scale;
    return std::isfinite(offset) ? offset : 0.0;
}

// A sprite's texture turns about its centre, which sits on the element's
// ofs pixel: the centre pixels of texture and window (centre_pixel) cover
// each other, and for an even side, whose middle lies at the far corner of
// its centre pixel, the two middles meet. The x and y values times their
// scales move the window across the texture, along the texture's turned axes,
// and the rotation value times its scale turns the window clockwise, in
// degrees: the picture moves and turns the other way. The host reports its
// attitude with pitch positive nose down and bank positive left wing down, so
// the attitude sphere's pitch scale of 1.5 and bank scale of -1 show the
// horizon 15 pixels lower for 10 degrees nose up and turned clockwise in a
// left bank, and the flight-director bars, which move with their values,
// stand where the aircraft must go. Values that are not finite leave the
// texture unshifted and unturned.
inline double sprite_shift(double value, double scale) { return slider_offset(value, scale); }
inline double sprite_turn_degrees(double value, double scale) { return slider_offset(value, scale); }

// The centre pixel of a side: for an even side, the one before its middle,
// as a sprite's ofs is the centre pixel of its window.
inline int centre_pixel(int pixels) { return (pixels - 1) / 2; }

}  // namespace panelhost
