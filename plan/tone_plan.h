// Turns the settings into the tone plan: per-tone frequency, level,
// amplitude, minimum duration and length, the totals and the buffers.
#pragma once

#include <string>

#include "core/generator_state.h"
#include "core/window_ops.h"

namespace sweepwav {

// Sets iCalcResult to 1 when the plan is complete. A plan whose lengths or
// totals do not fit their 32-bit fields is refused with RefuseOversize.
// Nothing in proportion to the file's size is allocated: the audio is made
// only while the file is written.
void Set_up_calculation(GeneratorState& s, WindowOps& w);

// Refuses a plan too large for a WAV file like an entry out of range: the
// message, bDataOK and iCalcResult cleared, the idle look.
void RefuseOversize(GeneratorState& s, WindowOps& w);

// The message: what to reduce, of what counts for the sweep (the steps, or
// the bands or listed frequencies and then the silences that are on).
std::string OversizeMessage(const GeneratorState& s);

extern const char* const kOversizeMessage;

}  // namespace sweepwav
