// The vector sine against std::sin: every byte of a rendered chunk is the
// byte that std::sin gives, and only few samples need computing twice.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <numbers>
#include <utility>
#include <vector>

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

// Mono bytes made one frame after another with std::sin.
std::vector<std::uint8_t> WithStdSin(const RenderJob& job, const Chunk& c) {
    const double amplitude = job.amplitude[0], full = std::ldexp(1.0, job.bits - 1);
    DitherSource dither(job.runSeed, 0);
    dither.Skip(static_cast<std::uint64_t>(c.first));
    std::vector<std::uint8_t> out;
    for (std::int32_t n = c.first; n < c.first + c.count; ++n) {
        double v = std::sin(n * job.phaseScale * job.freq[0]) * amplitude;
        if (job.dither) {
            float r1, r2;
            dither.NextPair(r1, r2);
            v = v + ((r2 + r1) - 1.0f);
        }
        v = std::min(std::max(std::nearbyint(v), -full), full - 1);
        if (job.bits > 16) v *= std::ldexp(1.0, 24 - job.bits);
        const auto word = static_cast<std::uint32_t>(static_cast<std::int32_t>(v));
        for (int j = 0; j < job.bytesPerSample; ++j) out.push_back(static_cast<std::uint8_t>(word >> (8 * j)));
    }
    return out;
}

constexpr double kPi = std::numbers::pi;
constexpr const char* kNoVectorSine =
    "this machine computes with std::sin only (no AVX2, no glibc vector sine, or SWEEPWAV_SCALAR_SINE set)";

TEST(VectorSine, EveryByteIsStdSinsAndFewAreRecomputed) {
    if (ChosenVectorSine().sines == nullptr) GTEST_SKIP() << kNoVectorSine;
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
                const RenderJob job{freq, amp, (kPi + kPi) / t.rate, bits, bits > 16 ? 3 : 2, 1, dither, 2024, 0, {}, 1};
                const Chunk chunk{0, t.first, kFrames};
                const auto expected = WithStdSin(job, chunk);
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
                const double exact = std::sin(x[i]);
                const auto apart = [&](double a) { return std::nearbyint(exact * a) != std::nearbyint(vector[i] * a); };
                if (exact < 0.5 || vector[i] == exact) continue;
                double amp[] = {std::nextafter(std::nextafter(half / exact, 0.0), 0.0)};
                for (int step = 0; step < 4 && !apart(amp[0]); ++step) amp[0] = std::nextafter(amp[0], 2 * half);
                if (!apart(amp[0])) continue;
                const RenderJob job{freq, amp, phaseScale, bits, bits > 16 ? 3 : 2, 1, false, 0, 0, {}, 1};
                const Chunk chunk{0, n + i, 1};
                std::uint8_t bytes[3 + kRenderSlack];
                EXPECT_EQ(RenderChunk(job, chunk, bytes).recomputed, 1);
                const auto size = static_cast<std::size_t>(job.bytesPerSample);
                EXPECT_EQ(std::vector<std::uint8_t>(bytes, bytes + size), WithStdSin(job, chunk))
                    << bits << " bit, frame " << n + i;
                ++found;
            }
        }
        EXPECT_GT(found, 0) << bits << " bit: no frame found whose two sines round apart";
    }
}

}  // namespace
}  // namespace sweepwav
