// The flight model's own elementary functions. The C libraries of the two
// builds (glibc natively, the Windows runtime under Wine) may round sin, cos,
// atan2, exp or pow differently in the last bit, and a last bit that differs
// at one step of the flight differs everywhere after it. These are built from
// additions, multiplications, divisions and exact scalings alone, which IEEE
// arithmetic rounds the same way everywhere, so both builds fly the same
// flight to the bit. sqrt is correctly rounded on both and is used as it is.
#pragma once

namespace panelhost::flight {

inline constexpr double pi = 3.14159265358979323846;
inline constexpr double degrees_per_radian = 180.0 / pi;
inline constexpr double radians_per_degree = pi / 180.0;

struct SinCos {
    double sin;
    double cos;
};

// Both at once, of an angle in radians. Arguments beyond 1e4 in size, and
// those that are not finite, give NaN: no angle of the model comes near.
SinCos sin_cos(double radians);
double sin(double radians);
double cos(double radians);
double tan(double radians);

// Radians, in -pi/2..pi/2.
double atan(double x);
// Radians, in -pi..pi, the angle of the point (x, y); atan2(0, 0) is 0.
double atan2(double y, double x);
// Radians; NaN outside -1..1.
double asin(double x);

double exp(double x);
// The natural logarithm; -inf at 0, NaN below.
double log(double x);
// x to the power y, for x > 0; NaN otherwise.
double pow_positive(double x, double y);

// Degrees into -180 (excluded) .. 180 (included), and into 0 (included)
// .. 360 (excluded).
double wrap_180(double degrees);
double wrap_360(double degrees);

}  // namespace panelhost::flight
