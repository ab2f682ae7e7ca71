// The fast sines against the correctly rounded one: every byte of a
// rendered chunk is the byte that the exact sine gives, only few samples
// need computing twice, and samples chosen on purpose close to a half-way
// point come out as exact arithmetic says.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <numbers>
#include <utility>
#include <vector>

#include "numbers/exact_math.h"
#include "support/exact_sample.h"
#include "synth/dither_source.h"
#include "synth/tone_render.h"
#include "synth/vector_sine.h"

namespace sweepwav {
namespace {

// Frames per case: 30 cases make 15.7 million frames (a sixteenth of that
// under the sanitizers, which slow the reference loop down).
#ifdef SWEEPWAV_TESTS_SANITIZED
constexpr std::int32_t kFrames = std::int32_t{1} << 15;
#else
constexpr std::int32_t kFrames = std::int32_t{1} << 19;
#endif

// Mono bytes made one frame after another.
std::vector<std::uint8_t> Reference(const RenderJob& job, const Chunk& c) {
    const double amplitude = job.amplitude[0], full = std::ldexp(1.0, job.format.validBits - 1);
    DitherSource dither(job.runSeed, 0);
    dither.Skip(static_cast<std::uint64_t>(c.first));
    std::vector<std::uint8_t> out;
    for (std::int32_t n = c.first; n < c.first + c.count; ++n) {
        float r1 = 0, r2 = 0;
        if (job.dither) dither.NextPair(r1, r2);
        double v = testing::ExactSampleValue(n * job.phaseScale * job.freq[0], amplitude, job.dither, (r2 + r1) - 1.0f);
        v = std::min(std::max(std::nearbyint(v), -full), full - 1);
        if (job.format.validBits > 16) v *= std::ldexp(1.0, 24 - job.format.validBits);
        const auto word = static_cast<std::uint32_t>(static_cast<std::int32_t>(v));
        for (int j = 0; j < job.format.containerBytes; ++j) out.push_back(static_cast<std::uint8_t>(word >> (8 * j)));
    }
    return out;
}

constexpr double kPi = std::numbers::pi;
constexpr const char* kNoVectorSine =
    "this machine computes with std::sin only (no AVX2, no glibc vector sine, or SWEEPWAV_SCALAR_SINE set)";

// On every machine: with the vector sine where there is one, else with
// std::sin.
TEST(VectorSine, EveryByteIsTheExactSinesAndFewAreRecomputed) {
    // Awkward frequencies, from a whole fraction of the rate to phases in the
    // billions of radians near the end of the longest tone.
    struct Tone {
        double rate, freq;
        std::int32_t first;
    };
    const Tone tones[] = {{48000, 12000, 0},          {44100, 997.0000001, 1},  {192000, 19999.999, 77777},
                          {32000, 0.5, 0},            {96000, 31415.926535, 3}, {192000, 94000.5, 2140000000},
                          {44100, 21609, 123456789}};
    std::int64_t ditheredFrames = 0, recomputed = 0;
    int next = 0;
    for (int bits : {16, 18, 20, 22, 24}) {
        const double full = std::ldexp(1.0, bits - 1);
        // 0 dBFS, a tone clipped at both ends, and a low level.
        for (double amplitude : {full - 2, full + 0.5, 2.5}) {
            for (bool dither : {false, true}) {
                const Tone& t = tones[next++ % std::size(tones)];
                const double freq[] = {t.freq}, amp[] = {amplitude};
                const RenderJob job{freq, amp, (kPi + kPi) / t.rate, IntegerPcm(bits), 1, dither, 2024, 0, {}, 1};
                const Chunk chunk{0, t.first, kFrames};
                const auto expected = Reference(job, chunk);
                std::vector<std::uint8_t> bytes(expected.size() + kRenderSlack);
                const ChunkEnds ends = RenderChunk(job, chunk, bytes.data());
                const auto diff = std::mismatch(expected.begin(), expected.end(), bytes.begin());
                ASSERT_TRUE(diff.first == expected.end())
                    << bits << " bit, amplitude " << amplitude << ", dither " << dither << ", " << t.freq
                    << " Hz: byte " << (diff.first - expected.begin()) << " differs";
                if (dither) {
                    ditheredFrames += kFrames;
                    recomputed += ends.recomputed;
                }
            }
        }
    }
    // Without dither, a peak or a step on a half-way point (an amplitude
    // ending in .5, a quarter of the rate) keeps many samples near it, and
    // all of them are recomputed. With dither the values spread evenly: the
    // guard finds some near a half-way point, but only the few (about
    // 2 x 2^-16 of them) that its narrow margin takes in.
    EXPECT_GT(recomputed, 0);
    EXPECT_LT(static_cast<double>(recomputed) / static_cast<double>(ditheredFrames), 1e-4)
        << recomputed << " of " << ditheredFrames;
}

// The two sines differ in the last bits of most values, but a sample lands
// close enough to a half-way point for that to matter only once in about
// 10^8 frames. Here amplitudes are chosen to put the two samples of a frame
// on the two sides of a half-way point, small and near full scale: the
// guard must recompute every such frame.
TEST(VectorSine, ASampleTheVectorSineWouldRoundTheOtherWayIsRecomputed) {
    if (ChosenVectorSine().sines == nullptr) GTEST_SKIP() << kNoVectorSine;
    const double phaseScale = (kPi + kPi) / 48000, freq[] = {997};
    for (const auto& [bits, half] : {std::pair{16, 1000.5}, std::pair{24, 4194304.5}}) {
        int found = 0;
        for (std::int32_t n = 0; n < 8192 && found < 20; n += 8) {
            alignas(64) double x[8], vector[8];
            for (int i = 0; i < 8; ++i) x[i] = (n + i) * phaseScale * freq[0];
            ChosenVectorSine().sines(x, vector, 8);
            for (int i = 0; i < 8; ++i) {
                const double exact = ExactSin(x[i]);
                const auto apart = [&](double a) { return std::nearbyint(exact * a) != std::nearbyint(vector[i] * a); };
                if (exact < 0.5 || vector[i] == exact) continue;
                double amp[] = {std::nextafter(std::nextafter(half / exact, 0.0), 0.0)};
                for (int step = 0; step < 4 && !apart(amp[0]); ++step) amp[0] = std::nextafter(amp[0], 2 * half);
                if (!apart(amp[0])) continue;
                const RenderJob job{freq, amp, phaseScale, IntegerPcm(bits), 1, false, 0, 0, {}, 1};
                const Chunk chunk{0, n + i, 1};
                std::uint8_t bytes[3 + kRenderSlack];
                EXPECT_EQ(RenderChunk(job, chunk, bytes).recomputed, 1);
                const auto size = static_cast<std::size_t>(job.format.containerBytes);
                EXPECT_EQ(std::vector<std::uint8_t>(bytes, bytes + size), Reference(job, chunk))
                    << bits << " bit, frame " << n + i;
                ++found;
            }
        }
        EXPECT_GT(found, 0) << bits << " bit: no frame found whose two sines round apart";
    }
}

// Frames whose sample lies within 2^-38 of a half-way point, where the sines
// of two C libraries, or a fast sine and the exact one, fall on the two
// sides; and the clipping limits. Each expected sample was computed apart
// from the program, with 300-bit arithmetic: the sine (and the ramp's
// cosine) rounded to the nearest double, then the renderer's double
// operations. Every machine must give these, with any fast sine.
TEST(VectorSine, SamplesNearAHalfWayPointAreTheExactOnes) {
    struct Case {
        double rate, freq;
        std::int32_t frame, rampFrames;
        int bits;
        double amplitude, expected;
        const char* what;
    };
    const Case cases[] = {
        {44100, 5526.831, 1838855, 0, 16, 0x1.332f99016bb7fp+14, 7200, "mingw-w64's sin is 13 ulp off glibc's"},
        {32000, 18023.510, 69426, 0, 16, 0x1.3335237867c26p+14, 14451, "mingw-w64's sin and glibc's differ"},
        {192000, 11749.130, 1316583, 0, 16, 0x1.333462ddc8a63p+14, 17285, "mingw-w64's sin and glibc's differ"},
        {96000, 3533.549, 490658, 0, 24, 0x1.3333397d8f73ap+22, 1329783, "glibc's sin is not the exact one"},
        {44100, 3965.785, 109456, 0, 24, 0x1.33333702844bap+22, 1864135, "glibc's sin is not the exact one"},
        {44100, 5526.831, 1838855, 0, 16, 0x1.332f99016bb72p+14, 7199, "the vector sine and the exact one differ"},
        {44100, 5648.155, 980779, 0, 16, 0x1.333240b31a85cp+14, 17415, "the vector sine and the exact one differ"},
        {192000, 14578.403, 805834, 0, 16, 0x1.33346a1404ad1p+14, 17961, "the vector sine and the exact one differ"},
        {44100, 5526.831, 1838855, 0, 24, 0x1.333333fe21bc5p+22, 1843156, "glibc's sin of the reduced phase differs"},
        {48000, 13610, 893429, 0, 24, 0x1.33333359a08c2p+22, 4114091, "glibc's sin of the reduced phase differs"},
        {48000, 13610, 893429, 0, 16, 0x1.3332635f66d82p+14, 16071, "mingw-w64's sin of the reduced phase differs"},
        {48000, 997, 8198, 23458, 16, 0x1.3330bf7c49e66p+14, 5263, "in a ramp whose gain glibc's cos misses"},
        {48000, 997, 16604, 53082, 16, 0x1.332f9627f8e0ep+14, -3018, "in a ramp whose gain mingw-w64's cos misses"},
        // The sine is 1 or -1 here: the largest code, its own half-way point, and beyond.
        {48000, 12000, 1, 0, 16, 32766.5, 32766, "half-way between the two largest codes: the even one"},
        {48000, 12000, 1, 0, 16, 0x1.fffa000000001p+14, 32767, "just above that: the largest code"},
        {48000, 12000, 1, 0, 16, 32767.5, 32767, "half-way past the largest code: clipped"},
        {48000, 12000, 3, 0, 16, 32768.5, -32768, "half-way past the smallest code: the even one"},
        {48000, 12000, 3, 0, 16, 0x1.0001000000001p+15, -32768, "just beyond it: clipped"},
        {48000, 12000, 1, 0, 24, 8388607.5, 8388607, "half-way past the largest 24-bit code: clipped"},
    };
    for (const Case& c : cases) {
        const double freq[] = {c.freq}, amp[] = {c.amplitude};
        const RenderJob job{freq, amp, (kPi + kPi) / c.rate, IntegerPcm(c.bits), 1, false, 0, c.rampFrames, {}, 1};
        const Chunk chunk{0, c.frame, 1, 0, c.rampFrames > 0, false, 2 * c.rampFrames + c.frame + 1};
        std::uint8_t bytes[3 + kRenderSlack];
        const ChunkEnds ends = RenderChunk(job, chunk, bytes);
        EXPECT_EQ(ends.firstSample, c.expected) << c.what << ": " << c.freq << " Hz at " << c.rate << ", frame " << c.frame;
        EXPECT_EQ(ends.recomputed, 1) << c.what;
    }
}

}  // namespace
}  // namespace sweepwav
