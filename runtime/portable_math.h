// exp, log, pow and sin from IEEE 754 double arithmetic alone (+ - × /,
// comparisons, exact scaling by powers of two), so that they give the same
// bits on every platform and C runtime. The C libraries of Linux and of
// Windows each round some results differently in the last place, and a
// coefficient one unit apart makes the whole output differ. Accuracy is
// within a few units in the last place.
#pragma once

namespace morvox {

// e^x; 0 below the smallest subnormal, infinity above the largest double.
double Exp(double x);

// Natural logarithm: NaN for x < 0, -infinity for 0.
double Log(double x);

// x^y with the C library's special cases for signs, zeros, infinities,
// NaN and integral y (pow(x, 0) is 1; a negative x needs an integral y).
double Pow(double x, double y);

// sine of x in radians (accurate for |x| up to about 1e6; NaN for infinities).
double Sin(double x);

}  // namespace morvox
