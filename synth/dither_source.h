// Uniform random values in [0, 1) in single precision for TPDF dither. Each
// tone gets its own stream, derived from the run's seed and the tone index,
// so no two tones of a run share a dither sequence. A stream can skip ahead
// exactly, so that the frames of one tone can be rendered in pieces, in any
// order, with the same dither as in one pass.
#pragma once

#include <cstdint>

namespace sweepwav {

class DitherSource {
public:
    DitherSource(std::uint64_t runSeed, std::uint64_t tone) {
        std::uint64_t x = runSeed ^ (0x9E3779B97F4A7C15ULL * (tone + 1));
        state_ = Mix(x);
        if (state_ == 0) state_ = 0x853C49E6748FEA9BULL;
    }

    // 24 random bits scaled to [0, 1): exactly representable as a float.
    float Next() { return Scale(Step() >> 40); }

    // Two values at once, from the high and the middle bits of one draw.
    void NextPair(float& first, float& second) {
        const std::uint64_t r = Step();
        first = Scale(r >> 40);
        second = Scale((r >> 16) & 0xFFFFFF);
    }

    // Moves the stream on by `draws` steps (each Next or NextPair is one).
    void Skip(std::uint64_t draws);

    // The xorshift step: a linear map of the 64 state bits.
    static constexpr std::uint64_t Advance(std::uint64_t s) {
        s ^= s >> 12;
        s ^= s << 25;
        s ^= s >> 27;
        return s;
    }

private:
    std::uint64_t Step() {
        state_ = Advance(state_);
        return state_ * 0x2545F4914F6CDD1DULL;
    }

    static float Scale(std::uint64_t bits24) {
        return static_cast<float>(bits24) * (1.0f / 16777216.0f);
    }

    static std::uint64_t Mix(std::uint64_t z) {
        z += 0x9E3779B97F4A7C15ULL;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    std::uint64_t state_;
};

}  // namespace sweepwav
