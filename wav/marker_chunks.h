// Tone markers: the chunks that follow the data chunk when markers are on,
// so that an editor or analyser shows every tone as a labelled region.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/generator_state.h"

namespace sweepwav {

// The marker chunks of a completed plan (iCalcResult 1), in file order:
//   "cue "  one cue point per tone: id index + 1, position and sample
//           offset the tone's first frame, chunk "data", chunk and block
//           start 0;
//   "LIST"  of type "adtl": first per tone a "labl" (cue id, ToneLabel text
//           with a closing NUL), then per tone an "ltxt" (cue id, the
//           tone's frames as sample length, purpose "rgn ", country,
//           language, dialect and code page 0, no text).
// Every chunk is followed by a 0x00 pad byte when its size is odd; the pad
// is not counted in its size field. bytes.size() is even and is what the
// chunks add to the file and to its RIFF size. They go after the data
// chunk and its own pad byte. Empty when the per-tone fields do not hold
// iSteps + 1 tones, or when the tones have no frames at all.
std::vector<std::uint8_t> ToneMarkerChunks(const GeneratorState& s);

// How many bytes ToneMarkerChunks gives, without making them.
std::size_t ToneMarkerBytes(const GeneratorState& s);

// The label of tone index (0-based), e.g. "Tone 3: 997 Hz, -20 dBFS":
// frequency and level rounded to 3 decimals in the program's number text.
std::string ToneLabel(const GeneratorState& s, int index);

}  // namespace sweepwav
