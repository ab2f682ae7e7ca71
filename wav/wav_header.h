// The canonical 44-byte RIFF/WAVE PCM header.
#pragma once

#include "core/generator_state.h"
#include "wav/wav_format.h"

namespace sweepwav {

// Fills bHeader with the header of a file of the given sizes in the state's
// format, and sets iByteRate.
void Generate_WAV_Header(GeneratorState& s, const WavFileSize& size);

}  // namespace sweepwav
