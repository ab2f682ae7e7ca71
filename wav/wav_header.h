// The RIFF/WAVE header: everything before the audio.
#pragma once

#include <cstdint>

#include "core/generator_state.h"
#include "wav/wav_format.h"

namespace sweepwav {

// Appends the header of a file in format f whose RIFF size field is
// riffSize, with dataBytes of audio in frames frames per channel: the RIFF
// chunk's head and form type, the "fmt " chunk, a "fact" chunk where the
// format needs one, and the head of the "data" chunk. The one description
// of the header, which also sizes it.
void WriteWavHeader(ChunkWriter& h, const WavFormat& f, std::uint32_t riffSize, std::uint32_t dataBytes,
                    std::uint32_t frames);

// The bytes before the audio in a file of format f: what WriteWavHeader
// writes.
std::uint32_t WavHeaderBytes(const WavFormat& f);

// Fills bHeader with the header of a file of the given sizes in the state's
// format, and sets iByteRate.
void Generate_WAV_Header(GeneratorState& s, const WavFileSize& size);

}  // namespace sweepwav
