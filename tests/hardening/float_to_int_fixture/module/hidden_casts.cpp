// Conversions the float-to-integer check must find: a written cast, an
// implicit one, one inside a template and a C library rounding.
#include <cmath>
#include <cstdint>

namespace fixture {

int32_t written(double value) { return static_cast<int32_t>(value); }

uint16_t implicit(double value) {
    uint16_t count = 0;
    count += value;  // NOLINT: the conversion the check is for
    return count;
}

template <typename T>
T converted(double value) {
    return T(value);
}

long rounded(double value) { return std::lround(value) + converted<int64_t>(value); }

}  // namespace fixture
