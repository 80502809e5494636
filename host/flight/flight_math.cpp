#include "host/flight/flight_math.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace panelhost::flight {
namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

// pi/2 in three parts, the first two with trailing zero bits, so that k
// times each (or a 64th of each) is exact for the whole numbers k the
// reductions below meet (Cody and Waite).
constexpr double half_pi_1 = 1.57079632673412561417e+00;
constexpr double half_pi_2 = 6.07710050630396597660e-11;
constexpr double half_pi_3 = 2.02226624879595063154e-21;
constexpr double half_pi = pi / 2.0;

// The nearest whole number (ties to even) of |x| < 2^51: adding 1.5 x 2^52
// leaves no bits below the unit, in the rounding every IEEE machine does by
// default, and taking it off again is exact.
double nearest(double x) {
    constexpr double shift = 6755399441055744.0;
    return (x + shift) - shift;
}

// x 2^k, exactly, for a whole k: by the exponent's bits where 2^k is a
// normal number.
double scaled(double x, double k) {
    if (k < -1021.0 || k > 1023.0) return std::ldexp(x, static_cast<int>(k));
    return x * std::bit_cast<double>(static_cast<uint64_t>(static_cast<int64_t>(k) + 1023) << 52);
}

// c0 + c1 z + ... + c7 z^7 in Estrin's order: four short products side by
// side, then two, then one, rather than seven in a row.
double polynomial(double z, const double (&c)[8]) {
    const double z2 = z * z;
    const double low = (c[0] + c[1] * z) + (c[2] + c[3] * z) * z2;
    const double high = (c[4] + c[5] * z) + (c[6] + c[7] * z) * z2;
    return low + high * (z2 * z2);
}

// Taylor series on |x| <= pi/4: the first term left out is below 1e-16 of
// the result.
constexpr double sin_series[8] = {-1.0 / 6.0,          1.0 / 120.0,           -1.0 / 5040.0,
                                  1.0 / 362880.0,      -1.0 / 39916800.0,     1.0 / 6227020800.0,
                                  -1.0 / 1307674368000.0, 1.0 / 355687428096000.0};
constexpr double cos_series[8] = {1.0 / 24.0,           -1.0 / 720.0,           1.0 / 40320.0,
                                  -1.0 / 3628800.0,     1.0 / 479001600.0,      -1.0 / 87178291200.0,
                                  1.0 / 20922789888000.0, -1.0 / 6402373705728000.0};

double sin_kernel(double x, double z) { return x + x * z * polynomial(z, sin_series); }
double cos_kernel(double z) { return 1.0 - 0.5 * z + z * z * polynomial(z, cos_series); }

// atan on |t| <= tan(pi/24), about 0.1317: the series to t^17, whose next
// term is below 1e-18.
constexpr double atan_series[8] = {-1.0 / 3.0, 1.0 / 5.0,   -1.0 / 7.0,  1.0 / 9.0,
                                   -1.0 / 11.0, 1.0 / 13.0, -1.0 / 15.0, 1.0 / 17.0};

double atan_kernel(double t) {
    const double z = t * t;
    return t + t * z * polynomial(z, atan_series);
}

// tan(pi/12) and tan(pi/24), the centres the argument of atan is moved to.
constexpr double tan_pi_12 = 0.26794919243112270647;
constexpr double tan_pi_24 = 0.13165249758739585347;

constexpr double ln2_hi = 6.93147180369123816490e-01;  // trailing zero bits: k ln2_hi is exact
constexpr double ln2_lo = 1.90821492927058770002e-10;
constexpr double ln2 = 0.69314718055994530942;
constexpr double sqrt_half = 0.70710678118654752440;

// 1/n! for the series of exp on |r| <= ln2 / 2, to r^15, whose next term is
// below 1e-22.
constexpr double exp_low[8] = {1.0,       1.0,        1.0 / 2.0,    1.0 / 6.0,
                               1.0 / 24.0, 1.0 / 120.0, 1.0 / 720.0, 1.0 / 5040.0};
constexpr double exp_high[8] = {1.0 / 40320.0,      1.0 / 362880.0,      1.0 / 3628800.0,
                                1.0 / 39916800.0,   1.0 / 479001600.0,   1.0 / 6227020800.0,
                                1.0 / 87178291200.0, 1.0 / 1307674368000.0};

// 1/(2n + 3) for the series of log, to s^19.
constexpr double log_low[8] = {1.0 / 3.0,  1.0 / 5.0,  1.0 / 7.0,  1.0 / 9.0,
                               1.0 / 11.0, 1.0 / 13.0, 1.0 / 15.0, 1.0 / 17.0};
constexpr double log_next = 1.0 / 19.0;

// sin and cos of j pi/128 plus a quadrant, for |j| <= 32: the angle in two
// parts, the first exact, and the quadrant by the signs and order.
SinCos table_entry(int quadrant, int j) {
    const double r = j * (half_pi_1 / 64.0) + j * (half_pi_2 / 64.0);
    const double z = r * r;
    const double s = sin_kernel(r, z);
    const double c = cos_kernel(z);
    switch (quadrant & 3) {
    case 0: return {s, c};
    case 1: return {c, -s};
    case 2: return {-s, -c};
    default: return {-c, s};
    }
}

// sin and cos at every 1/64 of pi/2 round the circle: an angle is within
// pi/256 of one of them, where three terms of each series are exact.
constexpr int table_size = 256;
struct SinCosTable {
    double sin[table_size];
    double cos[table_size];
};

const SinCosTable& sin_cos_table() {
    static const SinCosTable table = [] {
        SinCosTable t{};
        for (int k = 0; k < table_size; ++k) {
            const int quadrant = (k + 32) / 64;
            const SinCos sc = table_entry(quadrant, k - 64 * quadrant);
            t.sin[k] = sc.sin;
            t.cos[k] = sc.cos;
        }
        return t;
    }();
    return table;
}

}  // namespace

SinCos sin_cos(double radians) {
    if (!(std::fabs(radians) <= 1e4)) return {nan, nan};
    // k pi/128 taken off in three parts, each product exact for |k| < 2^19.
    const double k = nearest(radians * (128.0 / pi));
    const double d = ((radians - k * (half_pi_1 / 64.0)) - k * (half_pi_2 / 64.0)) - k * (half_pi_3 / 64.0);
    const double z = d * d;
    const double sin_d = d + d * z * (-1.0 / 6.0 + z * (1.0 / 120.0 + z * (-1.0 / 5040.0)));
    const double cos_d = 1.0 - 0.5 * z + z * z * (1.0 / 24.0 + z * (-1.0 / 720.0 + z * (1.0 / 40320.0)));
    const SinCosTable& t = sin_cos_table();
    const int i = static_cast<int>(static_cast<long long>(k) & (table_size - 1));
    return {t.sin[i] * cos_d + t.cos[i] * sin_d, t.cos[i] * cos_d - t.sin[i] * sin_d};
}

double sin(double radians) { return sin_cos(radians).sin; }
double cos(double radians) { return sin_cos(radians).cos; }

double tan(double radians) {
    const SinCos sc = sin_cos(radians);
    return sc.sin / sc.cos;
}

double atan(double x) {
    if (std::isnan(x)) return x;
    double a = std::fabs(x);
    double base = 0.0;
    if (a > 1.0) {
        // atan(a) = pi/2 - atan(1/a)
        const double inner = atan(1.0 / a);
        return std::copysign(half_pi - inner, x);
    }
    if (a > tan_pi_12) {
        // atan(a) = pi/6 + atan((a - tan(pi/6)) / (1 + a tan(pi/6)))
        constexpr double tan_pi_6 = 0.57735026918962576451;
        a = (a - tan_pi_6) / (1.0 + a * tan_pi_6);
        base = pi / 6.0;
    }
    if (std::fabs(a) > tan_pi_24) {
        const double sign = a < 0.0 ? -1.0 : 1.0;
        const double b = std::fabs(a);
        base += sign * (pi / 12.0);
        a = sign * ((b - tan_pi_12) / (1.0 + b * tan_pi_12));
    }
    return std::copysign(base + atan_kernel(a), x);
}

double atan2(double y, double x) {
    if (std::isnan(x) || std::isnan(y)) return nan;
    if (x == 0.0 && y == 0.0) return 0.0;
    if (std::fabs(y) <= std::fabs(x)) {
        const double a = atan(y / x);
        if (x > 0.0) return a;
        return y < 0.0 ? a - pi : a + pi;
    }
    // Closer to the y axis: pi/2 less the angle from it, which keeps the
    // quotient within -1..1.
    const double a = atan(x / y);
    return y > 0.0 ? half_pi - a : -half_pi - a;
}

double asin(double x) {
    if (!(std::fabs(x) <= 1.0)) return nan;
    return atan2(x, std::sqrt((1.0 - x) * (1.0 + x)));
}

double exp(double x) {
    if (std::isnan(x)) return x;
    if (x > 709.8) return std::numeric_limits<double>::infinity();
    if (x < -745.2) return 0.0;
    // x = k ln2 + r with |r| <= ln2 / 2, and exp(x) = 2^k exp(r).
    const double k = nearest(x * (1.0 / ln2));
    const double r = (x - k * ln2_hi) - k * ln2_lo;
    const double r8 = (r * r) * (r * r) * ((r * r) * (r * r));
    const double sum = polynomial(r, exp_low) + r8 * polynomial(r, exp_high);
    return scaled(sum, k);
}

double log(double x) {
    if (std::isnan(x) || x < 0.0) return nan;
    if (x == 0.0) return -std::numeric_limits<double>::infinity();
    if (std::isinf(x)) return x;
    // x = m 2^e, m in [0.5, 1): from the bits, but for numbers too small to
    // have their leading bit in place.
    int e = 0;
    double m = 0.0;
    const uint64_t bits = std::bit_cast<uint64_t>(x);
    if (x >= std::numeric_limits<double>::min()) {
        e = static_cast<int>(bits >> 52) - 1022;
        m = std::bit_cast<double>((bits & 0x000FFFFFFFFFFFFFull) | 0x3FE0000000000000ull);
    } else {
        m = std::frexp(x, &e);
    }
    if (m < sqrt_half) {
        m *= 2.0;
        --e;
    }
    // log(m) = 2 atanh(s), s = (m - 1) / (m + 1), |s| <= 0.1716.
    const double s = (m - 1.0) / (m + 1.0);
    const double z = s * s;
    const double z8 = (z * z) * (z * z) * ((z * z) * (z * z));
    const double series = polynomial(z, log_low) + z8 * log_next;
    const double log_m = 2.0 * s + 2.0 * s * z * series;
    const double k = static_cast<double>(e);
    return k * ln2_hi + (log_m + k * ln2_lo);
}

double pow_positive(double x, double y) {
    if (!(x > 0.0)) return nan;
    return exp(y * log(x));
}

double wrap_360(double degrees) {
    if (degrees >= 0.0 && degrees < 360.0) return degrees;
    if (!std::isfinite(degrees)) return nan;
    double r = degrees - 360.0 * std::floor(degrees / 360.0);
    if (r >= 360.0) r -= 360.0;
    if (r < 0.0) r += 360.0;
    return r;
}

double wrap_180(double degrees) {
    const double r = wrap_360(degrees);
    return r > 180.0 ? r - 360.0 : r;
}

}  // namespace panelhost::flight
