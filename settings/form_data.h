// Copies the entries of the window into the settings.
#pragma once

#include "app/generator_state.h"
#include "platform/window_ops.h"

namespace sweepwav {

// Copies the controls into the settings, rounding frequencies and levels to
// 3 decimals and the counts to whole numbers, and shows the rounded numbers
// back in their boxes. Called only once Check_Entered_data has passed.
void Get_Data_From_Form(GeneratorState& s, WindowOps& w);

}  // namespace sweepwav
