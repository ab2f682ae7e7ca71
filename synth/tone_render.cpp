#include "synth/tone_render.h"

#include <array>
#include <cmath>
#include <cstring>
#include <utility>

#include "synth/dither_source.h"
#include "synth/shaped_render.h"

namespace sweepwav {

namespace {

// Nearest integer, exact halves to the even neighbour, for |x| < 2^51: adding
// 1.5 x 2^52 leaves no fraction bits, so the addition itself rounds in the
// default mode. Same result as std::nearbyint without the library call.
inline double RoundToEven(double x) {
    constexpr double kShift = 6755399441055744.0;
    return (x + kShift) - kShift;
}

// Stores one sample into every channel of a frame. The container bytes are
// repeated in registers and stored as whole 64-bit words, never copied
// through memory: the last word may run up to 7 bytes past the frame, into
// the next frame's place (or the buffer's slack), which is written later.
template <int Bytes, int Channels>
inline void StoreFrame(std::uint8_t* out, std::uint32_t v) {
    constexpr int kWords = (Bytes * Channels + 7) / 8;
    if constexpr (Bytes == 2) {
        const std::uint64_t w = (v & 0xFFFFu) * 0x0001000100010001ULL;  // 4 containers
        std::memcpy(out, &w, 8);
        if constexpr (kWords > 1) std::memcpy(out + 8, &w, 8);
    } else {
        // 8 containers of 3 bytes fill three words exactly.
        const std::uint64_t c = v & 0xFFFFFFu;
        const std::uint64_t w0 = c | (c << 24) | (c << 48);
        std::memcpy(out, &w0, 8);
        if constexpr (kWords > 1) {
            const std::uint64_t w1 = (c >> 16) | (c << 8) | (c << 32) | (c << 56);
            std::memcpy(out + 8, &w1, 8);
        }
        if constexpr (kWords > 2) {
            const std::uint64_t w2 = (c >> 8) | (c << 16) | (c << 40);
            std::memcpy(out + 16, &w2, 8);
        }
    }
}

template <int Bytes, int Channels>
ChunkEnds Render(const RenderJob& job, const Chunk& chunk, std::uint8_t* out) {
    const double freq = job.freq[static_cast<std::size_t>(chunk.tone)];
    const double amplitude = job.amplitude[static_cast<std::size_t>(chunk.tone)];
    const double phaseScale = job.phaseScale;
    // Rounded samples are clipped to the word length before the
    // left-justifying shift, so a peak never wraps to the opposite sign.
    const double maxCode = std::ldexp(1.0, job.bits - 1) - 1;
    const double minCode = -std::ldexp(1.0, job.bits - 1);
    const double justify = job.bits > 16 ? std::ldexp(1.0, 24 - job.bits) : 1.0;
    const bool addDither = job.dither;

    DitherSource dither(job.runSeed, static_cast<std::uint64_t>(chunk.tone));
    if (addDither) dither.Skip(static_cast<std::uint64_t>(chunk.first));

    ChunkEnds ends;
    double sample = 0;
    std::uint32_t v = 0;
    const std::int32_t end = chunk.first + chunk.count;
    for (std::int32_t n = chunk.first; n < end; ++n) {
        sample = std::sin(n * phaseScale * freq) * amplitude;
        if (addDither) {
            float r1, r2;
            dither.NextPair(r1, r2);
            sample = sample + ((r2 + r1) - 1.0f);
        }
        sample = RoundToEven(sample);
        if (sample > maxCode) sample = maxCode;
        if (sample < minCode) sample = minCode;
        sample *= justify;
        v = static_cast<std::uint32_t>(static_cast<std::int32_t>(sample));
        StoreFrame<Bytes, Channels>(out, v);
        out += Bytes * Channels;
        if (n == chunk.first) {
            ends.firstSample = sample;
            for (int j = 0; j < Bytes; ++j) ends.firstBytes[j] = static_cast<std::uint8_t>(v >> (8 * j));
        }
    }
    ends.lastSample = sample;
    for (int j = 0; j < Bytes; ++j) ends.lastBytes[j] = static_cast<std::uint8_t>(v >> (8 * j));
    return ends;
}

using RenderFn = ChunkEnds (*)(const RenderJob&, const Chunk&, std::uint8_t*);

template <int Bytes, std::size_t... C>
constexpr std::array<RenderFn, sizeof...(C)> RenderersFor(std::index_sequence<C...>) {
    return {&Render<Bytes, static_cast<int>(C) + 1>...};
}

}  // namespace

std::vector<Chunk> SplitIntoChunks(std::span<const std::int32_t> frames, std::int32_t maxFrames) {
    std::vector<Chunk> chunks;
    for (std::size_t k = 0; k < frames.size(); ++k) {
        for (std::int32_t first = 0; first < frames[k]; first += maxFrames) {
            const std::int32_t count = frames[k] - first < maxFrames ? frames[k] - first : maxFrames;
            chunks.push_back({static_cast<int>(k), first, count});
        }
    }
    return chunks;
}

ChunkEnds RenderChunk(const RenderJob& job, const Chunk& chunk, std::uint8_t* out) {
    // Silence, and tones shaped by the signal options, take their own path;
    // without signal options every chunk takes the one below.
    if (chunk.tone < 0) return RenderSilence(job, chunk, out);
    if (NeedsShaping(job, chunk)) return RenderShaped(job, chunk, out);
    // One copy of the sample loop per container width and channel count.
    static constexpr auto k2 = RenderersFor<2>(std::make_index_sequence<8>());
    static constexpr auto k3 = RenderersFor<3>(std::make_index_sequence<8>());
    const auto channel = static_cast<std::size_t>(job.channels - 1);
    return (job.bytesPerSample == 2 ? k2 : k3)[channel](job, chunk, out);
}

}  // namespace sweepwav
