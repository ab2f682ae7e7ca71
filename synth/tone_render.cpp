#include "synth/tone_render.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>
#include <stdexcept>
#include <utility>

#include "numbers/exact_math.h"
#include "synth/dither_source.h"
#include "synth/vector_sine.h"

namespace sweepwav {

namespace {

std::uint32_t AllChannels(const RenderJob& job) { return (std::uint32_t(1) << job.channels) - 1; }

// The channels that carry a pass: the job's mask for it, or every channel.
std::uint32_t PassChannels(const RenderJob& job, int pass) {
    const auto p = static_cast<std::size_t>(pass);
    return p < job.passChannels.size() ? job.passChannels[p] : AllChannels(job);
}

// Nearest integer, exact halves to the even neighbour, for |x| < 2^51: adding
// 1.5 x 2^52 leaves no fraction bits, so the addition itself rounds in the
// default mode. Same result as std::nearbyint without the library call.
inline double RoundToEven(double x) {
    constexpr double kShift = 6755399441055744.0;
    return (x + kShift) - kShift;
}

// Word `word` of a frame of containers of Bytes bytes each holding c: every
// container that overlaps the word's 8 bytes, shifted into its place.
template <int Bytes>
inline std::uint64_t FrameWord(std::uint64_t c, int word) {
    std::uint64_t w = 0;
    for (int at = 8 * word / Bytes * Bytes; at < 8 * word + 8; at += Bytes) {
        const int shift = 8 * (at - 8 * word);
        w |= shift >= 0 ? c << shift : c >> -shift;
    }
    return w;
}

// Stores one sample into every channel of a frame. The container bytes are
// repeated in registers and stored as whole 64-bit words, never copied
// through memory: the last word may run up to 7 bytes past the frame, into
// the next frame's place (or the buffer's slack), which is written later.
template <int Bytes, int Channels>
inline void StoreFrame(std::uint8_t* out, std::uint32_t v) {
    constexpr int kWords = (Bytes * Channels + 7) / 8;
    const std::uint64_t c = v & (~std::uint64_t{0} >> (64 - 8 * Bytes));
    for (int word = 0; word < kWords; ++word) {
        const std::uint64_t w = FrameWord<Bytes>(c, word);
        std::memcpy(out + 8 * word, &w, 8);
    }
}

// Stores one sample into the channels of a frame that carry it (bit c for
// channel c + 1) and exact zeros into the others.
template <int Bytes, int Channels>
inline void StoreMaskedFrame(std::uint8_t* out, std::uint32_t v, std::uint32_t carried) {
    for (int c = 0; c < Channels; ++c) {
        const std::uint32_t code = (carried >> c) & 1 ? v : 0;
        for (int j = 0; j < Bytes; ++j) *out++ = static_cast<std::uint8_t>(code >> (8 * j));
    }
}

// Frames whose sines are computed together: the arguments and the sines of
// a block stay in the first-level cache.
constexpr std::int32_t kBlock = 256;
static_assert(kBlock % kSineLanes == 0);

// Every sample is defined by the correctly rounded sine and cosine
// (ExactSin, ExactCos): the double nearest the exact value, then the same
// double operations in the same order on every machine. The kernel's sine
// (vector_sine.h) and its cosine in the ramps' gain only stand in for them
// where that cannot change a sample: a sample whose value before rounding
// lies within Guard(amplitude) of a half-way point x.5 is computed again
// from the exact sine and gain.
// The bound, with u = 2^-53 and A the amplitude: the kernel's sine is within
// 6u of the exact sine, so within 6.5u of its rounding; times A, with the
// product's rounding in each path, 8.5u |A|. The kernel's cosine takes
// pi/2 - y (2u more) and is within 8.5u of the exact one's rounding; the
// gain, 0.5 - 0.5 cos, within 5.25u of the exact gain. The product with the
// gain adds 5.25u |A| and two roundings, the dither's sum two roundings of
// a value below |A| + 1: in all less than 18u (|A| + 1). Guard() allows 32u.
// A value further than that from every half-way point rounds as the exact
// one does. The clipping limits, the largest code + 0.5 and the smallest
// - 0.5, are half-way points as well. So few samples are recomputed: about
// 2^-24 of a dithered full-scale 24-bit tone's, none of most plain tones,
// and the peaks of a tone whose peak sits within the guard of a half-way
// point (ExactSin finds those quickly).
double Guard(double amplitude) { return std::ldexp(std::fabs(amplitude) + 1, -48); }

// What the samples of one chunk's tone are made of: the tone, the word, the
// dither, the sine, and the ramps (a gain of exactly 1 outside them).
struct ToneShape {
    double freq, amplitude, phaseScale;
    double maxCode, minCode, justify;
    double nearHalf;  // 0.5 - Guard(amplitude)
    bool dither;
    SineBlock vectorSines;
    std::int32_t rampFrames, toneFrames;
    bool rampIn, rampOut;
};

// The raised-cosine gain of frame n of the tone: rising from 0 over the
// first rampFrames frames, falling to 0 over the last, 1 in between; with
// the fast cosine or the exact one.
template <double (*Cos)(double)>
double Gain(const ToneShape& t, std::int32_t n) {
    const std::int32_t r = t.rampFrames;
    if (t.rampIn && n < r) return 0.5 - 0.5 * Cos(std::numbers::pi * n / r);
    const std::int32_t fromEnd = t.toneFrames - 1 - n;
    if (t.rampOut && fromEnd < r) return 0.5 - 0.5 * Cos(std::numbers::pi * fromEnd / r);
    return 1;
}

// cos y = sin(pi/2 - y), for the gain's 0 <= y <= pi.
double KernelCos(double y) { return KernelSin(std::numbers::pi / 2 - y); }
double ExactCosine(double x) { return ExactCos(x); }

// Whether frames [first, first + count) reach into a ramp.
bool InRamp(const ToneShape& t, std::int32_t first, std::int32_t count) {
    if (t.rampFrames <= 0) return false;
    return (t.rampIn && first < t.rampFrames) || (t.rampOut && first + count > t.toneFrames - t.rampFrames);
}

// Frames [first, first + count) of a tone, count <= kBlock, as their final
// sample values (rounded, clipped, left-justified) and as the integers the
// containers hold: sine, amplitude, ramp gain, dither, rounding, clipping.
// Every step runs over the whole block before the next, so that the
// compiler can keep several frames in one register. Returns how many
// samples were recomputed from the exact sine.
std::int32_t SampleBlock(const ToneShape& t, std::int32_t first, std::int32_t count, DitherSource& dither,
                         double* samples, std::uint32_t* codes) {
    alignas(64) double x[kBlock];
    alignas(64) double sines[kBlock];
    alignas(64) double values[kBlock];
    alignas(64) double gains[kBlock];
    alignas(64) float noise[kBlock];
    const bool ramped = InRamp(t, first, count);
    // The phase is computed from n alone, in this order, for every frame.
    for (std::int32_t i = 0; i < count; ++i) x[i] = (first + i) * t.phaseScale * t.freq;
    const auto lanes = static_cast<std::int32_t>(kSineLanes);
    const std::int32_t padded = (count + lanes - 1) / lanes * lanes;
    std::fill(x + count, x + padded, 0.0);
    t.vectorSines(x, sines, static_cast<std::size_t>(padded));
    for (std::int32_t i = 0; i < count; ++i) values[i] = sines[i] * t.amplitude;
    if (ramped) {
        for (std::int32_t i = 0; i < count; ++i) gains[i] = Gain<KernelCos>(t, first + i);
        for (std::int32_t i = 0; i < count; ++i) values[i] = values[i] * gains[i];
    }
    if (t.dither) {
        for (std::int32_t i = 0; i < count; ++i) {
            float r1, r2;
            dither.NextPair(r1, r2);
            noise[i] = (r2 + r1) - 1.0f;
        }
        for (std::int32_t i = 0; i < count; ++i) values[i] = values[i] + noise[i];
    }
    for (std::int32_t i = 0; i < count; ++i) samples[i] = RoundToEven(values[i]);
    std::int32_t recomputed = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        if (std::fabs(values[i] - samples[i]) < t.nearHalf) [[likely]] continue;
        double value = ExactSin(x[i]) * t.amplitude;
        if (ramped) value = value * Gain<ExactCosine>(t, first + i);
        if (t.dither) value = value + noise[i];
        samples[i] = RoundToEven(value);
        ++recomputed;
    }
    for (std::int32_t i = 0; i < count; ++i) {
        double sample = samples[i];
        if (sample > t.maxCode) sample = t.maxCode;
        if (sample < t.minCode) sample = t.minCode;
        sample *= t.justify;
        samples[i] = sample;
        codes[i] = static_cast<std::uint32_t>(static_cast<std::int32_t>(sample));
    }
    return recomputed;
}

template <int Bytes, int Channels>
ChunkEnds Render(const RenderJob& job, const Chunk& chunk, SineBlock vectorSines, std::uint8_t* out) {
    // Rounded samples are clipped to the word length before the
    // left-justifying shift, so a peak never wraps to the opposite sign.
    const SampleFormat& word = job.format;
    const ToneShape tone{job.freq[static_cast<std::size_t>(chunk.tone)],
                         job.amplitude[static_cast<std::size_t>(chunk.tone)],
                         job.phaseScale,
                         word.fullScale - 1,
                         -word.fullScale,
                         std::ldexp(1.0, 8 * word.containerBytes - word.validBits),
                         0.5 - Guard(job.amplitude[static_cast<std::size_t>(chunk.tone)]),
                         job.dither,
                         vectorSines,
                         job.rampFrames,
                         chunk.toneFrames,
                         chunk.rampIn,
                         chunk.rampOut};
    const std::uint32_t carried = PassChannels(job, chunk.pass);
    const bool everyChannel = carried == AllChannels(job);

    // Each pass of a tone has dither of its own.
    DitherSource dither(job.runSeed, static_cast<std::uint64_t>(chunk.tone + chunk.pass * job.tones));
    if (job.dither) dither.Skip(static_cast<std::uint64_t>(chunk.first));

    ChunkEnds ends;
    alignas(64) double samples[kBlock];
    alignas(64) std::uint32_t codes[kBlock];
    const auto keep = [&](double& sample, std::uint8_t (&bytes)[kMaxContainerBytes], std::int32_t i) {
        sample = samples[i];
        for (int j = 0; j < Bytes; ++j) bytes[j] = static_cast<std::uint8_t>(codes[i] >> (8 * j));
    };
    const std::int32_t end = chunk.first + chunk.count;
    for (std::int32_t block = chunk.first; block < end; block += kBlock) {
        const std::int32_t count = std::min(kBlock, end - block);
        ends.recomputed += SampleBlock(tone, block, count, dither, samples, codes);
        for (std::int32_t i = 0; i < count; ++i) {
            if (everyChannel) [[likely]] {
                StoreFrame<Bytes, Channels>(out, codes[i]);
            } else {
                StoreMaskedFrame<Bytes, Channels>(out, codes[i], carried);
            }
            out += Bytes * Channels;
        }
        if (block == chunk.first) keep(ends.firstSample, ends.firstBytes, 0);
        if (block + count == end) keep(ends.lastSample, ends.lastBytes, count - 1);
    }
    return ends;
}

using RenderFn = ChunkEnds (*)(const RenderJob&, const Chunk&, SineBlock, std::uint8_t*);

template <int Bytes, std::size_t... C>
constexpr std::array<RenderFn, sizeof...(C)> RenderersFor(std::index_sequence<C...>) {
    return {&Render<Bytes, static_cast<int>(C) + 1>...};
}

// The sample loops of one coding and container.
struct Renderers {
    SampleCoding coding;
    int containerBytes;
    std::array<RenderFn, 8> byChannels;  // 1 to 8 channels
};

}  // namespace

ChunkEnds RenderChunk(const RenderJob& job, const Chunk& chunk, std::uint8_t* out) {
    // Silence is exact zeros in every channel, without dither.
    if (chunk.tone < 0) {
        std::memset(out, 0, static_cast<std::size_t>(chunk.count) * static_cast<std::size_t>(job.frameBytes()));
        return {};
    }
    // One copy of the sample loop per coding, container and channel count.
    static constexpr Renderers kRenderers[] = {
        {SampleCoding::Integer, 2, RenderersFor<2>(std::make_index_sequence<8>())},
        {SampleCoding::Integer, 3, RenderersFor<3>(std::make_index_sequence<8>())},
    };
    const auto channel = static_cast<std::size_t>(job.channels - 1);
    const SineBlock sines = job.sines != nullptr ? job.sines : ChosenVectorSine().sines;
    for (const Renderers& r : kRenderers) {
        if (r.coding == job.format.coding && r.containerBytes == job.format.containerBytes) {
            return r.byChannels[channel](job, chunk, sines, out);
        }
    }
    throw std::logic_error("no sample loop for this sample format");
}

}  // namespace sweepwav
