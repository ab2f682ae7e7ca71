// Rendering with the signal options: silence, ramps where a tone meets
// silence, and tones on some channels only. Slower than the plain path,
// which renders every chunk these leave alone.
#pragma once

#include <cstdint>

#include "synth/tone_render.h"

namespace sweepwav {

// Whether a tone's chunk needs the shaped path: it lies in a ramp, or its
// pass carries the signal on some channels only (or is not the first).
bool NeedsShaping(const RenderJob& job, const Chunk& chunk);

// Exact zeros in every channel, without dither.
ChunkEnds RenderSilence(const RenderJob& job, const Chunk& chunk, std::uint8_t* out);

// As the plain path, with the raised-cosine envelope applied to the tone
// before dither, and exact zeros (without dither) in the channels that do
// not carry the pass.
ChunkEnds RenderShaped(const RenderJob& job, const Chunk& chunk, std::uint8_t* out);

}  // namespace sweepwav
