// Sample synthesis: container bytes, left-justification, clipping, dither,
// progress display and abort.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "app/commands.h"
#include "plan/tone_plan.h"
#include "synth/synthesis.h"
#include "tests/support/recording_fake.h"

namespace sweepwav {
namespace {

using testing::RecordingWindow;

struct Sweep {
    std::int32_t rate = 48000;
    std::int16_t bits = 16;
    std::int16_t channels = 2;
    std::int16_t steps = 0;
    bool log = true;
    double startFreq = 1000, endFreq = 1000;
    double startLevel = 0, endLevel = 0;
    double toneMs = 10;
    bool dither = false;
};

GeneratorState Plan(const Sweep& p) {
    GeneratorState s;
    s.sAppTitle = "Sweep WAV generation";
    s.dPi = 4 * std::atan(1.0);
    s.iSampleRate = p.rate;
    s.iBits = p.bits;
    s.iChannels = p.channels;
    s.iSteps = p.steps;
    s.bLogSteps = p.log;
    s.dStartFreq = p.startFreq;
    s.dEndFreq = p.endFreq;
    s.dStartLevel = p.startLevel;
    s.dEndLevel = p.endLevel;
    s.dToneTime = p.toneMs;
    s.iToneCycles = 0;
    s.iShiftMode = 0;
    s.bDither = p.dither;
    RecordingWindow w;
    Set_up_calculation(s, w);
    EXPECT_EQ(s.iCalcResult, 1);
    return s;
}

GeneratorState Synthesised(const Sweep& p, std::uint64_t seed = 1) {
    GeneratorState s = Plan(p);
    RecordingWindow w;
    Generate_Audio_Data(s, w, seed);
    return s;
}

// The signed value of one container (channel ch of frame f).
std::int32_t Container(const GeneratorState& s, std::int64_t frame, int ch) {
    const std::int64_t at = (frame * s.iChannels + ch) * s.iBytesPerSample;
    std::int32_t v = s.bAudio[at] | (s.bAudio[at + 1] << 8);
    if (s.iBytesPerSample == 3) {
        v |= s.bAudio[at + 2] << 16;
        if (v & 0x800000) v -= 0x1000000;
    } else if (v & 0x8000) {
        v -= 0x10000;
    }
    return v;
}

// The rounded sine the file should hold for frame n of a tone.
double Ideal(const GeneratorState& s, int tone, std::int64_t n) {
    const double pi = 4 * std::atan(1.0);
    return std::nearbyint(std::sin(n * ((pi + pi) / s.iSampleRate) * s.dFreq[tone]) * s.dAmplitude[tone]);
}

TEST(Synthesis, EveryToneStartsAtZero) {
    for (std::int16_t bits : {16, 24}) {
        Sweep p;
        p.bits = bits;
        p.steps = 6;
        p.startFreq = 97;
        p.endFreq = 15000;
        p.toneMs = 10.37;  // no tone ends on a whole cycle
        auto s = Synthesised(p);
        std::int64_t frame = 0;
        for (int k = 0; k <= s.iSteps; ++k) {
            SCOPED_TRACE(::testing::Message() << bits << " bit, tone " << k);
            for (int ch = 0; ch < s.iChannels; ++ch) { EXPECT_EQ(Container(s, frame, ch), 0); }
            // The frame before it (end of the previous tone) is not silent.
            if (k > 0) { EXPECT_NE(Container(s, frame - 1, 0), 0); }
            frame += static_cast<std::int64_t>(s.dSamples[k]);
        }
        EXPECT_EQ(s.iWritePos, s.iTotalBytes);
    }
}

TEST(Synthesis, FullScalePeakIn16Bits) {
    for (std::int16_t channels : {1, 2, 8}) {
        Sweep p;
        p.channels = channels;
        auto s = Synthesised(p);
        const std::size_t frame = static_cast<std::size_t>(2 * channels);
        for (int ch = 0; ch < channels; ++ch) {
            SCOPED_TRACE(::testing::Message() << channels << " channels, channel " << ch);
            EXPECT_EQ(s.bAudio[12 * frame + 2 * ch], 0xFE);  // 32766
            EXPECT_EQ(s.bAudio[12 * frame + 2 * ch + 1], 0x7F);
            EXPECT_EQ(s.bAudio[36 * frame + 2 * ch], 0x02);  // -32766
            EXPECT_EQ(s.bAudio[36 * frame + 2 * ch + 1], 0x80);
        }
    }
}

TEST(Synthesis, ContainersHoldTheLeftJustifiedWord) {
    struct Case {
        std::int16_t bits;
        int lowZeroBits;
    };
    const Case cases[] = {{16, 0}, {18, 6}, {20, 4}, {22, 2}, {24, 0}};
    for (bool dither : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(::testing::Message() << c.bits << " bit, dither " << dither);
            Sweep p;
            p.bits = c.bits;
            p.channels = 3;
            p.startFreq = 997;
            p.startLevel = -3.5;
            p.dither = dither;
            auto s = Synthesised(p, 77);
            const std::int32_t step = 1 << c.lowZeroBits;
            std::set<std::int32_t> values;
            for (std::int64_t n = 0; n < s.iTotalSamples; ++n) {
                const std::int32_t v = Container(s, n, 0);
                for (int ch = 1; ch < 3; ++ch) { ASSERT_EQ(Container(s, n, ch), v) << "frame " << n; }
                ASSERT_EQ(v % step, 0) << "frame " << n;
                const double word = static_cast<double>(v / step);
                const double ideal = Ideal(s, 0, n);
                if (dither) {
                    ASSERT_LE(std::fabs(word - ideal), 1.0) << "frame " << n;
                } else {
                    ASSERT_EQ(word, ideal) << "frame " << n;
                }
                values.insert(v);
            }
            // The full word is used: the peak sits near the top of the container.
            const std::int32_t top = (c.bits == 16 ? 32768 : 8388608);
            EXPECT_GT(*values.rbegin(), top / 2);
            EXPECT_LT(*values.begin(), -top / 2);
        }
    }
}

TEST(Synthesis, ContainerByteExamples) {
    // A 20-bit sample of -3 is stored as -48: D0 FF FF; a 16-bit 1000 as E8 03.
    Sweep p;
    p.bits = 20;
    p.channels = 1;
    auto s = Plan(p);
    s.dAmplitude[0] = -3.0 / std::sin(12 * ((s.dPi + s.dPi) / 48000) * 1000);
    RecordingWindow w;
    Generate_Audio_Data(s, w, 1);
    EXPECT_EQ(s.bAudio[36], 0xD0);
    EXPECT_EQ(s.bAudio[37], 0xFF);
    EXPECT_EQ(s.bAudio[38], 0xFF);

    Sweep q;
    q.channels = 1;
    auto t = Plan(q);
    t.dAmplitude[0] = 1000.0 / std::sin(12 * ((t.dPi + t.dPi) / 48000) * 1000);
    Generate_Audio_Data(t, w, 1);
    EXPECT_EQ(t.bAudio[24], 0xE8);
    EXPECT_EQ(t.bAudio[25], 0x03);
}

TEST(Synthesis, PeaksBeyondTheWordAreClippedNotWrapped) {
    // Levels a hair below 0 dBFS are not reduced, so their rounded peak
    // reaches 2^(bits-1), one above the largest code.
    struct Case {
        std::int16_t bits;
        double amplitude;
        std::uint8_t peak[3];
        std::uint8_t trough[3];
    };
    const Case cases[] = {
        {16, 32767.6, {0xFF, 0x7F, 0}, {0x00, 0x80, 0}},
        {18, 131071.6, {0xC0, 0xFF, 0x7F}, {0x00, 0x00, 0x80}},
        {20, 524287.6, {0xF0, 0xFF, 0x7F}, {0x00, 0x00, 0x80}},
        {22, 2097151.6, {0xFC, 0xFF, 0x7F}, {0x00, 0x00, 0x80}},
        {24, 8388607.6, {0xFF, 0xFF, 0x7F}, {0x00, 0x00, 0x80}},
        {24, 8388650.0, {0xFF, 0xFF, 0x7F}, {0x00, 0x00, 0x80}},  // also below the bottom
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.bits << " bit, amplitude " << c.amplitude);
        Sweep p;
        p.bits = c.bits;
        p.channels = 1;
        auto s = Plan(p);
        s.dAmplitude[0] = c.amplitude;
        RecordingWindow w;
        Generate_Audio_Data(s, w, 1);
        const int b = s.iBytesPerSample;
        for (int j = 0; j < b; ++j) {
            EXPECT_EQ(s.bAudio[12 * b + j], c.peak[j]) << "byte " << j;
            EXPECT_EQ(s.bAudio[36 * b + j], c.trough[j]) << "byte " << j;
        }
    }
}

TEST(Synthesis, LevelJustBelowFullScaleThroughThePlanIsClipped) {
    // 10 steps from -0.001 to 0 dBFS: tone 9 sits at -0.0001 dBFS, whose
    // amplitude 32767.62 rounds to 32768 at the peak.
    Sweep p;
    p.channels = 1;
    p.steps = 10;
    p.startLevel = -0.001;
    p.endLevel = 0;
    p.toneMs = 1;  // 48 frames: one cycle of 1 kHz per tone
    auto s = Synthesised(p);
    ASSERT_GT(s.dAmplitude[9], 32767.5);
    for (int k = 0; k <= 10; ++k) {
        SCOPED_TRACE(::testing::Message() << "tone " << k);
        const std::int64_t peak = 48 * k + 12;
        const std::int32_t v = Container(s, peak, 0);
        EXPECT_GT(v, 32700);
        EXPECT_LE(v, 32767);
        EXPECT_LT(Container(s, 48 * k + 36, 0), -32700);
    }
    EXPECT_EQ(Container(s, 48 * 9 + 12, 0), 32767);
}

TEST(Synthesis, DitherOfSilenceStaysWithinOneStep) {
    for (std::int16_t bits : {16, 18, 20, 22, 24}) {
        SCOPED_TRACE(::testing::Message() << bits << " bit");
        Sweep p;
        p.bits = bits;
        p.channels = 1;
        p.startLevel = -200;
        p.toneMs = 500;  // 24000 frames
        p.dither = true;
        auto s = Synthesised(p, 99);
        const std::int32_t step = bits == 16 ? 1 : 1 << (24 - bits);
        int counts[3] = {0, 0, 0};
        for (std::int64_t n = 0; n < s.iTotalSamples; ++n) {
            const std::int32_t v = Container(s, n, 0);
            ASSERT_TRUE(v == -step || v == 0 || v == step) << "frame " << n << ": " << v;
            ++counts[v / step + 1];
        }
        // Triangular dither between -1 and +1 step rounds to 0 three times in
        // four and to each neighbour once in eight.
        const double total = static_cast<double>(s.iTotalSamples);
        EXPECT_NEAR(counts[1] / total, 0.75, 0.02);
        EXPECT_NEAR(counts[0] / total, 0.125, 0.01);
        EXPECT_NEAR(counts[2] / total, 0.125, 0.01);
    }
}

TEST(Synthesis, NoTwoTonesShareADitherSequence) {
    Sweep p;
    p.channels = 1;
    p.steps = 20;
    p.startLevel = -200;
    p.endLevel = -200;
    p.toneMs = 5;  // 240 frames of dither per tone
    p.dither = true;
    auto s = Synthesised(p, 0);
    const std::size_t toneBytes = 240 * 2;
    std::set<std::vector<std::uint8_t>> tones;
    for (int k = 0; k <= 20; ++k) {
        const auto* first = s.bAudio.data() + k * toneBytes;
        tones.insert(std::vector<std::uint8_t>(first, first + toneBytes));
    }
    EXPECT_EQ(tones.size(), 21u);
}

TEST(Synthesis, RunSeedFixesTheDither) {
    Sweep p;
    p.steps = 3;
    p.startLevel = -90;
    p.dither = true;
    auto a = Synthesised(p, 2024);
    auto b = Synthesised(p, 2024);
    auto c = Synthesised(p, 2025);
    EXPECT_TRUE(std::equal(a.bAudio.begin(), a.bAudio.end(), b.bAudio.begin(), b.bAudio.end()));
    EXPECT_FALSE(std::equal(a.bAudio.begin(), a.bAudio.end(), c.bAudio.begin(), c.bAudio.end()));
}

TEST(Synthesis, OddByteCountFillsTheBlockExactly) {
    Sweep p;
    p.bits = 24;
    p.channels = 1;
    p.rate = 44100;
    p.toneMs = 200.02;  // 8821 frames: 26463 bytes
    auto s = Synthesised(p);
    EXPECT_EQ(s.iTotalBytes, 26463);
    EXPECT_EQ(s.iWritePos, 26463);
    EXPECT_EQ(s.bAudio.size(), 26464u);
    EXPECT_EQ(s.bAudio[26463], 0);  // the spare element stays untouched
}

TEST(Synthesis, ProgressCaptionsAndStatus) {
    Sweep p;
    p.rate = 32000;
    p.channels = 1;
    p.steps = 2;
    p.startFreq = 100;
    p.endFreq = 400;
    p.toneMs = 78.125;  // 2500 frames per tone
    auto s = Plan(p);
    RecordingWindow w;
    Generate_Audio_Data(s, w, 1);

    const std::vector<float> p1Tone = {60, 60, 1900, 3740, 4660};
    std::vector<float> p1;
    for (int k = 0; k < 3; ++k) p1.insert(p1.end(), p1Tone.begin(), p1Tone.end());
    EXPECT_EQ(w.progress1, p1);
    EXPECT_EQ(w.progress2, (std::vector<float>{60, static_cast<float>(1.0 / 3 * 4600 + 60),
                                               static_cast<float>(2.0 / 3 * 4600 + 60)}));
    EXPECT_EQ(w.statuses, (std::vector<std::string>{"Generating sweep step 0 of 2",
                                                    "Generating sweep step 1 of 2",
                                                    "Generating sweep step 2 of 2"}));
    EXPECT_EQ(w.logged("caption"),
              (std::vector<std::string>{"caption 0/2: Sweep WAV generation",
                                        "caption 1/2: Sweep WAV generation",
                                        "caption 2/2: Sweep WAV generation",
                                        "caption Sweep WAV generation"}));
    EXPECT_EQ(w.eventServicings, 3);
    // Abort is usable exactly while the tones are computed.
    const auto abortLog = w.logged("enable Abort");
    ASSERT_EQ(abortLog.size(), 1u);
    EXPECT_EQ(w.log.front(), "enable Abort");
    EXPECT_EQ(w.log.back(), "caption Sweep WAV generation");
    EXPECT_EQ(w.log[w.log.size() - 2], "disable Abort");
    // Each tone: empty Progress1, service events, caption, status, Progress2.
    EXPECT_EQ(w.log[1], "x2 Progress1=60 redraw");
    EXPECT_EQ(w.log[2], "events");
    EXPECT_EQ(w.log[3], "caption 0/2: Sweep WAV generation");
    EXPECT_EQ(w.log[4], "label Status=Generating sweep step 0 of 2");
    EXPECT_EQ(w.log[5], "x2 Progress2=60 redraw");
}

TEST(Synthesis, SingleToneAndEmptyTone) {
    Sweep p;
    p.toneMs = 0;
    auto s = Plan(p);
    RecordingWindow w;
    Generate_Audio_Data(s, w, 1);
    EXPECT_EQ(w.progress1, (std::vector<float>{60, 4660}));
    EXPECT_EQ(w.progress2, (std::vector<float>{60, 4660}));
    EXPECT_EQ(w.statuses, std::vector<std::string>{"Generating sweep step 0 of 0"});
    EXPECT_EQ(w.logged("caption").front(), "caption 0/0: Sweep WAV generation");
    EXPECT_EQ(s.iWritePos, 0);
}

TEST(Synthesis, AbortSeenAtTheNextToneStopsAfterItsFirstSample) {
    Sweep p;
    p.channels = 2;
    p.steps = 10;
    p.startFreq = 100;
    p.endFreq = 10000;
    p.toneMs = 20;  // 960 frames per tone
    p.dither = true;
    auto reference = Synthesised(p, 5);

    auto s = Plan(p);
    RecordingWindow w;
    // Abort pressed during tone 3 is seen when events are serviced at the
    // start of tone 4, the fifth servicing.
    w.onEvents = [&](int servicing) {
        if (servicing == 5) Abort_Click(s);
    };
    Generate_Audio_Data(s, w, 5);

    const std::int32_t frameBytes = 2 * 2;
    const std::int32_t stop = (4 * 960 + 1) * frameBytes;
    EXPECT_TRUE(s.bAbort);
    EXPECT_EQ(s.iWritePos, stop);
    EXPECT_EQ(w.eventServicings, 5);
    EXPECT_EQ(w.statuses.back(), "Generating sweep step 4 of 10");
    ASSERT_EQ(s.bAudio.size(), reference.bAudio.size());
    EXPECT_TRUE(std::equal(s.bAudio.begin(), s.bAudio.begin() + stop, reference.bAudio.begin()));
    EXPECT_TRUE(std::all_of(s.bAudio.begin() + stop, s.bAudio.end(), [](std::uint8_t b) { return b == 0; }));
    EXPECT_EQ(w.progress1.back(), 4660);
    EXPECT_EQ(w.log[w.log.size() - 2], "disable Abort");
    EXPECT_EQ(w.caption, "Sweep WAV generation");
}

}  // namespace
}  // namespace sweepwav
