// Turns the settings into the tone plan: per-tone frequency, level,
// amplitude, minimum duration and length, the totals and the buffers.
#pragma once

#include "core/generator_state.h"
#include "core/window_ops.h"

namespace sweepwav {

// Sets iCalcResult to 1 when the plan is complete. A plan whose sizes do not
// fit the file's 32-bit fields is refused with a message, bDataOK cleared
// and iCalcResult left at 0. Nothing in proportion to the file's size is
// allocated: the audio is made only while the file is written.
void Set_up_calculation(GeneratorState& s, WindowOps& w);

extern const char* const kOversizeMessage;

}  // namespace sweepwav
