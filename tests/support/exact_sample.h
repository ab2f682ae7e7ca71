// One sample's value before rounding as the renderer defines it, the
// correctly rounded sine times the amplitude (plus the dither), found
// without the renderer, one frame at a time: from std::sin, and from the
// exact sine where that lies within 2^-8 of a half-way point, a margin far
// wider than any std::sin's error and than the renderer's own.
#pragma once

#include <cmath>

#include "numbers/exact_math.h"

namespace sweepwav::testing {

inline double ExactSampleValue(double phase, double amplitude, bool dither, float noise) {
    const auto value = [&](double sine) { return dither ? sine * amplitude + noise : sine * amplitude; };
    const double fast = value(std::sin(phase));
    if (std::fabs(fast - std::nearbyint(fast)) <= 0.5 - 1.0 / 256) return fast;
    return value(ExactSin(phase));
}

}  // namespace sweepwav::testing
