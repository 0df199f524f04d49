// Script values are 64-bit doubles; these are the rules for turning them
// into integers and for comparing them.
#pragma once

#include <cmath>
#include <cstdint>

namespace morvox {

// Two script values closer than this count as equal; a value this close to
// zero counts as zero.
inline constexpr double kTolerance = 0.00001;

inline bool IsZero(double v) {
  return v > -kTolerance && v < kTolerance;
}

// Integer from a script value: bias by 0.0001 away from zero, then truncate
// toward zero. NaN gives 0; values beyond the 32-bit range give the nearest
// bound (a plain conversion would be undefined there).
inline std::int32_t ToIndex(double v) {
  if (std::isnan(v)) return 0;
  const double biased = v >= 0.0 ? v + 0.0001 : v - 0.0001;
  if (biased >= 2147483647.0) return INT32_MAX;
  if (biased <= -2147483648.0) return INT32_MIN;
  return static_cast<std::int32_t>(biased);
}

}  // namespace morvox
