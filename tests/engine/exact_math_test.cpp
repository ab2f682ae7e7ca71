// The correctly rounded functions against values computed independently
// (with 400-bit arithmetic, then rounded to the nearest double), through
// both of their evaluations; and the two evaluations against each other.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <tuple>
#include <vector>

#include "numbers/exact_math.h"
#include "support/planned_sweep.h"

namespace sweepwav {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

enum class Fn { Sin, Cos, Atan, Pow, TenToThe };

double Call(Fn f, double x, double y, Evaluation how) {
    switch (f) {
        case Fn::Sin: return ExactSin(x, how);
        case Fn::Cos: return ExactCos(x, how);
        case Fn::Atan: return ExactAtan(x, how);
        case Fn::Pow: return ExactPow(x, y, how);
        default: return ExactTenToThe(static_cast<int>(x), static_cast<int>(y), how);
    }
}

std::uint64_t Bits(double v) { return std::bit_cast<std::uint64_t>(v); }

TEST(ExactMath, TheDoubleNearestTheExactValue) {
    struct Case {
        Fn f;
        double x, y, expected;
        const char* what;
    };
    const Case cases[] = {
        {Fn::Sin, 0x1.bb42981218a45p+16, 0, 0x1.0e8b7bcb1f127p-2, "a phase glibc's sin misses by 1 ulp"},
        {Fn::Sin, 0x1.61833f4153a57p+20, 0, 0x1.76fdbb0849515p-2, "a phase mingw-w64's sin misses by ulps"},
        {Fn::Sin, 0x1.921fb54442d18p+1, 0, 0x1.1a62633145c07p-53, "the double nearest pi"},
        {Fn::Sin, 0x1p-30, 0, 0x1p-30, "tiny: x - x^3/6 rounds to x"},
        {Fn::Sin, -0.0, 0, -0.0, "negative zero keeps its sign"},
        {Fn::Sin, 0x0.0000000000001p-1022, 0, 0x0.0000000000001p-1022, "the smallest double"},
        {Fn::Sin, 0x1.fffffffffffffp+52, 0, -0x1.c9176a7414f8fp-7, "the largest phase the precise evaluation covers"},
        {Fn::Cos, 0x1.c6e9d808f5b6p+0, 0, -0x1.a35482d9d4ac1p-3, "glibc's cos misses by 1 ulp"},
        {Fn::Cos, 0x1.921fb54442d18p+0, 0, 0x1.1a62633145c07p-54, "the double nearest pi/2"},
        {Fn::Cos, 1e-320, 0, 1, "cos of a tiny value is 1"},
        {Fn::Cos, 0x1.1910a3eea0117p+0, 0, 0x1.d2637ab9c5e69p-2, "a ramp's gain glibc misses"},
        {Fn::Atan, 1, 0, 0x1.921fb54442d18p-1, "4 times this is the double nearest pi"},
        {Fn::Atan, 0x1.0bfcfcf28d5a7p-4, 0, 0x1.0b9b58d566f89p-4, "glibc's atan misses by 1 ulp"},
        {Fn::Atan, 0x1.7379667f8d102p-3, 0, 0x1.6f7a9c4587e2p-3, "glibc's atan misses by 1 ulp"},
        {Fn::Atan, 1e300, 0, 0x1.921fb54442d18p+0, "+pi/2"},
        {Fn::Atan, -1e300, 0, -0x1.921fb54442d18p+0, "-pi/2"},
        {Fn::Atan, 1e-300, 0, 1e-300, "tiny: atan x rounds to x"},
        {Fn::Pow, 3, 34, 0x1.d9fe779881944p+53, "half-way between two doubles: to the even one"},
        {Fn::Pow, 10, 23, 0x1.52d02c7e14af6p+76, "half-way between two doubles: to the even one"},
        {Fn::Pow, 94906267, 2, 0x1.0000007c84becp+53, "half-way between two doubles: to the even one"},
        {Fn::Pow, 43292708761, 1.5, 0x1.0004e2838465ep+53, "half-way between two doubles: to the even one"},
        {Fn::Pow, 2411809, 2.5, 0x1.00bf8c99ca428p+53, "half-way between two doubles: to the even one"},
        {Fn::Pow, 39601, 3.5, 0x1.5f411e120fd1cp+53, "half-way between two doubles: to the even one"},
        {Fn::Pow, 15752961, 2.25, 0x1.bc56f81a6e12p+53, "half-way between two doubles: to the even one"},
        {Fn::Pow, 10, -72.31272727272727 / 20, 0x1.fc26e2452431ap-13, "a level the previous build's pow missed"},
        {Fn::Pow, 10, -0x1.99bda5119ce08p+0, 0x1.9b06cfebef9a4p-6, "glibc's pow misses by 1 ulp"},
        {Fn::Pow, 0x1.6e1f8361eb04cp+1, 0x1.f5f5f5f5f5f5fp-1, 0x1.66a7dde38d46fp+1, "glibc's pow misses by 1 ulp"},
        {Fn::Pow, 0x1.1471f630ece3cp+4, 0x1.c71c71c71c71cp-1, 0x1.92d8d9b98a71p+3, "glibc's pow misses by 1 ulp"},
        {Fn::Pow, -3, 35, -0x1.637ed9b2612f3p+55, "a negative base with an odd exponent"},
        {Fn::Pow, -2, -3, -0.125, "a negative base with a negative odd exponent"},
        {Fn::Pow, -0.5, -4, 16, "a negative base with a negative even exponent"},
        {Fn::Pow, 2, -1074.5, 0x0.0000000000001p-1022, "below the smallest double but nearer it than 0"},
        {Fn::Pow, 2, -1075, 0, "half the smallest double: to the even one, 0"},
        {Fn::Pow, 2, 1024, kInf, "beyond the largest double"},
        {Fn::Pow, 0x1.fffffffffffffp+1023, 1.0000000001, kInf, "beyond the largest double"},
        {Fn::Pow, 4, 0.5, 2, "exact"},
        {Fn::TenToThe, 93, 30, 0x1.3abb39f263d2p+10, "the centre of the third-octave band above 1 kHz"},
        {Fn::TenToThe, 483, 240, 0x1.9bae224cd2694p+6, "a 1/24-octave band centre"},
        {Fn::TenToThe, -3, 10, 0x1.009b9cf334252p-1, "a negative exponent"},
        {Fn::TenToThe, 23, 1, 0x1.52d02c7e14af6p+76, "half-way between two doubles: to the even one"},
    };
    for (const Case& c : cases) {
        for (Evaluation how : {Evaluation::Auto, Evaluation::PreciseOnly}) {
            const double got = Call(c.f, c.x, c.y, how);
            EXPECT_EQ(Bits(got), Bits(c.expected))
                << c.what << ": " << std::hexfloat << c.x << ", " << c.y << " gives " << got << " instead of "
                << c.expected << (how == Evaluation::Auto ? "" : " (precise evaluation)");
        }
    }
}

TEST(ExactMath, SpecialValues) {
    EXPECT_TRUE(std::isnan(ExactSin(kInf)));
    EXPECT_TRUE(std::isnan(ExactCos(-kInf)));
    EXPECT_TRUE(std::isnan(ExactSin(std::nan(""))));
    EXPECT_EQ(ExactAtan(-kInf), -0x1.921fb54442d18p+0);
    EXPECT_TRUE(std::isnan(ExactPow(-2, 0.5)));
    EXPECT_EQ(ExactPow(-2, 2), 4);
    EXPECT_EQ(ExactPow(std::nan(""), 0), 1);
    EXPECT_EQ(ExactPow(0, -1), kInf);
    EXPECT_EQ(4 * ExactAtan(1), 3.141592653589793);
}

// The precise evaluation decides only for about 2^-46 of the arguments;
// here it must agree with the quick one everywhere else.
TEST(ExactMath, BothEvaluationsAgree) {
#ifdef SWEEPWAV_TESTS_SANITIZED
    constexpr int kArguments = 150;
#else
    constexpr int kArguments = 1500;
#endif
    std::mt19937_64 random(2026);
    const auto uniform = [&] { return std::ldexp(static_cast<double>(random() >> 11), -53); };
    for (int i = 0; i < kArguments; ++i) {
        // Phases up to 2^40 and of every size below 1, bases near 1 and far
        // from it with exponents that keep the result a double.
        const double x = std::ldexp(uniform(), static_cast<int>(uniform() * 80) - 40) * (i % 2 ? 1 : -1);
        const double base = i % 3 ? std::ldexp(1 + uniform(), static_cast<int>(uniform() * 60) - 30)
                                  : 1 + std::ldexp(uniform(), -static_cast<int>(uniform() * 50));
        const double exponent = (uniform() * 2 - 1) * 700 / std::fabs(std::log(base));
        for (const auto& [f, a, b] : {std::tuple{Fn::Sin, x, 0.0}, std::tuple{Fn::Cos, x, 0.0},
                                      std::tuple{Fn::Atan, x, 0.0}, std::tuple{Fn::Pow, base, exponent}}) {
            ASSERT_EQ(Bits(Call(f, a, b, Evaluation::Auto)), Bits(Call(f, a, b, Evaluation::PreciseOnly)))
                << "function " << static_cast<int>(f) << " of " << std::hexfloat << a << ", " << b;
        }
    }
}

// Near a peak (where a tone at a quarter of the rate puts every other
// sample) the sine and cosine are found by a shorter way: it must give what
// the precise evaluation gives, on both sides of every peak, from the first
// to one near 2^34, with 1 or a double just below it; and where the short
// way's own error would decide the rounding (arguments found by a search
// against a 113-bit cosine), the precise way must be taken.
TEST(ExactMath, NearAPeakAsPreciselyAsElsewhere) {
    std::vector<double> args = {0x1.923fb5482506ap+0, 0x1.891786f394b46p+10, 0x1.922000b23c342p+20};
    for (double quarterTurns : {1.0, 3.0, 2.0, 4.0, 1001.0, 0x1p20 + 3, 0x1p32 + 1, 0x1.45f306dc9c882p+33}) {
        for (double offset : {0.0, 0x1p-40, -0x1p-27, 0x1p-20, -0x1p-14, 0x1p-11, -0x1.7p-11}) {
            args.push_back(quarterTurns * 1.5707963267948966 + offset);
        }
    }
    for (double a : args) {
        for (double x : {a, -a}) {
            for (Fn f : {Fn::Sin, Fn::Cos}) {
                ASSERT_EQ(Bits(Call(f, x, 0, Evaluation::Auto)), Bits(Call(f, x, 0, Evaluation::PreciseOnly)))
                    << (f == Fn::Sin ? "sin " : "cos ") << std::hexfloat << x;
            }
        }
    }
}

// The plan's numbers where glibc's pow misses the last bit (the values were
// computed apart from the program, as above).
TEST(ExactMath, ThePlanTakesItsNumbersFromThem) {
    const auto logSteps = testing::PlannedSweep({.steps = 30, .log = true, .startFreq = 41, .endFreq = 20000, .toneMs = 10});
    EXPECT_EQ(logSteps.dFreq[21], 0x1.865c5b7b42ef6p+11);
    const auto levels = testing::PlannedSweep({.steps = 22, .startLevel = -99.43, .endLevel = 0, .toneMs = 10});
    EXPECT_EQ(levels.dAmplitude[6], 0x1.fc26e2452431ap+2);
}

}  // namespace
}  // namespace sweepwav
