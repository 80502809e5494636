// The glideslope angle the decision-height unit sets and the PFD shows: its
// knob's stops and step, and the one way it is written.
#pragma once

#include "module/host_abi.h"
#include "module/text_writer.h"

namespace orvane {

// The knob stops at these two values exactly.
inline constexpr double gsa_angle_min = -9.9;
inline constexpr double gsa_angle_max = 9.9;
inline constexpr double gsa_angle_step = 0.1;

// Degrees with one decimal and a sign: "+3.0", "-2.5". A zero of either sign
// reads "+0.0"; a NaN gets no plus, only the sign of its own bits.
inline void write_glideslope_angle(ElementString* element, double angle) {
    if (angle >= 0.0) {
        write_text(element, "%s%1.1f", "+", angle + 0.0);  // -0.0 + 0.0 is +0.0
    } else {
        write_text(element, "%1.1f", angle);
    }
}

}  // namespace orvane
