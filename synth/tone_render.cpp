#include "synth/tone_render.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <utility>

#include "synth/dither_source.h"
#include "synth/vector_sine.h"

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

// Frames whose sines are computed together: the arguments and the sines of
// a block stay in the first-level cache.
constexpr std::int32_t kBlock = 256;
static_assert(kBlock % kSineLanes == 0);

// A sample is recomputed with std::sin when its value before rounding lies
// within kGuard of a half-way point x.5. glibc states a maximum error of
// 4 ulp for its vector sine, and its std::sin is within 1 ulp, so the two
// sines differ by at most 5 ulp of a value below 1: 5 x 2^-53. Scaled by an
// amplitude below 2^23 that is at most 5 x 2^-30; the product's rounding and
// the dither's addition add half an ulp of a value below 2^24, at most 2^-30,
// each, in each path: samples built from the two sines differ by less than
// 2^-26. A sample further than that from every half-way point rounds as
// std::sin's sample does; kGuard = 2^-16 leaves a factor of 1024 on top.
// The clipping limits, the largest code + 0.5 and the smallest - 0.5, are
// half-way points as well. About 2 x 2^-16 (3 in 10^5) of the samples of a
// loud tone are recomputed.
constexpr double kGuard = 1.0 / 65536;
constexpr double kNearHalf = 0.5 - kGuard;

template <int Bytes, int Channels>
ChunkEnds Render(const RenderJob& job, const Chunk& chunk, SineBlock vectorSines, std::uint8_t* out) {
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
    alignas(64) double x[kBlock];
    alignas(64) double sines[kBlock];
    const std::int32_t end = chunk.first + chunk.count;
    for (std::int32_t block = chunk.first; block < end; block += kBlock) {
        const std::int32_t count = std::min(kBlock, end - block);
        // The phase is computed from n alone, in this order, for every frame.
        for (std::int32_t i = 0; i < count; ++i) x[i] = (block + i) * phaseScale * freq;
        if (vectorSines != nullptr) {
            const std::int32_t lanes = static_cast<std::int32_t>(kSineLanes);
            const std::int32_t padded = (count + lanes - 1) / lanes * lanes;
            std::fill(x + count, x + padded, 0.0);
            vectorSines(x, sines, static_cast<std::size_t>(padded));
        } else {
            for (std::int32_t i = 0; i < count; ++i) sines[i] = std::sin(x[i]);
        }
        for (std::int32_t i = 0; i < count; ++i) {
            float noise = 0;
            if (addDither) {
                float r1, r2;
                dither.NextPair(r1, r2);
                noise = (r2 + r1) - 1.0f;
            }
            sample = sines[i] * amplitude;
            if (addDither) sample = sample + noise;
            double rounded = RoundToEven(sample);
            if (vectorSines != nullptr && std::fabs(sample - rounded) >= kNearHalf) [[unlikely]] {
                sample = std::sin(x[i]) * amplitude;
                if (addDither) sample = sample + noise;
                rounded = RoundToEven(sample);
                ++ends.recomputed;
            }
            sample = rounded;
            if (sample > maxCode) sample = maxCode;
            if (sample < minCode) sample = minCode;
            sample *= justify;
            v = static_cast<std::uint32_t>(static_cast<std::int32_t>(sample));
            StoreFrame<Bytes, Channels>(out, v);
            out += Bytes * Channels;
            if (block + i == chunk.first) {
                ends.firstSample = sample;
                for (int j = 0; j < Bytes; ++j) ends.firstBytes[j] = static_cast<std::uint8_t>(v >> (8 * j));
            }
        }
    }
    ends.lastSample = sample;
    for (int j = 0; j < Bytes; ++j) ends.lastBytes[j] = static_cast<std::uint8_t>(v >> (8 * j));
    return ends;
}

using RenderFn = ChunkEnds (*)(const RenderJob&, const Chunk&, SineBlock, std::uint8_t*);

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
    // One copy of the sample loop per container width and channel count.
    static constexpr auto k2 = RenderersFor<2>(std::make_index_sequence<8>());
    static constexpr auto k3 = RenderersFor<3>(std::make_index_sequence<8>());
    const auto channel = static_cast<std::size_t>(job.channels - 1);
    return (job.bytesPerSample == 2 ? k2 : k3)[channel](job, chunk, ChosenVectorSine().sines, out);
}

}  // namespace sweepwav
