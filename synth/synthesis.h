// Renders the tone plan into bAudio, showing progress and honouring Abort.
#pragma once

#include <cstdint>

#include "app/generator_state.h"
#include "platform/window_ops.h"

namespace sweepwav {

// runSeed seeds the dither of this run (see DitherSource).
void Generate_Audio_Data(GeneratorState& s, WindowOps& w, std::uint64_t runSeed);

}  // namespace sweepwav
