// The classes of host value that every variable and every call is tried
// with: the ordinary ones the gauges test against, and every kind of double a
// host might hand over by mistake.
#pragma once

#include <bit>
#include <cstdint>
#include <limits>

namespace orvane::hardening {

struct BadValue {
    const char* name;
    uint64_t bits;  // the whole 64-bit pattern, so that NaN payloads and signs survive
    double value() const { return std::bit_cast<double>(bits); }
};

constexpr uint64_t bits_of(double value) { return std::bit_cast<uint64_t>(value); }

inline constexpr BadValue bad_values[] = {
    {"zero", bits_of(0.0)},
    {"negative zero", bits_of(-0.0)},
    {"one", bits_of(1.0)},
    {"one and an ulp", 0x3FF0000000000001ull},
    {"half", bits_of(0.5)},
    {"two", bits_of(2.0)},
    {"minus one", bits_of(-1.0)},
    {"quiet NaN", 0x7FF8000000000000ull},
    {"signalling NaN", 0x7FF0000000000001ull},
    {"negative NaN", 0xFFF8000000000000ull},
    {"NaN with payload", 0x7FFFFFFFFFFFFFFFull},
    {"plus infinity", bits_of(std::numeric_limits<double>::infinity())},
    {"minus infinity", bits_of(-std::numeric_limits<double>::infinity())},
    {"largest double", bits_of(std::numeric_limits<double>::max())},
    {"lowest double", bits_of(std::numeric_limits<double>::lowest())},
    {"smallest normal", bits_of(std::numeric_limits<double>::min())},
    {"smallest denormal", bits_of(std::numeric_limits<double>::denorm_min())},
    {"denormal", bits_of(1e-310)},
    {"negative denormal", bits_of(-1e-310)},
    {"two to the 32", bits_of(4294967296.0)},
    {"minus two to the 31", bits_of(-2147483648.0)},
    {"two to the 63", bits_of(9223372036854775808.0)},
    {"minus two to the 63", bits_of(-9223372036854775808.0)},
    {"1e308", bits_of(1e308)},
    {"-1e308", bits_of(-1e308)},
};

// Service codes: the three the gauges answer, every other small code, and
// codes no host sends.
inline constexpr int32_t service_codes[] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11,
                                            12, 13, 14, 15, 16, 17, -1, 99, std::numeric_limits<int32_t>::min(),
                                            std::numeric_limits<int32_t>::max()};

}  // namespace orvane::hardening
