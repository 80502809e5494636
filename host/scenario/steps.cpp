#include "host/scenario/steps.h"

#include <bit>
#include <cmath>

#include "host/flight/flight.h"

namespace panelhost {

bool ExpectedValue::matches(double actual) const {
    if (exact_bits) return std::bit_cast<uint64_t>(actual) == std::bit_cast<uint64_t>(value);
    if (std::isnan(value)) return std::isnan(actual);
    if (actual == value) return true;
    return tolerance.has_value() && std::fabs(actual - value) <= *tolerance;
}

bool ExpectedValue::operator==(const ExpectedValue& other) const {
    auto bits = [](double v) { return std::bit_cast<uint64_t>(v); };
    return bits(value) == bits(other.value) && exact_bits == other.exact_bits &&
           tolerance.has_value() == other.tolerance.has_value() &&
           (!tolerance || bits(*tolerance) == bits(*other.tolerance));
}

namespace steps {

int64_t Fly::updates() const { return flight_steps(seconds); }

Fly Fly::of_updates(int64_t updates) { return {static_cast<double>(updates) / flight::steps_per_second}; }

}  // namespace steps
}  // namespace panelhost
