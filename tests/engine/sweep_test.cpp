// Zero-crossing alignment, the tone plan and the synthesis of its samples.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "commands/commands.h"
#include "plan/alignment.h"
#include "plan/tone_plan.h"
#include "synth/dither_source.h"
#include "synth/synthesis.h"
#include "support/exact_sample.h"
#include "support/planned_sweep.h"
#include "support/recording_fake.h"

namespace sweepwav {
namespace {

using testing::RecordingWindow;

struct Sweep {
    std::int32_t rate = 48000;
    std::int16_t bits = 16, channels = 2, steps = 0;
    bool log = true;
    double startFreq = 1000, endFreq = 1000, startLevel = 0, endLevel = 0, toneMs = 10;
    std::int32_t cycles = 0;
    std::int16_t mode = 0;
    bool dither = false;
};

// The sweeps here default to one 10 ms tone at full level, log spacing.
GeneratorState Plan(const Sweep& p, RecordingWindow& w) {
    return testing::PlannedSweep({.rate = p.rate, .bits = p.bits, .channels = p.channels, .steps = p.steps,
                                  .log = p.log, .startFreq = p.startFreq, .endFreq = p.endFreq,
                                  .startLevel = p.startLevel, .endLevel = p.endLevel, .toneMs = p.toneMs,
                                  .cycles = p.cycles, .mode = p.mode, .dither = p.dither},
                                 w);
}

GeneratorState Plan(const Sweep& p) {
    RecordingWindow w;
    auto s = Plan(p, w);
    EXPECT_EQ(s.iCalcResult, 1);
    return s;
}

// The audio bytes synthesis passes on, on the given number of workers.
std::vector<std::uint8_t> Render(GeneratorState& s, RecordingWindow& w, std::uint64_t seed = 1,
                                 unsigned workers = 2) {
    return testing::SynthesisedAudio(s, w, seed, workers);
}

std::vector<std::uint8_t> Render(GeneratorState& s, std::uint64_t seed = 1, unsigned workers = 2) {
    RecordingWindow w;
    return Render(s, w, seed, workers);
}

struct Synthesis {
    GeneratorState s;
    std::vector<std::uint8_t> audio;
};

Synthesis Synthesised(const Sweep& p, std::uint64_t seed = 1) {
    GeneratorState s = Plan(p);
    auto audio = Render(s, seed);
    return {std::move(s), std::move(audio)};
}

// The signed value of the container of channel ch in frame n.
std::int32_t Container(const GeneratorState& s, const std::vector<std::uint8_t>& audio, std::int64_t n, int ch) {
    const auto at = static_cast<std::size_t>((n * s.iChannels + ch) * s.iBytesPerSample);
    std::int32_t v = audio.at(at) | (audio.at(at + 1) << 8);
    if (s.iBytesPerSample == 3) v |= audio.at(at + 2) << 16;
    const std::int32_t top = s.iBytesPerSample == 3 ? 0x800000 : 0x8000;
    return v & top ? v - 2 * top : v;
}

TEST(Alignment, WholeCyclesPerTone) {
    const std::tuple<std::int32_t, double, std::int32_t, double> freqCases[] = {
        {48000, 997, 4800, 1000}, {48000, 12, 4800, 10}, {48000, 10, 960, 50}, {48000, 123.4, 0, 123.4},
        // rate x cycles passes 2^31 - 1 but still aligns
        {192000, 20000, 192000, 20000}, {192000, 19999.3, 192000, 19999},
    };
    for (auto [rate, freq, n, expected] : freqCases) EXPECT_EQ(ShiftFreq(rate, freq, n), expected) << freq;
    const std::tuple<std::int32_t, double, double, std::int32_t> timeCases[] = {
        {48000, 997, 0, 0},       {48000, 997, 0.1, 4814},   {48000, 25, 0.1, 3840},
        {48000, 10, 0.02, 4800},  {44100, 1000, 0.2, 8820},  {44100, 1000, 0.001, 44},
    };
    for (auto [rate, freq, t, expected] : timeCases) EXPECT_EQ(ShiftTime(rate, freq, t), expected) << freq << "/" << t;
}

TEST(TonePlan, FrequenciesAndLevels) {
    auto lin = Plan({.steps = 9, .log = false, .startFreq = 100, .endFreq = 1000});
    ASSERT_EQ(lin.dFreq.size(), 10u);
    for (int i = 0; i <= 9; ++i) EXPECT_EQ(lin.dFreq[i], 100.0 * (i + 1)) << "tone " << i;

    auto log = Plan({.steps = 3, .startFreq = 20, .endFreq = 20000});
    EXPECT_EQ(log.dFreq[0], 20);
    EXPECT_NEAR(log.dFreq[1], 200, 1e-10);
    EXPECT_NEAR(log.dFreq[2], 2000, 1e-9);
    EXPECT_EQ(log.dFreq[3], 20000);

    auto levels = Plan({.steps = 4, .endLevel = -20});
    EXPECT_EQ(levels.dLevel, (std::vector<double>{0, -5, -10, -15, -20}));

    // A single tone takes the start values only.
    auto one = Plan({.startFreq = 440, .endFreq = 880, .startLevel = -12, .endLevel = -40});
    ASSERT_EQ(one.dFreq.size(), 1u);
    EXPECT_EQ(one.dFreq[0], 440);
    EXPECT_EQ(one.dLevel[0], -12);

    const std::tuple<std::int16_t, double, double, double> amplitudes[] = {
        {16, 0, 32766, 0}, {24, 0, 8388606, 0}, {16, -20, 3276.8, 1e-9},
        {16, -6, 16422.9, 0.05},  // only full level is reduced by two steps
    };
    for (auto [bits, level, amplitude, tolerance] : amplitudes) {
        EXPECT_NEAR(Plan({.bits = bits, .startLevel = level}).dAmplitude[0], amplitude, tolerance) << level;
    }
}

TEST(TonePlan, ToneLengths) {
    struct {
        Sweep p;
        double freq0, samples0;
    } const cases[] = {
        // mode 0 ignores that 100 cycles of 20 Hz would need 5 s
        {{.rate = 44100, .steps = 10, .startFreq = 20, .endFreq = 2e4, .toneMs = 200, .cycles = 100}, 20, 8820},
        {{.rate = 44100, .steps = 10, .startFreq = 20, .endFreq = 2e4, .toneMs = 0.5, .cycles = 100}, 20, 22},
        {{.startFreq = 997, .toneMs = 100, .mode = 1}, 1000, 4800},
        {{.startFreq = 997, .toneMs = 100, .mode = 2}, 997, 4814},
        {{.rate = 44100, .startFreq = 20, .toneMs = 200, .cycles = 20, .mode = 2}, 20, 44100},
        {{.rate = 192000, .startFreq = 19999.3, .toneMs = 1000, .mode = 1}, 19999, 192000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.p.startFreq << " Hz, " << c.p.toneMs << " ms, " << c.p.mode);
        auto s = Plan(c.p);
        EXPECT_EQ(s.dFreq[0], c.freq0);
        for (double n : s.dSamples) EXPECT_EQ(n, c.samples0);
    }
}

TEST(TonePlan, TotalsAndBuffers) {
    // 3 tones of 4410 frames, or of none
    const std::tuple<std::int16_t, std::int16_t, double, std::int32_t> cases[] = {
        {24, 2, 100, 79380}, {18, 1, 100, 39690}, {16, 2, 0, 0}};
    for (auto [bits, channels, toneMs, totalBytes] : cases) {
        SCOPED_TRACE(::testing::Message() << bits << " bit, " << channels << " ch, " << toneMs << " ms");
        RecordingWindow w;
        auto s = Plan({.rate = 44100, .bits = bits, .channels = channels, .steps = 2, .toneMs = toneMs}, w);
        ASSERT_EQ(s.iCalcResult, 1);
        EXPECT_EQ(s.iTotalSamples, toneMs > 0 ? 13230 : 0);
        EXPECT_EQ(s.iTotalBytes, totalBytes);
        EXPECT_EQ(w.statuses, std::vector<std::string>{"Setting up calculations"});
        EXPECT_TRUE(w.boxes.empty());
    }
}

TEST(TonePlan, OversizePlansAreRefusedBeforeAllocation) {
    const Sweep cases[] = {
        {.rate = 192000, .bits = 24, .channels = 8, .steps = 1000, .toneMs = 10000},  // about 46 GB
        {.rate = 192000, .channels = 1, .startFreq = 10, .cycles = 200000, .mode = 2},  // 3.84e9 frames
        // each of the 11 tones fits; their sum does not
        {.channels = 1, .steps = 10, .startFreq = 20, .endFreq = 20, .cycles = 200000, .mode = 2},
    };
    for (const auto& p : cases) {
        SCOPED_TRACE(::testing::Message() << p.rate << " Hz, " << p.steps << " steps, " << p.toneMs << " ms");
        RecordingWindow w;
        auto s = Plan(p, w);
        EXPECT_NE(s.iCalcResult, 1);
        ASSERT_EQ(w.boxes.size(), 1u);
        EXPECT_EQ(w.boxes[0].text,
                  "The resulting file would be larger than 2 GB. Please reduce the number of steps, the tone "
                  "duration, the sample rate, the word length or the number of channels.");
        EXPECT_EQ(w.boxes[0].title, "Sweep WAV generation");
        EXPECT_EQ(w.boxes[0].icon, Icon::Exclamation);
        EXPECT_EQ(w.statuses, (std::vector<std::string>{"Setting up calculations", "Sweep Configuration"}));
        EXPECT_FALSE(s.bDataOK);  // refused like an entry out of range
    }
}

TEST(Synthesis, EveryToneStartsAtZero) {
    for (std::int16_t bits : {16, 24}) {
        // no tone ends on a whole cycle
        auto [s, audio] = Synthesised({.bits = bits, .steps = 6, .startFreq = 97, .endFreq = 15000, .toneMs = 10.37});
        std::int64_t frame = 0;
        for (int k = 0; k <= s.iSteps; ++k) {
            SCOPED_TRACE(::testing::Message() << bits << " bit, tone " << k);
            for (int ch = 0; ch < s.iChannels; ++ch) EXPECT_EQ(Container(s, audio, frame, ch), 0);
            if (k > 0) {
                EXPECT_NE(Container(s, audio, frame - 1, 0), 0);
            }
            frame += static_cast<std::int64_t>(s.dSamples[k]);
        }
        EXPECT_EQ(s.iWritePos, s.iTotalBytes);
    }
}

TEST(Synthesis, ContainersHoldTheLeftJustifiedWord) {
    const double pi = 4 * std::atan(1.0);
    for (bool dither : {false, true}) {
        for (std::int16_t bits : {16, 18, 20, 22, 24}) {
            SCOPED_TRACE(::testing::Message() << bits << " bit, dither " << dither);
            auto [s, audio] = Synthesised({.bits = bits, .channels = 3, .startFreq = 997, .startLevel = -3.5, .dither = dither});
            const std::int32_t step = bits == 16 ? 1 : 1 << (24 - bits);
            for (std::int64_t n = 0; n < s.iTotalSamples; ++n) {
                const std::int32_t v = Container(s, audio, n, 0);
                for (int ch = 1; ch < 3; ++ch) ASSERT_EQ(Container(s, audio, n, ch), v) << "frame " << n;
                ASSERT_EQ(v % step, 0) << "frame " << n;
                const double ideal = std::nearbyint(std::sin(n * ((pi + pi) / 48000) * 997) * s.dAmplitude[0]);
                ASSERT_LE(std::fabs(v / step - ideal), dither ? 1.0 : 0.0) << "frame " << n;
            }
        }
    }
}

TEST(Synthesis, ContainerBytesAtPeakAndTrough) {
    // 1 kHz at 48 kHz peaks in frame 12 and troughs in frame 36. Just below
    // 0 dBFS the amplitude is not reduced, so the rounded peak reaches
    // 2^(bits-1): it is clipped, not wrapped.
    struct {
        std::int16_t bits;
        double amplitude;
        std::uint8_t peak[3], trough[3];
    } const cases[] = {
        {16, 32766, {0xFE, 0x7F, 0}, {0x02, 0x80, 0}},
        {20, 3, {0x30, 0x00, 0x00}, {0xD0, 0xFF, 0xFF}},  // -3 is stored as -48
        {16, 32767.6, {0xFF, 0x7F, 0}, {0x00, 0x80, 0}},
        {20, 524287.6, {0xF0, 0xFF, 0x7F}, {0x00, 0x00, 0x80}},
        {24, 8388607.6, {0xFF, 0xFF, 0x7F}, {0x00, 0x00, 0x80}},
        {24, 8388650.0, {0xFF, 0xFF, 0x7F}, {0x00, 0x00, 0x80}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.bits << " bit, amplitude " << c.amplitude);
        auto s = Plan({.bits = c.bits, .channels = 1});
        s.dAmplitude[0] = c.amplitude;
        const auto audio = Render(s);
        for (int j = 0; j < s.iBytesPerSample; ++j) {
            EXPECT_EQ(audio[12 * s.iBytesPerSample + j], c.peak[j]) << "byte " << j;
            EXPECT_EQ(audio[36 * s.iBytesPerSample + j], c.trough[j]) << "byte " << j;
        }
    }
}

TEST(Synthesis, DitherOfSilence) {
    for (std::int16_t bits : {16, 18, 20, 22, 24}) {
        SCOPED_TRACE(::testing::Message() << bits << " bit");
        auto [s, audio] = Synthesised({.bits = bits, .channels = 1, .startLevel = -200, .toneMs = 500, .dither = true});
        const std::int32_t step = bits == 16 ? 1 : 1 << (24 - bits);
        int counts[3] = {0, 0, 0};
        for (std::int64_t n = 0; n < s.iTotalSamples; ++n) {
            const std::int32_t v = Container(s, audio, n, 0);
            ASSERT_TRUE(v == -step || v == 0 || v == step) << "frame " << n << ": " << v;
            ++counts[v / step + 1];
        }
        // Triangular dither rounds to 0 three times in four, to each neighbour once in eight.
        const double total = static_cast<double>(s.iTotalSamples);
        EXPECT_NEAR(counts[1] / total, 0.75, 0.02);
        EXPECT_NEAR(counts[0] / total, 0.125, 0.01);
        EXPECT_NEAR(counts[2] / total, 0.125, 0.01);
    }
    // No two tones share a dither sequence (240 frames each).
    const auto [s, audio] = Synthesised({.channels = 1, .steps = 20, .startLevel = -200, .endLevel = -200, .toneMs = 5, .dither = true});
    const auto tone = [&audio](int k) { return audio.begin() + k * 480; };
    for (int a = 0; a < 21; ++a) {
        for (int b = a + 1; b < 21; ++b) EXPECT_FALSE(std::equal(tone(a), tone(a + 1), tone(b))) << a << ", " << b;
    }
}

TEST(Synthesis, NoDitherWhereTheFormatTakesNone) {
    auto plain = Plan({.startLevel = -20});
    auto ticked = Plan({.startLevel = -20, .dither = true});
    ticked.sampleFormat.dither = false;
    EXPECT_EQ(Render(ticked), Render(plain));
}

TEST(Synthesis, OddByteCountFillsTheBlockExactly) {
    auto [s, audio] = Synthesised({.rate = 44100, .bits = 24, .channels = 1, .toneMs = 200.02});  // 8821 frames
    EXPECT_EQ(s.iTotalBytes, 26463);
    EXPECT_EQ(s.iWritePos, 26463);
    EXPECT_EQ(audio.size(), 26463u);
}

TEST(Synthesis, ProgressCaptionsAndStatus) {
    auto s = Plan({.rate = 32000, .steps = 2, .startFreq = 100, .endFreq = 400, .toneMs = 78.125});
    RecordingWindow w;
    Render(s, w);
    // Each tone: service events, caption, status, Progress2; Progress1 runs
    // from empty to full while its 2500 frames are computed.
    std::vector<std::string> expected = {"enable Abort"}, log;
    for (int k = 0; k < 3; ++k) {
        const std::string n = std::to_string(k);
        std::ostringstream p2;
        p2 << "x2 Progress2=" << static_cast<float>(k / 3.0 * 4600 + 60) << " redraw";
        expected.insert(expected.end(), {"events", "caption " + n + "/2: Sweep WAV generation",
                                         "label Status=Generating sweep step " + n + " of 2", p2.str()});
    }
    expected.insert(expected.end(), {"disable Abort", "caption Sweep WAV generation"});
    std::copy_if(w.log.begin(), w.log.end(), std::back_inserter(log),
                 [](const std::string& e) { return e.rfind("x2 Progress1", 0) != 0; });
    EXPECT_EQ(log, expected);
    EXPECT_EQ(w.progress1, (std::vector<float>{60, 60, 1900, 3740, 4660, 60, 60, 1900, 3740, 4660,
                                                60, 60, 1900, 3740, 4660}));
}

TEST(Synthesis, AbortDuringAToneStopsAfterTheFirstSampleOfTheNext) {
    const Sweep p{.steps = 10, .startFreq = 100, .endFreq = 10000, .toneMs = 20, .dither = true};  // 960 frames
    const auto reference = Synthesised(p, 5).audio;
    auto s = Plan(p);
    RecordingWindow w;
    // Abort pressed during tone 3 is seen at the start of tone 4 (the fifth servicing).
    w.onEvents = [&](int servicing) {
        if (servicing == 5) Abort_Click(s);
    };
    const auto audio = Render(s, w, 5);
    const std::int32_t stop = (4 * 960 + 1) * 4;
    EXPECT_EQ(s.iWritePos, stop);
    EXPECT_EQ(w.eventServicings, 5);
    EXPECT_EQ(w.statuses.back(), "Generating sweep step 4 of 10");
    // The first frame of tone 4 is passed on; the run adds the silence.
    ASSERT_EQ(audio.size(), static_cast<std::size_t>(stop));
    EXPECT_TRUE(std::equal(audio.begin(), audio.end(), reference.begin()));
    EXPECT_EQ(w.log[w.log.size() - 2], "disable Abort");
    EXPECT_EQ(w.caption, "Sweep WAV generation");
}

// Within a long tone, events are serviced again at the first piece (of
// 256 KiB) that starts at or past every 2^17th frame, so that Abort is seen
// within the tone: the frame in hand is kept, nothing after it; the same on
// any number of workers.
TEST(Synthesis, AbortWithinALongToneIsSeenWithinIt) {
    struct Case {
        std::int16_t bits, channels;
        std::int32_t servicedAt;  // the third servicing's frame, after the tone's start and one more
    };
    for (const Case& c : {Case{16, 1, 2 * 131072}, Case{24, 8, 25 * 10922}, Case{20, 3, 10 * 29127}}) {
        const Sweep p{.bits = c.bits, .channels = c.channels, .toneMs = 8500};  // 408000 frames
        const auto reference = Synthesised(p).audio;
        for (unsigned workers : {0u, 3u}) {
            auto s = Plan(p);
            RecordingWindow w;
            w.onEvents = [&](int servicing) {
                if (servicing == 3) Abort_Click(s);
            };
            const auto audio = Render(s, w, 1, workers);
            const auto stop = static_cast<std::size_t>(c.servicedAt + 1) * static_cast<std::size_t>(c.channels) *
                              static_cast<std::size_t>(s.iBytesPerSample);
            EXPECT_EQ(w.eventServicings, 3) << c.bits << " bit, " << c.channels << " channels";
            ASSERT_EQ(audio.size(), stop) << c.bits << " bit, " << c.channels << " channels";
            EXPECT_TRUE(std::equal(audio.begin(), audio.end(), reference.begin()));
        }
    }
}

}  // namespace
}  // namespace sweepwav

namespace sweepwav {
namespace {

// The samples one plain pass makes, one frame after another: the rendering
// the pieces made on worker threads must equal byte for byte.
std::vector<std::uint8_t> PlainRendering(const GeneratorState& s, std::uint64_t seed) {
    std::vector<std::uint8_t> out;
    const double full = std::ldexp(1.0, s.iBits - 1);
    const double phaseScale = (s.dPi + s.dPi) / s.iSampleRate;
    for (int k = 0; k <= s.iSteps; ++k) {
        DitherSource dither(seed, static_cast<std::uint64_t>(k));
        for (std::int32_t n = 0; n < static_cast<std::int32_t>(s.dSamples[k]); ++n) {
            float r1 = 0, r2 = 0;
            if (s.bDither) dither.NextPair(r1, r2);
            double v = testing::ExactSampleValue(n * phaseScale * s.dFreq[k], s.dAmplitude[k], s.bDither,
                                                 (r2 + r1) - 1.0f);
            v = std::min(std::max(std::nearbyint(v), -full), full - 1);
            if (s.iBits > 16) v *= std::ldexp(1.0, 24 - s.iBits);
            const auto word = static_cast<std::uint32_t>(static_cast<std::int32_t>(v));
            for (int ch = 0; ch < s.iChannels; ++ch) {
                for (int j = 0; j < s.iBytesPerSample; ++j) out.push_back(static_cast<std::uint8_t>(word >> (8 * j)));
            }
        }
    }
    return out;
}

TEST(Synthesis, PiecesOnWorkersEqualOnePlainPass) {
    // Tones long enough to span several pieces; the second tone is odd in
    // length, so mono 3-byte data ends on an odd byte count.
    for (std::int16_t bits : {16, 18, 20, 22, 24}) {
        for (std::int16_t channels : {1, 2, 3, 8}) {
            for (bool dither : {false, true}) {
                SCOPED_TRACE(::testing::Message() << bits << " bit, " << channels << " ch, dither " << dither);
                auto s = Plan({.bits = bits, .channels = channels, .steps = 1, .startFreq = 997, .endFreq = 5003,
                               .startLevel = -0.5, .endLevel = -90, .toneMs = 2800.02, .dither = dither});
                const auto expected = PlainRendering(s, 99);
                for (unsigned workers : {0u, 3u}) {
                    const auto audio = Render(s, 99, workers);
                    ASSERT_EQ(audio.size(), static_cast<std::size_t>(s.iTotalBytes));
                    ASSERT_TRUE(audio == expected) << workers << " workers";
                }
            }
        }
    }
    // A single tone.
    auto s = Plan({.bits = 24, .channels = 5, .toneMs = 3.3, .dither = true});
    EXPECT_EQ(Render(s, 4), PlainRendering(s, 4));
}

TEST(Synthesis, WindowOperationsDoNotDependOnTheWorkers) {
    const Sweep p{.rate = 32000, .steps = 3, .startFreq = 100, .endFreq = 400, .toneMs = 1000, .dither = true};
    std::vector<std::string> first;
    for (unsigned workers : {0u, 1u, 4u}) {
        auto s = Plan(p);
        RecordingWindow w;
        w.onEvents = [&](int servicing) {
            if (servicing == 3) Abort_Click(s);
        };
        Render(s, w, 8, workers);
        if (first.empty()) first = w.log;
        EXPECT_EQ(w.log, first) << workers << " workers";
    }
    EXPECT_EQ(std::count(first.begin(), first.end(), "events"), 3);  // aborted at the third tone
}

TEST(Synthesis, ProgressMarksRunForwardAcrossPieces) {
    // 200017 stereo frames a tone: each tone is rendered in several pieces,
    // and Progress1 still moves every 1000 frames, once each, forward only.
    auto s = Plan({.rate = 48000, .steps = 1, .startFreq = 100, .endFreq = 200, .toneMs = 4167.0208});
    ASSERT_EQ(s.dSamples[0], 200017);
    RecordingWindow w;
    Render(s, w, 1, 2);
    std::vector<float> expected;
    for (int tone = 0; tone < 2; ++tone) {
        expected.push_back(LineX2(0));
        for (int n = 0; n < 200017; n += 1000) expected.push_back(LineX2(n / 200017.0));
        expected.push_back(LineX2(1));
    }
    EXPECT_EQ(w.progress1, expected);
}

TEST(DitherSource, SkippingEqualsDrawing) {
    for (std::uint64_t skip : {0ull, 1ull, 2ull, 63ull, 1000ull, 123457ull}) {
        DitherSource drawn(42, 7), skipped(42, 7);
        for (std::uint64_t i = 0; i < skip; ++i) drawn.Next();
        skipped.Skip(skip);
        for (int i = 0; i < 4; ++i) ASSERT_EQ(drawn.Next(), skipped.Next()) << skip;
    }
}

}  // namespace
}  // namespace sweepwav
