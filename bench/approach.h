// What the host reports during an ILS approach, frame by frame: the values a
// busy panel sees. Every continuous variable the gauges read moves at every
// frame; the modes stay as an autopilot flies a coupled approach, chosen so
// that every readout of the panel is shown.
#pragma once

#include <cstdint>
#include <vector>

namespace orvane::bench {

struct HostVariable {
    int32_t id;
    double value;
};

// The panel updates 18 times a second.
inline constexpr double frames_per_second = 18.0;
inline constexpr uint64_t approach_frames = 120 * 18;

// Every variable the gauges read, at frame n of the approach (n >= 0).
std::vector<HostVariable> approach_frame(uint64_t n);

}  // namespace orvane::bench
