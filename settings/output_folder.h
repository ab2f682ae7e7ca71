// Finds the analyser's installation folder, where generated files go.
#pragma once

#include "core/generator_state.h"
#include "core/services.h"
#include "core/window_ops.h"

namespace sweepwav {

// Reads the installation folder from the analyser's settings, or falls back,
// and sets the output folder: the installation folder and its wavetable
// folder, or the fallback folder; and which of the three it came to.
void Get_Olvane_Path(GeneratorState& s, WindowOps& w, Services& sv);

}  // namespace sweepwav
