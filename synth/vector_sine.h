// Sines of many arguments at once, with the widest vector sine that the CPU
// and the C library offer. Its results can differ from the exact sine's in
// the last bits: a caller that needs the exact result must check each value
// it uses against the vector sine's error bound.
#pragma once

#include <cstddef>

namespace sweepwav {

// Fills out[i] with the sine of x[i] for i < count. Both arrays hold count
// rounded up to a whole multiple of kSineLanes entries; the arguments past
// count must be set (to anything finite) and their sines are computed too.
inline constexpr std::size_t kSineLanes = 8;
using SineBlock = void (*)(const double* x, double* out, std::size_t count);

struct VectorSine {
    const char* name = nullptr;  // "AVX-512" or "AVX2"
    SineBlock sines = nullptr;   // none: one sine at a time, with std::sin
};

// The vector sine of this machine, chosen once. None on other CPUs and
// systems, in a build configured with SWEEPWAV_SCALAR_SINE=ON, and when the
// environment variable SWEEPWAV_SCALAR_SINE is set to anything but "" or "0".
const VectorSine& ChosenVectorSine();

}  // namespace sweepwav
