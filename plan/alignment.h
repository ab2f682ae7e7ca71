// Zero-crossing alignment of one tone: whole cycles per tone.
#pragma once

#include <cstdint>
#include <optional>

namespace sweepwav {

// The frequency nearest dFreq at which a whole number of cycles (at least
// one) fills iSamples frames. Empty when a count does not fit 32 bits.
[[nodiscard]] std::optional<double> ShiftFreq(std::int32_t iSampleRate, double dFreq, std::int32_t iSamples);

// The number of frames nearest to the whole number of cycles nearest to
// dTimeslice seconds of dFreq. Empty when a count does not fit 32 bits.
[[nodiscard]] std::optional<std::int32_t> ShiftTime(std::int32_t iSampleRate, double dFreq, double dTimeslice);

}  // namespace sweepwav
