// Rendering the frames of a tone, piece by piece. Any piece can be rendered
// on its own, on any thread, with exactly the bytes a single pass over the
// whole tone would give.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/sample_format.h"
#include "synth/vector_sine.h"

namespace sweepwav {

// What rendering needs of the plan and the format. The spans point into the
// tone plan, which stays unchanged while a run renders it.
struct RenderJob {
    std::span<const double> freq;       // Hz, per tone
    std::span<const double> amplitude;  // steps of the word, per tone
    double phaseScale = 0;              // radians per frame per Hz
    SampleFormat format = IntegerPcm(16);  // the word and its container
    int channels = 1;
    bool dither = false;
    std::uint64_t runSeed = 0;
    // The signal options: the ramps' length in frames, the channels that
    // carry each pass (bit c - 1 for channel c; none: every channel in one
    // pass) and the tones in a pass, which number the passes' dither.
    std::int32_t rampFrames = 0;
    std::span<const std::uint32_t> passChannels;
    int tones = 0;
    // The fast sine; none: ChosenVectorSine(). The samples do not depend on
    // it, as long as it stays within kSineError of the exact sine.
    SineBlock sines = nullptr;

    int frameBytes() const { return format.containerBytes * channels; }
};

// Frames [first, first + count) of one tone (tone -1: silence). A tone
// next to silence fades in over its first rampFrames frames, or out over
// its last, of toneFrames; pass says which channels carry it.
struct Chunk {
    int tone = 0;
    std::int32_t first = 0;
    std::int32_t count = 0;
    int pass = 0;
    bool rampIn = false;
    bool rampOut = false;
    std::int32_t toneFrames = 0;
};

// The first and last sample of a rendered chunk, as values and as container
// bytes (least significant first), and how many of its samples the fast
// sine left too close to a rounding boundary, so that they were computed
// again from the correctly rounded sine.
struct ChunkEnds {
    double firstSample = 0;
    double lastSample = 0;
    std::uint8_t firstBytes[kMaxContainerBytes] = {};
    std::uint8_t lastBytes[kMaxContainerBytes] = {};
    std::int32_t recomputed = 0;
};


// Bytes a chunk's buffer needs beyond its frames: the frames are stored as
// whole words that may run past the last one.
inline constexpr std::size_t kRenderSlack = 8;

// Renders a chunk into out, which holds count x frameBytes bytes and
// kRenderSlack more, whose value is then undefined: per frame
// one sine sample, optional TPDF dither, rounded half to even, clipped to the
// word, left-justified in its container and copied into every channel.
// The samples are those of the correctly rounded sine and cosine
// (ExactSin, ExactCos), on every machine; the kernel's vector sine
// (ChosenVectorSine) computes nearly all of them fast.
ChunkEnds RenderChunk(const RenderJob& job, const Chunk& chunk, std::uint8_t* out);

}  // namespace sweepwav
