// Copies the entries of the window into the settings.
#pragma once

#include <string>

#include "core/generator_state.h"
#include "core/window_ops.h"

namespace sweepwav {

// The file name for the typed name: everything as typed, blanks included,
// less a trailing ".wav" in any letter case and any trailing full stops,
// then ".wav". So "my.sweep.wav" stays as it is, "Take.WAV" becomes
// "Take.wav" and "test.txt" becomes "test.txt.wav". A name ends at a NUL
// character, as the system reads it.
std::string WavFileName(std::string typed);

// Copies the controls into the settings, rounding frequencies and levels to
// 3 decimals and the counts to whole numbers, and shows the rounded numbers
// back in their boxes. Called only once Check_Entered_data has passed.
void Get_Data_From_Form(GeneratorState& s, WindowOps& w);

}  // namespace sweepwav
