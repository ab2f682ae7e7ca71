// The fast sine against the correctly rounded one: the kernel stays within
// its bound everywhere, every byte of a rendered chunk is the byte that the
// exact sine gives, with a fast sine as wrong as the bound allows too, and
// samples chosen on purpose close to a half-way point come out as exact
// arithmetic says.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <numbers>
#include <random>
#include <utility>
#include <vector>

#include "numbers/exact_math.h"
#include "support/exact_sample.h"
#include "support/planned_sweep.h"
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

// Every vector sine this CPU runs, and the one-at-a-time kernel, against the
// exact sine: densely over the phases synthesis uses (below 2^34), and at
// the doubles closest to a multiple of pi, where the reduction cancels most.
TEST(VectorSine, EveryKernelStaysWithinItsBound) {
#ifdef SWEEPWAV_TESTS_SANITIZED
    constexpr int kRandom = 1 << 12;
#else
    constexpr int kRandom = 1 << 18;
#endif
    std::vector<double> x = {0, 0x1p-1074, 0x1p-30, 1, kPi / 2, 0x1.921fb54442d18p+1, 0x1.6c6cbc45dc8dep+6,
                             0x1.67e57cdd4dc54p+16, 0x1.39c6fd67805a7p+19, 0x1.9eb7148f354d6p+21,
                             0x1.b951f1572eba5p+24, 0x1.b951f1572eba5p+29, 0x1.55202aefde314p+30,
                             0x1.5c9508c58aafap+33, 14885392687, 0x1.fffffffffffffp+33};
    for (double k : {1.0, 12345.0, 0x1p32 + 7}) x.push_back((k + 0.5) * kPi);  // |r| at its largest
    for (std::size_t i = 0, n = x.size(); i < n; ++i) {
        x.push_back(std::nextafter(x[i], 0.0));
        x.push_back(-std::nextafter(x[i], kSineLimit));
    }
    std::mt19937_64 random(39);
    for (int i = 0; i < kRandom; ++i) {
        const double unit = std::ldexp(static_cast<double>(random() >> 11), -53);
        x.push_back(i % 2 ? unit * kSineLimit : std::ldexp(1 + unit, static_cast<int>(random() % 54) - 20));
    }
    x.resize((x.size() + kSineLanes - 1) / kSineLanes * kSineLanes, 1.0);
    std::vector<double> exact(x.size()), fast(x.size());
    std::transform(x.begin(), x.end(), exact.begin(), [](double v) { return ExactSin(v); });
    std::vector<std::pair<const char*, SineBlock>> kernels = {
        {"one at a time", [](const double* in, double* out, std::size_t n) { std::transform(in, in + n, out, KernelSin); }}};
    for (const VectorSine& v : UsableVectorSines()) kernels.push_back({v.name, v.sines});
    for (const auto& [name, sines] : kernels) {
        sines(x.data(), fast.data(), x.size());
        double worst = 0;
        for (std::size_t i = 0; i < x.size(); ++i) {
            // Against the exact sine, not its rounding: up to half an ulp more.
            const double error = std::fabs(fast[i] - exact[i]) + std::fabs(std::nextafter(exact[i], 2.0) - exact[i]) / 2;
            worst = std::max(worst, error);
            ASSERT_LE(error, kSineError) << name << ": sin " << std::hexfloat << x[i] << " = " << fast[i];
        }
        std::printf("%s: at most %.2f x 2^-53 off the exact sine\n", name, std::ldexp(worst, 53));
    }
}

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
    // all of them are recomputed. With dither the values spread evenly, and
    // the guard's narrow margin takes in hardly any.
    EXPECT_LT(static_cast<double>(recomputed) / static_cast<double>(ditheredFrames), 1e-6)
        << recomputed << " of " << ditheredFrames;
}

// The two sines differ in the last bits of most values, but a sample lands
// close enough to a half-way point for that to matter only once in about
// 10^8 frames. Here amplitudes are chosen to put the two samples of a frame
// on the two sides of a half-way point, small and near full scale: the
// guard must recompute every such frame.
TEST(VectorSine, ASampleTheVectorSineWouldRoundTheOtherWayIsRecomputed) {
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

// The kernel's sine moved by 1.25 times its bound, up or down as a bit of
// the argument says: as wrong as a fast sine may be, and a little more.
void WrongSines(const double* x, double* out, std::size_t count) {
    ChosenVectorSine().sines(x, out, count);
    for (std::size_t i = 0; i < count; ++i) {
        out[i] += (std::bit_cast<std::uint64_t>(x[i]) >> 7) & 1 ? 1.25 * kSineError : -1.25 * kSineError;
    }
}

// A tone at a quarter of the rate puts every other sample on a peak, +-1
// times the amplitude; here amplitudes k x 2^-53 of their size away from a
// half-way point x.5, inside the guard (every peak is computed again from
// the exact sine) and outside it (none is). Every byte is the exact one,
// with the kernel and with a fast sine as wrong as its bound allows.
TEST(VectorSine, PeaksNearAHalfWayPointAreRecomputedAndExact) {
    const double freq[] = {12000}, phaseScale = (kPi + kPi) / 48000;
    const Chunk chunk{0, 1000001, 4096};
    for (const auto& [bits, half] : {std::pair{16, 1002.5}, std::pair{16, 32766.5}, std::pair{24, 4194304.5},
                                     std::pair{24, 8388606.5}}) {
        for (double k : {0.0, 1.0, -1.0, 8.0, -8.0, 20.0, -20.0, 64.0, -64.0}) {
            const double amp[] = {half + k * std::ldexp(half, -53)};
            RenderJob job{freq, amp, phaseScale, IntegerPcm(bits), 1, false, 0, 0, {}, 1};
            const auto expected = Reference(job, chunk);
            std::vector<std::uint8_t> bytes(expected.size() + kRenderSlack);
            const ChunkEnds ends = RenderChunk(job, chunk, bytes.data());
            bytes.resize(expected.size());
            EXPECT_EQ(bytes, expected) << std::hexfloat << amp[0];
            EXPECT_EQ(ends.recomputed, std::fabs(k) < 32 ? chunk.count / 2 : 0) << std::hexfloat << amp[0];
            job.sines = WrongSines;
            bytes.resize(expected.size() + kRenderSlack);
            RenderChunk(job, chunk, bytes.data());
            bytes.resize(expected.size());
            EXPECT_EQ(bytes, expected) << std::hexfloat << amp[0] << " with a fast sine off by its bound";
        }
    }
}

// Levels whose peaks came within 2^-16 of a half-way point, which an
// earlier, wider guard sent through the exact sine at every peak: their
// tones at a quarter of the rate need it for none now.
TEST(VectorSine, LevelsOnceCraftedToBeSlowNeedNoExactSine) {
    for (const auto& [bits, level] : {std::pair<std::int16_t, double>{16, -30.270}, {16, -45.777}, {16, -60.623},
                                      {24, -37.971}, {24, -69.132}, {24, -118.050}}) {
        const auto s = testing::PlannedSweep({.rate = 192000, .bits = bits, .channels = 1, .startFreq = 48000,
                                              .endFreq = 48000, .startLevel = level, .endLevel = level});
        const RenderJob job{s.dFreq, s.dAmplitude, (s.dPi + s.dPi) / s.iSampleRate, IntegerPcm(bits), 1,
                            false, 0, 0, {}, 1};
        const Chunk chunk{0, 0, static_cast<std::int32_t>(s.dSamples[0])};
        const auto expected = Reference(job, chunk);
        std::vector<std::uint8_t> bytes(expected.size() + kRenderSlack);
        EXPECT_EQ(RenderChunk(job, chunk, bytes.data()).recomputed, 0) << level << " dB at " << bits << " bit";
        bytes.resize(expected.size());
        EXPECT_EQ(bytes, expected) << level << " dB at " << bits << " bit";
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
