// The program's fast sine: one kernel of plain double arithmetic, the same
// on every system, with a proven bound on its error, computed eight
// arguments at a time with the widest vector instructions the CPU offers.
// Its results can differ from the correctly rounded sine in the last bits
// (and, where a fused multiply-add is used, from one instruction set to
// another): a caller that needs the exact result must check each value it
// uses against kSineError.
#pragma once

#include <cstddef>
#include <span>

namespace sweepwav {

// For |x| < 2^34 the kernel's sine lies within kSineError of the exact
// mathematical sine of x (an absolute bound: six units of 2^-53).
inline constexpr double kSineLimit = 0x1p34;
inline constexpr double kSineError = 6 * 0x1p-53;

// The kernel, one argument at a time: the same operations as in the vector
// sines, so the same bits.
double KernelSin(double x);

// Fills out[i] with the kernel's sine of x[i] for i < count. Both arrays hold
// count rounded up to a whole multiple of kSineLanes entries; the arguments
// past count must be set (to anything below kSineLimit) and their sines are
// computed too.
inline constexpr std::size_t kSineLanes = 8;
using SineBlock = void (*)(const double* x, double* out, std::size_t count);

struct VectorSine {
    const char* name = nullptr;  // "AVX-512", "AVX2" or "baseline"
    SineBlock sines = nullptr;
};

// The vector sines this CPU can run, narrowest first: the baseline, with
// the instructions every CPU of its kind has (on x86-64, SSE2), then AVX2
// and AVX-512 where the CPU has them (not in a build configured with
// SWEEPWAV_SCALAR_SINE=ON).
std::span<const VectorSine> UsableVectorSines();

// The one rendering uses, chosen once: the widest, or the baseline when the
// environment variable SWEEPWAV_SCALAR_SINE is set to anything but "" or "0".
const VectorSine& ChosenVectorSine();

}  // namespace sweepwav
