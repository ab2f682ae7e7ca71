// The proposed file name: the frequency and level range of the sweep.
#pragma once

#include <string>

#include "core/generator_state.h"
#include "core/window_ops.h"

namespace sweepwav {

// "Make file name": checks the five sweep numbers, then puts a name such as
// "SW 20Hz to 20kHz at -20dBFS.wav" into the FileName box. A failed check
// shows its message, clears bDataOK and leaves the box as it was.
void AutoName_Click(GeneratorState& s, WindowOps& w);

// A frequency as short text: kHz to 3 decimals from 1000 Hz up, else Hz to
// 1 decimal.
std::string FreqName(double freq);

}  // namespace sweepwav
