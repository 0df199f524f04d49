// Lanes: the two channels of a stereo frame as one 128-bit vector of
// doubles, lane 0 left and lane 1 right (SSE2 on every x86 build). Each
// operator is one IEEE operation per lane, the same rounding as the scalar
// operation, so a lane computes exactly what scalar code of the same
// expression computes; the project builds with -ffp-contract=off, so no
// a × b + c is fused.
#pragma once

#include <bit>
#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using Lanes = double __attribute__((vector_size(16)));
// Per lane all ones (true) or all zeros (false), as comparisons answer.
using LaneMask = std::int64_t __attribute__((vector_size(16)));

namespace lanes {

inline Lanes Both(double value) {
  return Lanes{value, value};
}

inline Lanes Bits(LaneMask mask) {
  return std::bit_cast<Lanes>(mask);
}
inline LaneMask Bits(Lanes value) {
  return std::bit_cast<LaneMask>(value);
}

// |value| per lane: the sign bit cleared, as std::fabs does.
inline Lanes Abs(Lanes value) {
  return Bits(Bits(value) & LaneMask{INT64_MAX, INT64_MAX});
}

// Lane 0 negated (its sign bit flipped, as unary minus does), lane 1 kept.
inline Lanes NegateLeft(Lanes value) {
  return Bits(Bits(value) ^ LaneMask{INT64_MIN, 0});
}

// `yes` in the lanes where `mask` is set, `no` in the others: no branch.
inline Lanes Select(LaneMask mask, Lanes yes, Lanes no) {
  return Bits((mask & Bits(yes)) | (~mask & Bits(no)));
}

// Whether some lane of `value` is not <= `bound` (a NaN never is).
inline bool AnyNotAtMost(Lanes value, Lanes bound) {
#if defined(__SSE2__)
  return _mm_movemask_pd(_mm_cmpnle_pd(value, bound)) != 0;
#else
  return !(value[0] <= bound[0] && value[1] <= bound[1]);
#endif
}

// Whether some lane is not a number.
inline bool AnyNaN(Lanes value) {
#if defined(__SSE2__)
  return _mm_movemask_pd(_mm_cmpunord_pd(value, value)) != 0;
#else
  return value[0] != value[0] || value[1] != value[1];
#endif
}

// Per lane: the value where it is finite, +0 where it is infinite or not a
// number (x − x is 0 only for finite x).
inline Lanes FiniteOrZero(Lanes value) {
  return Bits(Bits(value) & ((value - value) == Both(0.0)));
}

// The lanes exchanged: (right, left).
inline Lanes Swap(Lanes value) {
  return __builtin_shufflevector(value, value, 1, 0);
}

// (a's lane 0, b's lane 0).
inline Lanes Lows(Lanes a, Lanes b) {
  return __builtin_shufflevector(a, b, 0, 2);
}

}  // namespace lanes
