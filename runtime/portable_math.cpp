#include "runtime/portable_math.h"

#include <bit>
#include <cstdint>
#include <initializer_list>
#include <limits>

namespace morvox {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// ln 2 in two parts: the high part has its last 32 bits zero, so k × high
// is exact for every |k| < 2^20.
constexpr double kLn2High = 6.93147180369123816490e-01;
constexpr double kLn2Low = 1.90821492927058770002e-10;
constexpr double kInvLn2 = 1.44269504088896338700e+00;

// 2^k for -1022 <= k <= 1023, built from its bits.
double PowerOfTwo(int k) {
  return std::bit_cast<double>(static_cast<std::uint64_t>(k + 1023) << 52);
}

// value × 2^k for any k, by exact multiplications (only a result below the
// normal range rounds, the same way everywhere).
double Scale(double value, int k) {
  while (k > 1023) {
    value *= PowerOfTwo(1023);
    k -= 1023;
  }
  while (k < -1022) {
    value *= PowerOfTwo(-1022);
    k += 1022;
  }
  return value * PowerOfTwo(k);
}

// x rounded to the nearest integer, halves away from zero; |x| < 2^52.
double RoundToInteger(double x) {
  constexpr double kShift = 4503599627370496.0;  // 2^52
  const double a = x < 0 ? -x : x;
  double r = (a + kShift) - kShift;  // nearest, halves to even
  if (r - a == -0.5) r += 1.0;
  return x < 0 ? -r : r;
}

bool IsInteger(double y) {
  const double a = y < 0 ? -y : y;
  if (a >= 4503599627370496.0) return true;  // every double from 2^52 on
  return RoundToInteger(a) == a;
}

bool IsOddInteger(double y) {
  const double a = y < 0 ? -y : y;
  if (a >= 9007199254740992.0 || !IsInteger(a)) return false;  // from 2^53 on all are even
  const double half = a * 0.5;
  return !IsInteger(half);
}

}  // namespace

double Exp(double x) {
  if (x != x) return x;
  if (x > 709.782712893384) return kInfinity;
  if (x < -745.1332191019412) return 0.0;
  // x = k ln 2 + r with |r| <= ln 2 / 2; e^x = 2^k e^r.
  const double k = RoundToInteger(x * kInvLn2);
  const double r = (x - k * kLn2High) - k * kLn2Low;
  // Taylor series of e^r to r^13 / 13!: the next term is below 2^-57.
  double p = 1.0 / 6227020800.0;
  const double kInverseFactorials[] = {1.0 / 479001600.0,
                                       1.0 / 39916800.0,
                                       1.0 / 3628800.0,
                                       1.0 / 362880.0,
                                       1.0 / 40320.0,
                                       1.0 / 5040.0,
                                       1.0 / 720.0,
                                       1.0 / 120.0,
                                       1.0 / 24.0,
                                       1.0 / 6.0,
                                       0.5,
                                       1.0,
                                       1.0};
  for (double c : kInverseFactorials) p = p * r + c;
  return Scale(p, static_cast<int>(k));
}

double Log(double x) {
  if (x != x) return x;
  if (x < 0) return kNaN;
  if (x == 0) return -kInfinity;
  if (x == kInfinity) return x;
  int e = 0;
  if (x < PowerOfTwo(-1022)) {  // subnormal: make it normal first
    x *= PowerOfTwo(54);
    e = -54;
  }
  // x = m × 2^e with sqrt(1/2) <= m < sqrt(2).
  const auto bits = std::bit_cast<std::uint64_t>(x);
  e += static_cast<int>((bits >> 52) & 0x7FF) - 1023;
  double m = std::bit_cast<double>((bits & 0x000FFFFFFFFFFFFFULL) | 0x3FF0000000000000ULL);
  if (m > 1.4142135623730951) {
    m *= 0.5;
    ++e;
  }
  // log m = 2 atanh(s), s = (m - 1) / (m + 1), |s| <= 0.1716: the series
  // 2 (s + s^3/3 + s^5/5 + ...) to s^23 leaves less than 2^-60.
  const double f = m - 1.0;
  const double s = f / (2.0 + f);
  const double s2 = s * s;
  double p = 1.0 / 23.0;
  for (int n = 21; n >= 1; n -= 2) p = p * s2 + 1.0 / n;
  const double logM = 2.0 * s * p;
  const double k = e;
  return k * kLn2High + (logM + k * kLn2Low);
}

double Pow(double x, double y) {
  if (y == 0) return 1.0;
  if (x == 1.0) return 1.0;
  if (x != x || y != y) return kNaN;
  const double ay = y < 0 ? -y : y;
  if (ay == kInfinity) {
    const double ax = x < 0 ? -x : x;
    if (ax == 1.0) return 1.0;
    return (ax > 1.0) == (y > 0) ? kInfinity : 0.0;
  }
  const bool odd = IsOddInteger(y);
  if (x == 0 || x == -kInfinity || x == kInfinity) {
    const bool negative = std::bit_cast<std::uint64_t>(x) >> 63 && odd;
    const bool large = (x != 0) == (y > 0);
    const double magnitude = large ? kInfinity : 0.0;
    return negative ? -magnitude : magnitude;
  }
  if (x < 0) {
    if (!IsInteger(y)) return kNaN;
    const double r = Exp(y * Log(-x));
    return odd ? -r : r;
  }
  return Exp(y * Log(x));
}

double Sin(double x) {
  if (x != x || x == kInfinity || x == -kInfinity) return kNaN;
  // x = q π/2 + r with |r| <= π/4, π/2 in three parts for the reduction.
  constexpr double kTwoOverPi = 6.36619772367581382433e-01;
  constexpr double kPiOver2A = 1.57079632673412561417e+00;  // first 33 bits
  constexpr double kPiOver2B = 6.07710050650619224932e-11;  // next 33 bits
  constexpr double kPiOver2C = 2.02226624879595063154e-21;  // the rest
  const double q = RoundToInteger(x * kTwoOverPi);
  const double r = ((x - q * kPiOver2A) - q * kPiOver2B) - q * kPiOver2C;
  const double r2 = r * r;
  // Taylor series of sin r to r^17 and of cos r to r^18.
  double sinSeries = 1.0 / 355687428096000.0;  // 1/17!
  for (double c : {-1.0 / 1307674368000.0, 1.0 / 6227020800.0, -1.0 / 39916800.0, 1.0 / 362880.0,
                   -1.0 / 5040.0, 1.0 / 120.0, -1.0 / 6.0, 1.0})
    sinSeries = sinSeries * r2 + c;
  double cosSeries = -1.0 / 6402373705728000.0;  // -1/18!
  for (double c : {1.0 / 20922789888000.0, -1.0 / 87178291200.0, 1.0 / 479001600.0, -1.0 / 3628800.0,
                   1.0 / 40320.0, -1.0 / 720.0, 1.0 / 24.0, -0.5})
    cosSeries = cosSeries * r2 + c;
  const double sinR = r * sinSeries;
  const double cosR = 1.0 + r2 * cosSeries;
  const auto quadrant = static_cast<std::int64_t>(q) & 3;
  switch (quadrant) {
    case 0:
      return sinR;
    case 1:
      return cosR;
    case 2:
      return -sinR;
    default:
      return -cosR;
  }
}

}  // namespace morvox
