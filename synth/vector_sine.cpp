#include "synth/vector_sine.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace sweepwav {

namespace {

// ---- The kernel -------------------------------------------------------------
// sin x = (-1)^k sin r, with k the whole number nearest x / pi and
// r = x - k pi, |r| <= pi/2; sin r by its Taylor series up to r^21.
//
// Why it stays within kSineError = 6u of the exact sine, u = 2^-53, for
// |x| < 2^34. Each operation rounds to nearest. Where the CPU has a fused
// multiply-add (the AVX2 and AVX-512 loops), the compiler may fuse a
// product with the sum that takes it, which only drops the product's
// rounding: every step below then holds with one error fewer.
// 1. k: |fl(x fl(1/pi)) - x/pi| <= 2^32.4 x 2^-52 < 2^-19, so
//    |r| <= pi/2 + 2^-18 < R = 1.5709, and |k| < 2^33.
// 2. r = (((x - k P1) - k P2) - k P3) - k P4, with P1 + P2 + P3 + P4 within
//    2^-116 of pi. P1, P2, P3 have at most 20 significant bits, so k Pi is
//    exact for i <= 3. For k = 0, r = x. Otherwise |x| > 1.57, and
//    x - k P1 is a multiple of ulp(x) (k P1 is one of 2^-17, ulp(x) at
//    most 2^-19) below 2^53 ulp(x) in size (below 2 for |k| = 1, below |x|
//    for more): exact. The next difference is a multiple of 2^-52 below 2
//    (|k| |pi - P1 - P2| < 2^-8): exact. The third is a multiple of 2^-60
//    and exact below 2^-7; above, it rounds by at most
//    half an ulp. k P4 (< 2^-29) rounds by less than 2^-82, the
//    pieces leave less than 2^33 x 2^-116, and the last difference rounds
//    by half an ulp of r. So r is off by at most u for |r| < 1 - 2^-29 and
//    2u above, where |cos r| <= cos(1 - 2^-29) < 0.541: sin r moves by at
//    most 1.09u.
// 3. sin r = r + r z P(z), z = r^2, P(z) = c3 + c5 z + ... + c21 z^9 with
//    c(2j+1) = (-1)^j / (2j+1)! rounded to double (each off by u times its
//    size at most). The terms left out alternate and shrink: at most
//    R^23 / 23! < 2^-59 < 0.01u. In P, with |z| <= R^2 = 2.4678:
//    Horner's roundings give coefficient i a factor within
//    (2i + 1)u (1 + 2^-48) of 1, at most u sum (2i+1) |c| R^(2i) < 0.235u;
//    the coefficients' own rounding at most u sum |c| R^(2i) < 0.189u; z's
//    rounding moves P by at most u z max|P'| < 0.024u. So P is within
//    0.448u, and r z P, two more products, within
//    R^3 x 0.448u + |r - sin r| x 3.0001u < 1.737u + 1.713u < 3.46u.
// 4. The last sum rounds by at most u (a result of 1 can come from up to
//    u above it), and the sign costs nothing.
// In all: 1.09u + 0.01u + 3.46u + u < 5.6u < kSineError.

constexpr double kInvPi = 0x1.45f306dc9c883p-2;
constexpr double kP1 = 0x1.921fcp+1, kP2 = -0x1.5777ap-20, kP3 = -0x1.73dccp-42, kP4 = 0x1.898cc51701b84p-63;
// Adding 1.5 x 2^52 leaves no fraction bits: the sum is rounded to a whole
// number, whose parity is the sum's last bit.
constexpr double kShift = 0x1.8p52;
constexpr double kC3 = -0x1.5555555555555p-3, kC5 = 0x1.1111111111111p-7, kC7 = -0x1.a01a01a01a01ap-13,
                 kC9 = 0x1.71de3a556c734p-19, kC11 = -0x1.ae64567f544e4p-26, kC13 = 0x1.6124613a86d09p-33,
                 kC15 = -0x1.ae7f3e733b81fp-41, kC17 = 0x1.952c77030ad4ap-49, kC19 = -0x1.2f49b46814157p-57,
                 kC21 = 0x1.71b8ef6dcf572p-66;

// Vectors of 8, 4 and 2 doubles, and of as many 64-bit integers.
typedef double Lanes8 __attribute__((vector_size(64)));
typedef double Lanes4 __attribute__((vector_size(32)));
typedef double Lanes2 __attribute__((vector_size(16)));
typedef std::int64_t Bits8 __attribute__((vector_size(64)));
typedef std::int64_t Bits4 __attribute__((vector_size(32)));
typedef std::int64_t Bits2 __attribute__((vector_size(16)));

// As many sines as a register holds doubles: 8 for AVX-512, 4 for AVX2, 2
// for the baseline. Inlined into each instruction set's loop below, which the
// compiler turns into that set's vector operations.
template <class Lanes, class LaneBits>
[[gnu::always_inline]] inline void Sines(const double* in, double* out) {
    static_assert(sizeof(Lanes) == sizeof(LaneBits) && sizeof(Lanes) % sizeof(double) == 0);
    Lanes x;
    std::memcpy(&x, in, sizeof x);
    const Lanes shifted = x * kInvPi + kShift;
    const Lanes k = shifted - kShift;
    Lanes r = x - k * kP1;
    r = r - k * kP2;
    r = r - k * kP3;
    r = r - k * kP4;
    const Lanes z = r * r;
    Lanes p = kC21 * z + kC19;
    p = p * z + kC17;
    p = p * z + kC15;
    p = p * z + kC13;
    p = p * z + kC11;
    p = p * z + kC9;
    p = p * z + kC7;
    p = p * z + kC5;
    p = p * z + kC3;
    const Lanes s = r + (r * z) * p;
    // An odd k flips the sign bit.
    const LaneBits flipped =
        __builtin_bit_cast(LaneBits, s) ^ (__builtin_bit_cast(LaneBits, shifted) << 63);
    std::memcpy(out, &flipped, sizeof flipped);
}

template <class Lanes, class LaneBits>
[[gnu::always_inline]] inline void SineLoop(const double* x, double* out, std::size_t count) {
    constexpr std::size_t kWidth = sizeof(Lanes) / sizeof(double);
    for (std::size_t i = 0; i < count; i += kWidth) Sines<Lanes, LaneBits>(x + i, out + i);
}

void SinesBaseline(const double* x, double* out, std::size_t count) { SineLoop<Lanes2, Bits2>(x, out, count); }

#if defined(__x86_64__) && !defined(SWEEPWAV_SCALAR_SINE) && (defined(__GNUC__) || defined(__clang__))
#define SWEEPWAV_WIDE_SINES 1
// Only these functions use the wider registers; the rest of the program
// runs on any x86-64 CPU.
__attribute__((target("avx2,fma"))) void SinesAvx2(const double* x, double* out, std::size_t count) {
    SineLoop<Lanes4, Bits4>(x, out, count);
}

__attribute__((target("avx512f"))) void SinesAvx512(const double* x, double* out, std::size_t count) {
    SineLoop<Lanes8, Bits8>(x, out, count);
}
#endif

bool BaselineAsked() {
    const char* value = std::getenv("SWEEPWAV_SCALAR_SINE");
    return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

std::vector<VectorSine> Usable() {
    std::vector<VectorSine> usable{{"baseline", &SinesBaseline}};
#ifdef SWEEPWAV_WIDE_SINES
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma")) usable.push_back({"AVX2", &SinesAvx2});
    if (__builtin_cpu_supports("avx512f")) usable.push_back({"AVX-512", &SinesAvx512});
#endif
    return usable;
}

}  // namespace

double KernelSin(double x) {
    const double in[2] = {x, 0};
    double out[2];
    Sines<Lanes2, Bits2>(in, out);
    return out[0];
}

std::span<const VectorSine> UsableVectorSines() {
    static const std::vector<VectorSine> usable = Usable();
    return usable;
}

const VectorSine& ChosenVectorSine() {
    static const VectorSine& chosen = BaselineAsked() ? UsableVectorSines().front() : UsableVectorSines().back();
    return chosen;
}

}  // namespace sweepwav
