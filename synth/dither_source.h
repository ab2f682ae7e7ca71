// Uniform random values in [0, 1) in single precision for TPDF dither. Each
// tone gets its own stream, derived from the run's seed and the tone index,
// so no two tones of a run share a dither sequence.
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

private:
    std::uint64_t Step() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
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
