#include "host/flight/atmosphere.h"

#include <cmath>

#include "host/flight/flight_math.h"

namespace panelhost::flight {
namespace {

constexpr double sea_level_temperature = 288.15;  // K
constexpr double lapse_rate = 0.0065;             // K/m
constexpr double tropopause_m = 11000.0;
constexpr double gas_constant = 287.05287;  // J/(kg K), dry air
constexpr double heat_capacity_ratio = 1.4;
// Density falls as temperature to the power g / (L R) - 1 below the tropopause.
constexpr double density_exponent = gravity / (lapse_rate * gas_constant) - 1.0;

Air air_at(double altitude_m) {
    const double below = altitude_m < tropopause_m ? altitude_m : tropopause_m;
    const double temperature = sea_level_temperature - lapse_rate * below;
    double density_ratio = pow_positive(temperature / sea_level_temperature, density_exponent);
    if (altitude_m > tropopause_m) {
        // Isothermal: density falls exponentially with the scale height R T / g.
        density_ratio *= exp(-(altitude_m - tropopause_m) * gravity / (gas_constant * temperature));
    }
    return {.density_ratio = density_ratio,
            .density_ratio_sqrt = std::sqrt(density_ratio),
            .speed_of_sound = std::sqrt(heat_capacity_ratio * gas_constant * temperature)};
}

// The air every 10 m, worked out once; between those heights linearly, which
// is within 4e-7 of the formulas (the tropopause is one of the points) at a
// tenth of their cost, paid at every step of the flight.
constexpr double table_spacing_m = 10.0;
constexpr int table_points = 2001;  // to 20 km

struct AirTable {
    Air at[table_points];
};

const AirTable& air_table() {
    static const AirTable table = [] {
        AirTable t{};
        for (int i = 0; i < table_points; ++i) t.at[i] = air_at(i * table_spacing_m);
        return t;
    }();
    return table;
}

}  // namespace

Air standard_air(double altitude_m) {
    const AirTable& table = air_table();
    const double top = (table_points - 1) * table_spacing_m;
    // Not a number is sea level, as below it.
    if (!(altitude_m > 0.0)) return table.at[0];
    if (altitude_m >= top) return table.at[table_points - 1];
    const double position = altitude_m * (1.0 / table_spacing_m);
    const int i = static_cast<int>(position);
    const double f = position - i;
    const Air& low = table.at[i];
    const Air& high = table.at[i + 1];
    return {.density_ratio = low.density_ratio + f * (high.density_ratio - low.density_ratio),
            .density_ratio_sqrt = low.density_ratio_sqrt + f * (high.density_ratio_sqrt - low.density_ratio_sqrt),
            .speed_of_sound = low.speed_of_sound + f * (high.speed_of_sound - low.speed_of_sound)};
}

}  // namespace panelhost::flight
