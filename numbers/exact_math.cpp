#include "numbers/exact_math.h"

#include <quadmath.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace sweepwav {

namespace {

__extension__ using Quad = __float128;

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// ---- The quick evaluation -------------------------------------------------
// libquadmath's sinq, cosq, atanq and powq were measured within 2 units of
// the 113th bit (2^-112 of the value) against 400-bit references. The
// rounding is decided where every value within 2^-99 of the result rounds
// to the same double: twice an assumed error of 2^-100, so that the
// rounding of the two ends themselves cannot matter, and 2^12 times the
// measured one.
std::optional<double> Decided(Quad q) {
    const Quad margin = fabsq(q) * static_cast<Quad>(std::ldexp(1.0, -99));
    const double low = static_cast<double>(q - margin);
    const double high = static_cast<double>(q + margin);
    if (low == high) return low;  // a zero keeps q's sign
    return std::nullopt;
}

// ---- Near a peak ------------------------------------------------------------
// sin x or cos x where x lies within 2^-10 of a multiple j pi/2 at which it
// peaks, as a tone's samples at a quarter of the rate all do: the value is
// +-cos e, e = x - j pi/2, so within 2^-20 of +-1, where the doubles are
// 1 - m 2^-53. Its rounding needs only D = (1 - cos e) 2^53 to about 2^-16,
// 20 or so double operations, not the quick evaluation's 113-bit sine.
//
// e for |x| < 2^34: j < 2^33.4, and pi/2 = Q1 + Q2 + Q3 + Q4 to within
// 2^-114, Q1 to Q3 of 19 significant bits, so j Qi is exact for i <= 3.
// x - j Q1 is a multiple of ulp(x) below 2^53 ulp(x) in size, and the next
// difference one of 2^-52 below 2 (j |pi/2 - Q1 - Q2| < 2^-6): both exact;
// the third, a multiple of 2^-59 below 2^-9, is exact too. j Q4 rounds by
// less than 2^-80, the pieces leave less than 2^-80, and the last
// difference rounds by u |e|, u = 2^-53. So e is within u |e| + 2^-79.
// D: 2^52 e^2 - 2^53 e^4/24 + 2^53 e^6/720 (the two fractions rounded to
// double), below 2^32, and the terms left
// out below 2^-42. e's error moves the first term by at most
// 2u D + 2^-36 <= 2^-20 + 2^-36, the square's rounding by u D <= 2^-21, and
// every other rounding by at most half an ulp of a value below 2^32,
// 2^-21, or far less: D is within 2^-17.
// So where D lies further than 2^-16 from a half-way point between two
// whole numbers, 1 - m 2^-53 with m the whole number nearest D is the
// double nearest cos e, as no other double lies nearer.
std::optional<double> NearPeak(double x, int quarterTurns) {
    constexpr double kQ1 = 0x1.921fcp+0, kQ2 = -0x1.5777cp-21, kQ3 = 0x1.a308cp-41, kQ4 = 0x1.313198a2e037p-61;
    constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;
    const double a = std::fabs(x);
    if (!(a < 0x1p34)) return std::nullopt;
    constexpr double kShift = 0x1.8p52;  // adding it rounds to a whole number
    const double j = (a * kTwoOverPi + kShift) - kShift;
    const double e = (((a - j * kQ1) - j * kQ2) - j * kQ3) - j * kQ4;
    const int quadrant = static_cast<int>((static_cast<std::int64_t>(j) + quarterTurns) % 4);
    if (quadrant % 2 == 0 || !(std::fabs(e) <= 0x1p-10)) return std::nullopt;
    const double e2 = e * e;
    const double d = 0x1p52 * e2 - (e2 * e2) * (0x1p53 / 24) + (e2 * e2 * e2) * (0x1p53 / 720);
    const double m = (d + kShift) - kShift;
    if (std::fabs(d - m) > 0.5 - 0x1p-16) return std::nullopt;
    const double magnitude = 1 - m * 0x1p-53;
    // sin(-x) = -sin x; cos(-x) = cos x.
    const bool negative = (quadrant == 3) != (quarterTurns == 0 && x < 0);
    return negative ? -magnitude : magnitude;
}

// ---- The precise evaluation: hi + lo, two Quads, 226 bits -------------------
// Each operation below is within a few units of 2^-226 of its exact result;
// the longest chain (pow: a logarithm, a product, an exponential of up to
// 745) stays within 2^-200, and the rounding allows 2^-180.
struct Wide {
    Quad hi = 0, lo = 0;
};

Wide TwoSum(Quad a, Quad b) {
    const Quad s = a + b, bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

Wide FastTwoSum(Quad a, Quad b) {  // |a| >= |b|
    const Quad s = a + b;
    return {s, b - (s - a)};
}

// a as the sum of two halves of at most 56 bits (Veltkamp's splitting).
Wide Split(Quad a) {
    const Quad t = a * (static_cast<Quad>(0x1p57) + 1);
    const Quad hi = t - (t - a);
    return {hi, a - hi};
}

// a x b exactly, by Dekker's method. Not with fmaq: mingw-w64's leaves the
// rounding mode at toward zero after an inexact result.
Wide TwoProd(Quad a, Quad b) {
    const Quad p = a * b;
    const Wide x = Split(a), y = Split(b);
    return {p, ((x.hi * y.hi - p) + x.hi * y.lo + x.lo * y.hi) + x.lo * y.lo};
}

Wide Neg(Wide a) { return {-a.hi, -a.lo}; }

Wide Add(Wide a, Wide b) {
    Wide s = TwoSum(a.hi, b.hi);
    const Wide t = TwoSum(a.lo, b.lo);
    s = FastTwoSum(s.hi, s.lo + t.hi);
    return FastTwoSum(s.hi, s.lo + t.lo);
}

Wide Mul(Wide a, Wide b) {
    Wide p = TwoProd(a.hi, b.hi);
    return FastTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

Wide Div(Wide a, Wide b) {
    const Quad q1 = a.hi / b.hi;
    Wide r = Add(a, Neg(Mul(b, {q1, 0})));
    const Quad q2 = r.hi / b.hi;
    r = Add(r, Neg(Mul(b, {q2, 0})));
    return Add(FastTwoSum(q1, q2), {r.hi / b.hi, 0});
}

// a / n for a whole n.
Wide DivSmall(Wide a, int n) {
    const Quad q1 = a.hi / n;
    const Wide p = TwoProd(q1, n);
    return FastTwoSum(q1, (((a.hi - p.hi) - p.lo) + a.lo) / n);
}

Wide Scale(Wide a, int e) { return {scalbnq(a.hi, e), scalbnq(a.lo, e)}; }

bool Negligible(Wide term, Wide sum) {
    return fabsq(term.hi) <= fabsq(sum.hi) * static_cast<Quad>(std::ldexp(1.0, -235));
}

// pi/2 and ln 2 as sums of doubles, each the double nearest what the ones
// before it leave: 8 x 53 bits of pi/2 (to 2^-441) and 5 of ln 2 (to
// 2^-273). k times a piece, for a whole k of up to 53 bits, is exact in a Quad.
constexpr double kHalfPi[] = {0x1.921fb54442d18p+0,   0x1.1a62633145c07p-54,  -0x1.f1976b7ed8fbcp-110,
                              0x1.4cf98e804177dp-164, 0x1.31d89cd9128a5p-218, 0x1.0f31c6809bbdfp-276,
                              0x1.519b3cd3a431bp-331, 0x1.8158536f92f8ap-386};
constexpr double kLn2[] = {0x1.62e42fefa39efp-1, 0x1.abc9e3b39803fp-56, 0x1.7b57a079a1934p-111,
                           -0x1.ace93a4ebe5d1p-165, -0x1.23a2a82ea0c24p-219};

// start - k x (the sum of pieces), for a whole k.
template <std::size_t N>
Wide MinusMultiple(Wide start, double k, const double (&pieces)[N]) {
    for (double piece : pieces) start = Add(start, {-static_cast<Quad>(k) * piece, 0});
    return start;
}

Wide HalfPi() { return MinusMultiple({}, -1, kHalfPi); }

// sin r and cos r by their Taylor series, for |r| <= pi/2.
Wide SinSeries(Wide r) {
    const Wide r2 = Mul(r, r);
    Wide term = r, sum = r;
    for (int n = 2; !Negligible(term, sum); n += 2) {
        term = Neg(DivSmall(DivSmall(Mul(term, r2), n), n + 1));
        sum = Add(sum, term);
    }
    return sum;
}

Wide CosSeries(Wide r) {
    const Wide r2 = Mul(r, r);
    Wide term{1, 0}, sum{1, 0};
    for (int n = 1; !Negligible(term, sum); n += 2) {
        term = Neg(DivSmall(DivSmall(Mul(term, r2), n), n + 1));
        sum = Add(sum, term);
    }
    return sum;
}

// sin x (or cos x, as sin(x + pi/2)) for |x| < 2^53. k, the nearest whole
// number to x / (pi/2), is below 2^53, so k times a piece is exact, and
// x - k pi/2 is formed exactly up to its last Add: x and k times the first
// piece (both multiples of 2^-52, or x < 1) differ by less than 2, and the
// remainder is never below about 2^-61, as close as any double comes to a
// multiple of pi/2.
Wide PreciseSine(double x, int quarterTurns) {
    const auto k = static_cast<double>(nearbyintq(x / HalfPi().hi));
    const Wide start{static_cast<Quad>(x) - static_cast<Quad>(k) * kHalfPi[0], 0};
    const double rest[] = {kHalfPi[1], kHalfPi[2], kHalfPi[3], kHalfPi[4], kHalfPi[5], kHalfPi[6], kHalfPi[7]};
    const Wide r = MinusMultiple(start, k, rest);
    const int quadrant = (static_cast<int>(std::fmod(k, 4.0)) + quarterTurns + 8) % 4;
    switch (quadrant) {
        case 0: return SinSeries(r);
        case 1: return CosSeries(r);
        case 2: return Neg(SinSeries(r));
        default: return Neg(CosSeries(r));
    }
}

// e^t for |t| < 2000: e^r x 2^k with r = t - k ln 2, |r| <= ln 2 / 2.
Wide PreciseExp(Wide t) {
    const double k = std::nearbyint(static_cast<double>(t.hi) / 0x1.62e42fefa39efp-1);
    const Wide r = MinusMultiple(t, k, kLn2);
    Wide term{1, 0}, sum{1, 0};
    for (int n = 1; !Negligible(term, sum); ++n) {
        term = DivSmall(Mul(term, r), n);
        sum = Add(sum, term);
    }
    return Scale(sum, static_cast<int>(k));
}

// ln x for a finite x > 0: e ln 2 + 2 atanh((m - 1) / (m + 1)), where
// x = m 2^e and m lies within a factor sqrt(2) of 1. The series keeps its
// precision relative to ln m, however close m is to 1.
Wide PreciseLog(double x) {
    int e = 0;
    double m = std::frexp(x, &e);
    if (m < 0.70710678118654752440) m *= 2, --e;
    const Wide z = Div({static_cast<Quad>(m) - 1, 0}, {static_cast<Quad>(m) + 1, 0});
    const Wide z2 = Mul(z, z);
    Wide power = z, sum = z;
    for (int n = 3;; n += 2) {
        power = Mul(power, z2);
        const Wide term = DivSmall(power, n);
        if (Negligible(term, sum)) break;
        sum = Add(sum, term);
    }
    return MinusMultiple(Scale(sum, 1), -e, kLn2);
}

// atan v for |v| <= 1: one Newton step on sin y - v cos y = 0 from
// libquadmath's atanq, which doubles its 112 bits.
Wide PreciseAtanSmall(Wide v) {
    const Wide y{atanq(v.hi + v.lo), 0};
    const Wide s = SinSeries(y), c = CosSeries(y);
    const Wide f = Add(s, Neg(Mul(v, c)));
    const Wide slope = Add(c, Mul(v, s));
    return Add(y, Neg(Div(f, slope)));
}

Wide PreciseAtan(double x) {
    if (std::fabs(x) <= 1) return PreciseAtanSmall({x, 0});
    // atan x = +-pi/2 - atan(1/x)
    const Wide halfPi = x > 0 ? HalfPi() : Neg(HalfPi());
    return Add(halfPi, Neg(PreciseAtanSmall(Div({1, 0}, {x, 0}))));
}

// ---- Rounding the precise value -------------------------------------------
// A double as a Quad, with 2^1024 for infinity: the half-way point between
// the largest double and infinity is where rounding overflows.
Quad Beyond(double a) { return std::isinf(a) ? scalbnq(std::copysign(1.0, a), 1024) : static_cast<Quad>(a); }

Quad HalfWay(double a, double b) { return (Beyond(a) + Beyond(b)) / 2; }

// Whether v lies above (1) or below (-1) the half-way point m, or within
// 2^-180 of v's size of it (0). v.hi - m is exact where the two are within
// a factor of 2, and far larger than any rounding where they are not.
int Side(Wide v, Quad m) {
    const Quad diff = (v.hi - m) + v.lo;
    const Quad allowed = fabsq(v.hi) * static_cast<Quad>(std::ldexp(1.0, -180));
    return diff > allowed ? 1 : diff < -allowed ? -1 : 0;
}

// A value within the allowance of a half-way point has that point as its
// hi (the allowance is far below a Quad's last bit), which the conversion
// rounds to the even neighbour. Elsewhere hi and lo lie on the same side of
// every half-way point, unless hi is one.
double Nearest(Wide v) {
    const double d = static_cast<double>(v.hi);
    const double up = std::nextafter(d, kInfinity), down = std::nextafter(d, -kInfinity);
    if (Side(v, HalfWay(d, up)) > 0) return up;
    if (Side(v, HalfWay(d, down)) < 0) return down;
    return d;
}

bool Quick(Evaluation how) { return how == Evaluation::Auto; }

}  // namespace

double ExactSin(double x, Evaluation how) {
    if (!std::isfinite(x)) return x - x;
    if (const auto peak = NearPeak(x, 0); peak && Quick(how)) return *peak;
    const Quad quick = sinq(x);
    if (const auto d = Decided(quick); d && Quick(how)) return *d;
    if (std::fabs(x) >= 0x1p53) return static_cast<double>(quick);
    return x == 0 ? x : Nearest(PreciseSine(x, 0));
}

double ExactCos(double x, Evaluation how) {
    if (!std::isfinite(x)) return x - x;
    if (const auto peak = NearPeak(x, 1); peak && Quick(how)) return *peak;
    const Quad quick = cosq(x);
    if (const auto d = Decided(quick); d && Quick(how)) return *d;
    if (std::fabs(x) >= 0x1p53) return static_cast<double>(quick);
    return Nearest(PreciseSine(x, 1));
}

double ExactAtan(double x, Evaluation how) {
    if (std::isnan(x)) return x;
    if (const auto d = Decided(atanq(x)); d && Quick(how)) return *d;
    return x == 0 ? x : Nearest(PreciseAtan(x));
}

double ExactPow(double x, double y, Evaluation how) {
    if (y == 0 || x == 1) return 1;
    if (std::isnan(x) || std::isnan(y)) return x + y;
    if (std::isinf(x) || std::isinf(y) || x == 0) return std::pow(x, y);  // exact special values
    if (x < 0) {
        if (std::nearbyint(y) != y) return std::numeric_limits<double>::quiet_NaN();
        const double magnitude = ExactPow(-x, y, how);
        return std::fabs(std::fmod(y, 2.0)) == 1 ? -magnitude : magnitude;
    }
    if (const auto d = Decided(powq(x, y)); d && Quick(how)) return *d;
    const Wide t = Mul(PreciseLog(x), {y, 0});
    // Far beyond the doubles' range the result rounds to infinity or zero.
    if (fabsq(t.hi) > 2000) return t.hi > 0 ? kInfinity : 0.0;
    return Nearest(PreciseExp(t));
}

double ExactTenToThe(int numerator, int denominator, Evaluation how) {
    // libquadmath's exponent is within 2^-113 of the quotient, which adds
    // less than 2^-104 to the error of its result where that is a double.
    const Quad quick = powq(10, static_cast<Quad>(numerator) / denominator);
    if (const auto d = Decided(quick); d && Quick(how)) return *d;
    const Wide t = Mul(Div({static_cast<Quad>(numerator), 0}, {static_cast<Quad>(denominator), 0}), PreciseLog(10));
    if (fabsq(t.hi) > 2000) return t.hi > 0 ? kInfinity : 0.0;
    return Nearest(PreciseExp(t));
}

}  // namespace sweepwav
