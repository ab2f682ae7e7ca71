// Renders the tone plan and hands the audio data on as it is made, showing
// progress and honouring Abort.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "core/generator_state.h"
#include "core/result.h"
#include "core/window_ops.h"

namespace sweepwav {

// Receives the audio bytes in playing order. A failure (the bytes could not
// be stored) stops synthesis.
using AudioSink = std::function<Status(std::span<const std::uint8_t>)>;

// Synthesises every tone (seeding the dither of this run with runSeed) on up
// to `workers` threads and passes the bytes to sink in order. Every window
// operation is made by the calling thread, in the same order and with the
// same values as one pass over the samples would make them: per tone the
// caption, the status and Progress2, Progress1 every 1000 frames, and the
// pending events serviced at the start of the tone and again every 2^17
// frames into it, where a press of Abort is seen. An abort keeps the frame
// in hand where it was seen (a tone's first, or the first of the tone's
// next piece) and nothing after it; iWritePos then tells how many bytes
// were passed on. Returns the sink's failure, if any.
Status Generate_Audio_Data(GeneratorState& s, WindowOps& w, std::uint64_t runSeed, unsigned workers,
                           const AudioSink& sink);

}  // namespace sweepwav
