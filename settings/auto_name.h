// The proposed file name: the frequency and level range of the sweep.
#pragma once

#include <string>

#include "core/generator_state.h"
#include "core/window_ops.h"

namespace sweepwav {

// The five sweep numbers that a name needs, checked in the order of a
// Generate run; at the first that is not a number shows its message, clears
// bDataOK and returns false.
[[nodiscard]] bool CheckNameEntries(GeneratorState& s, WindowOps& w);

// Takes the five numbers into the settings, frequencies and levels to one
// decimal, as the name describes them.
void TakeNameEntries(GeneratorState& s, WindowOps& w);

// A name such as "SW 20Hz to 20kHz at -20dBFS.wav" for the sweep in the
// settings.
std::string ProposedFileName(const GeneratorState& s);

// A frequency as short text: kHz to 3 decimals from 1000 Hz up, else Hz to
// 1 decimal.
std::string FreqName(double freq);

}  // namespace sweepwav
