// The standard atmosphere (ISA) of the flight model, and the units it flies in.
#pragma once

namespace panelhost::flight {

inline constexpr double metres_per_foot = 0.3048;
inline constexpr double feet_per_metre = 1.0 / metres_per_foot;
inline constexpr double metres_per_nautical_mile = 1852.0;
inline constexpr double metres_per_second_per_knot = metres_per_nautical_mile / 3600.0;
inline constexpr double feet_per_minute_per_metre_per_second = 60.0 * feet_per_metre;
inline constexpr double gravity = 9.80665;  // m/s2

struct Air {
    double density_ratio;       // to sea level's
    double density_ratio_sqrt;  // what turns true airspeed into indicated
    double speed_of_sound;      // m/s
};

// The air at a geometric altitude in metres, from sea level to 20 km (held
// at either end beyond): temperature falling 6.5 K a kilometre to the
// tropopause at 11 km, constant above it. No temperature deviation, so the
// pressure altitude is the altitude itself.
Air standard_air(double altitude_m);

}  // namespace panelhost::flight
