// The elementary functions that the program's numbers come from, correctly
// rounded: each returns the double nearest the exact mathematical value
// (exact halves to the even neighbour). The value is fixed by mathematics,
// so every machine, compiler and C library gives the same bits, which the C
// library's own functions do not promise.
//
// How: libquadmath's 113-bit result decides the rounding wherever the exact
// value cannot lie on the other side of a half-way point between doubles,
// which is all but about 2^-46 of the arguments. For the rest a second
// evaluation with 226 bits decides; a value it finds within 2^-180 of a
// half-way point is taken to lie on it (pow has such exact cases, such as
// 10^23; none is known for sin, cos or atan, whose hardest double arguments
// come no closer than about 2^-120).
#pragma once

namespace sweepwav {

// Which evaluations a function uses: the quick one, and the precise one
// where the quick one cannot decide (Auto), or the precise one alone (for
// the tests, which check both).
enum class Evaluation { Auto, PreciseOnly };

// sin and cos of x in radians. The precise evaluation covers |x| < 2^53;
// beyond that the quick one's rounding is returned as it is (the program's
// arguments stay below 2^34).
double ExactSin(double x, Evaluation how = Evaluation::Auto);
double ExactCos(double x, Evaluation how = Evaluation::Auto);

// atan(x) in radians; 4 * ExactAtan(1) is the double nearest pi.
double ExactAtan(double x, Evaluation how = Evaluation::Auto);

// 10 to the power numerator / denominator, the exponent taken exactly (not
// first rounded to a double); denominator > 0.
double ExactTenToThe(int numerator, int denominator, Evaluation how = Evaluation::Auto);

// x to the power y. Negative x with a whole y has the sign of the result;
// zeros, infinities and NaNs give the special values of IEEE 754.
double ExactPow(double x, double y, Evaluation how = Evaluation::Auto);

}  // namespace sweepwav
