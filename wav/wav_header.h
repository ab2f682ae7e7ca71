// The canonical 44-byte RIFF/WAVE PCM header.
#pragma once

#include "core/generator_state.h"

namespace sweepwav {

// Fills bHeader[0..43] and iByteRate from the format and iTotalBytes.
void Generate_WAV_Header(GeneratorState& s);

}  // namespace sweepwav
