#pragma once

#include <cmath>

namespace sonvert {

// The converter rounds halves to even everywhere (2.5 -> 2, 3.5 -> 4).
// std::nearbyint does that in the default rounding mode; std::round would
// round halves away from zero and shift rate codes and samples.
[[nodiscard]] inline double roundHalfEven(double x) { return std::nearbyint(x); }

[[nodiscard]] inline long roundHalfEvenToLong(double x) { return static_cast<long>(std::nearbyint(x)); }

// Rounds to one decimal place first and then to a whole number, halves to
// even at both steps: 10.5035 -> 10.5 -> 10.
[[nodiscard]] inline long roundOneDecimalThenWhole(double x)
{
    return roundHalfEvenToLong(std::nearbyint(x * 10.0) / 10.0);
}

} // namespace sonvert
