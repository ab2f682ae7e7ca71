#include "synth/dither_source.h"

#include <array>

namespace sweepwav {

namespace {

// A linear map of 64-bit vectors over GF(2), held as the images of the 64
// unit vectors.
using BitMatrix = std::array<std::uint64_t, 64>;

constexpr std::uint64_t Apply(const BitMatrix& m, std::uint64_t v) {
    std::uint64_t out = 0;
    for (int j = 0; v != 0; ++j, v >>= 1) {
        if (v & 1) out ^= m[static_cast<std::size_t>(j)];
    }
    return out;
}

// The step applied 2^i times, for i = 0 .. 63, by repeated squaring; built
// by the compiler, so that no run spends time on it.
struct StepPowers {
    std::array<BitMatrix, 64> power{};
    constexpr StepPowers() {
        for (std::size_t j = 0; j < 64; ++j) power[0][j] = DitherSource::Advance(std::uint64_t{1} << j);
        for (std::size_t i = 1; i < 64; ++i) {
            for (std::size_t j = 0; j < 64; ++j) power[i][j] = Apply(power[i - 1], power[i - 1][j]);
        }
    }
};

#if defined(_MSC_VER) && !defined(__clang__)
// MSVC's limits on evaluation at compile time are far below what the table
// takes; there it is built at the first skip.
const StepPowers& Powers() {
    static const StepPowers powers;
    return powers;
}
#else
constexpr StepPowers kPowers;
constexpr const StepPowers& Powers() { return kPowers; }
#endif

}  // namespace

void DitherSource::Skip(std::uint64_t draws) {
    for (std::size_t i = 0; draws != 0; ++i, draws >>= 1) {
        if (draws & 1) state_ = Apply(Powers().power[i], state_);
    }
}

}  // namespace sweepwav
