#include "plan/alignment.h"

#include "numbers/number_text.h"

namespace sweepwav {

std::optional<double> ShiftFreq(std::int32_t iSampleRate, double dFreq, std::int32_t iSamples) {
    auto rounded = RoundToLong((dFreq * iSamples) / iSampleRate);
    if (!rounded) return std::nullopt;
    std::int32_t cycles = *rounded == 0 ? 1 : *rounded;
    if (iSamples == 0) return dFreq;
    // Formed in 64 bits so that long high tones can still be aligned.
    const std::int64_t product = static_cast<std::int64_t>(iSampleRate) * cycles;
    return static_cast<double>(product) / iSamples;
}

std::optional<std::int32_t> ShiftTime(std::int32_t iSampleRate, double dFreq, double dTimeslice) {
    if (dTimeslice == 0) return 0;
    const double k = dFreq * dTimeslice;
    auto cycles = RoundToLong(k);
    if (!cycles) return std::nullopt;
    if (k == *cycles) return RoundToLong(dTimeslice * iSampleRate);
    auto length = RoundToLong((*cycles / dFreq) * iSampleRate);
    if (!length) return std::nullopt;
    if (*length != 0) return length;
    const std::int64_t oneMore = static_cast<std::int64_t>(*cycles) + 1;
    if (oneMore > 2147483647) return std::nullopt;
    return RoundToLong((static_cast<double>(oneMore) / dFreq) * iSampleRate);
}

}  // namespace sweepwav
