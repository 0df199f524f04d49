// Script values are 64-bit doubles; these are the rules for turning them
// into integers and for comparing them.
#pragma once

#include <cstdint>

namespace morvox {

// Two script values closer than this count as equal; a value this close to
// zero counts as zero.
inline constexpr double kTolerance = 0.00001;

inline bool IsZero(double v) {
  return v > -kTolerance && v < kTolerance;
}

// ToIndex for negative, non-finite and out-of-range values.
std::int32_t ToIndexSlow(double v);

// Integer from a script value: bias by 0.0001 away from zero, then truncate
// toward zero. NaN gives 0; values beyond the 32-bit range give the nearest
// bound (a plain conversion would be undefined there). Memory indices are
// mostly small and non-negative, so that case is one range test, inline.
inline std::int32_t ToIndex(double v) {
  if (v >= 0.0 && v < 2147483647.0 - 0.0001) [[likely]]
    return static_cast<std::int32_t>(v + 0.0001);
  return ToIndexSlow(v);
}

}  // namespace morvox
