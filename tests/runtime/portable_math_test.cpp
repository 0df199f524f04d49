// The runtime's exp, log, pow and sin: close to the C library's, its special
// cases, and the very same bits on every build (the digest below is checked
// by the Linux, 32-bit and 64-bit Windows test programs alike).
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "runtime/portable_math.h"

namespace {

using morvox::Exp;
using morvox::Log;
using morvox::Pow;
using morvox::Sin;

constexpr double kEps = std::numeric_limits<double>::epsilon();
constexpr double kInf = std::numeric_limits<double>::infinity();

// A fixed sequence of arguments in [0, 1).
struct Uniform {
  std::uint64_t state = 88172645463325252ULL;
  double Next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return static_cast<double>(state >> 11) / 9007199254740992.0;
  }
};

double RelativeError(double got, double want) {
  return std::fabs(got - want) / std::fabs(want);
}

TEST(PortableMath, StaysWithinAFewUnitsInTheLastPlaceOfTheCLibrary) {
  Uniform u;
  double exp = 0, log = 0, pow = 0, sin = 0;
  for (int i = 0; i < 200000; ++i) {
    const double x = u.Next();
    exp = std::max(exp, RelativeError(Exp(x * 1400 - 700), std::exp(x * 1400 - 700)));
    log = std::max(log, RelativeError(Log(x * 1e6 + 1e-300), std::log(x * 1e6 + 1e-300)));
    pow = std::max(pow, RelativeError(Pow(10.0, x * 12 - 9), std::pow(10.0, x * 12 - 9)));
    // sin near its zeros loses relative accuracy in any argument reduction:
    // compare absolutely over the phases the demo phrase reaches.
    sin = std::max(sin, std::fabs(Sin(x * 400 - 200) - std::sin(x * 400 - 200)));
  }
  EXPECT_LE(exp, 2 * kEps);
  EXPECT_LE(log, 3 * kEps);
  EXPECT_LE(pow, 40 * kEps);  // the error of log(x) grows with |y log x|, here up to 21
  EXPECT_LE(sin, 8 * kEps);
}

TEST(PortableMath, SpecialCasesAreTheCLibrarys) {
  EXPECT_EQ(Exp(0.0), 1.0);
  EXPECT_EQ(Exp(-kInf), 0.0);
  EXPECT_EQ(Exp(-1000.0), 0.0);
  EXPECT_EQ(Exp(1000.0), kInf);
  EXPECT_GT(Exp(-744.0), 0.0);  // subnormal, not flushed
  EXPECT_TRUE(std::isnan(Exp(std::nan(""))));
  EXPECT_EQ(Log(1.0), 0.0);
  EXPECT_EQ(Log(0.0), -kInf);
  EXPECT_EQ(Log(kInf), kInf);
  EXPECT_TRUE(std::isnan(Log(-1.0)));
  EXPECT_NEAR(Log(4.9406564584124654e-324), -744.44007192138126, 1e-12);
  EXPECT_EQ(Pow(10.0, 0.0), 1.0);
  EXPECT_EQ(Pow(std::nan(""), 0.0), 1.0);
  EXPECT_EQ(Pow(1.0, std::nan("")), 1.0);
  EXPECT_EQ(Pow(0.0, 0.01), 0.0);  // the attack curve at feedback 50 % and below
  EXPECT_EQ(Pow(0.0, -1.0), kInf);
  EXPECT_EQ(Pow(-0.0, -1.0), -kInf);
  EXPECT_NEAR(Pow(-2.0, 3.0), -8.0, 8 * 4 * kEps);
  EXPECT_NEAR(Pow(-2.0, 2.0), 4.0, 4 * 4 * kEps);
  EXPECT_TRUE(std::isnan(Pow(-2.0, 0.5)));
  EXPECT_EQ(Pow(0.5, kInf), 0.0);
  EXPECT_EQ(Pow(2.0, -kInf), 0.0);
  EXPECT_EQ(Pow(-1.0, kInf), 1.0);
  EXPECT_EQ(Pow(kInf, -2.0), 0.0);
  EXPECT_EQ(Pow(-kInf, 3.0), -kInf);
  EXPECT_EQ(Sin(0.0), 0.0);
  EXPECT_TRUE(std::isnan(Sin(kInf)));
}

TEST(PortableMath, GivesTheSameBitsOnEveryBuild) {
  Uniform u;
  std::uint64_t hash = 14695981039346656037ULL;
  auto mix = [&hash](double v) { hash = (hash ^ std::bit_cast<std::uint64_t>(v)) * 1099511628211ULL; };
  for (int i = 0; i < 20000; ++i) {
    const double x = u.Next();
    mix(Exp(x * 60 - 50));
    mix(Log(x * 1000 + 1e-9));
    mix(Pow(10.0, x * 7 - 6));
    mix(Pow(x, 0.01));
    mix(Sin(x * 300));
  }
  EXPECT_EQ(hash, 0xe70b0df7890f8fe9ULL);
}

}  // namespace
