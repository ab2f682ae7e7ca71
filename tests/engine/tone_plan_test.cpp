// Tone planning and zero-crossing alignment against hand-worked examples,
// and the refusal of plans too large for the file's 32-bit size fields.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "plan/alignment.h"
#include "plan/tone_plan.h"
#include "tests/support/recording_fake.h"

namespace sweepwav {
namespace {

using testing::RecordingWindow;

const char* const kOversizeText =
    "The resulting file would be larger than 2 GB. Please reduce the number of steps, the tone "
    "duration, the sample rate, the word length or the number of channels.";

struct Sweep {
    std::int32_t rate = 44100;
    std::int16_t bits = 16;
    std::int16_t channels = 2;
    std::int16_t steps = 10;
    bool log = true;
    double startFreq = 20, endFreq = 20000;
    double startLevel = 0, endLevel = 0;
    double toneMs = 200;
    std::int32_t cycles = 20;
    std::int16_t mode = 2;
};

GeneratorState Planned(const Sweep& p, RecordingWindow& w) {
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
    s.iToneCycles = p.cycles;
    s.iShiftMode = p.mode;
    Set_up_calculation(s, w);
    return s;
}

// ---- Alignment ---------------------------------------------------------

TEST(ShiftFreq, MovesToWholeCycles) {
    struct Case {
        std::int32_t rate;
        double freq;
        std::int32_t samples;
        double expected;
    };
    const Case cases[] = {
        {48000, 997, 4800, 1000},   // 99.7 cycles become 100
        {48000, 1000, 4800, 1000},  // already whole
        {48000, 12, 4800, 10},      // 1.2 cycles become 1
        {48000, 10, 960, 50},       // 0.2 cycles round to 0, raised to 1
        {48000, 123.456, 0, 123.456},
        {44100, 1000, 441, 1000},
        // Long high tones: rate x cycles passes 2^31 - 1 but still aligns.
        {192000, 20000, 192000, 20000},
        {192000, 19999.3, 192000, 19999},
        {48000, 20000, 480000, 20000},
        {192000, 94080, 1920000, 94080},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.rate << " Hz, " << c.freq << " Hz x " << c.samples);
        auto f = ShiftFreq(c.rate, c.freq, c.samples);
        ASSERT_TRUE(f.has_value());
        EXPECT_EQ(*f, c.expected);
    }
}

TEST(ShiftTime, ChoosesFramesOfNearestWholeCycles) {
    struct Case {
        std::int32_t rate;
        double freq;
        double seconds;
        std::int32_t expected;
    };
    const Case cases[] = {
        {48000, 997, 0, 0},
        {48000, 997, 0.1, 4814},   // 100 cycles = 4814.44 frames
        {48000, 25, 0.1, 3840},    // 2.5 cycles round to 2, not 3
        {48000, 10, 0.02, 4800},   // 0.2 cycles: one cycle instead
        {44100, 1000, 0.2, 8820},  // exactly 200 cycles
        {44100, 1000, 0.001, 44},  // exactly one cycle: 44.1 frames
        {44100, 20, 1, 44100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.rate << " Hz, " << c.freq << " Hz for " << c.seconds);
        auto n = ShiftTime(c.rate, c.freq, c.seconds);
        ASSERT_TRUE(n.has_value());
        EXPECT_EQ(*n, c.expected);
    }
}

TEST(ShiftTime, LengthBeyond32BitsIsReported) {
    // 10 Hz for 200000 cycles is 20000 s: 3.84e9 frames at 192 kHz.
    EXPECT_FALSE(ShiftTime(192000, 10, 20000).has_value());
}

// ---- Frequencies, levels, amplitudes -------------------------------------

TEST(TonePlan, LinearStepsAreExact) {
    RecordingWindow w;
    Sweep p;
    p.log = false;
    p.startFreq = 100;
    p.endFreq = 1000;
    p.steps = 9;
    auto s = Planned(p, w);
    ASSERT_EQ(s.dFreq.size(), 10u);
    for (int i = 0; i <= 9; ++i) { EXPECT_EQ(s.dFreq[i], 100.0 * (i + 1)) << "tone " << i; }
}

TEST(TonePlan, LogStepsAreDecades) {
    RecordingWindow w;
    Sweep p;
    p.steps = 3;
    auto s = Planned(p, w);
    ASSERT_EQ(s.dFreq.size(), 4u);
    EXPECT_EQ(s.dFreq[0], 20);
    EXPECT_NEAR(s.dFreq[1], 200, 200 * 1e-13);
    EXPECT_NEAR(s.dFreq[2], 2000, 2000 * 1e-13);
    EXPECT_EQ(s.dFreq[3], 20000);
}

TEST(TonePlan, DescendingSweep) {
    RecordingWindow w;
    Sweep p;
    p.log = false;
    p.startFreq = 1000;
    p.endFreq = 100;
    p.steps = 9;
    auto s = Planned(p, w);
    EXPECT_EQ(s.dFreq[0], 1000);
    EXPECT_EQ(s.dFreq[9], 100);
    EXPECT_EQ(s.dFreq[5], 500);
}

TEST(TonePlan, SingleToneIgnoresEndValues) {
    for (bool log : {true, false}) {
        RecordingWindow w;
        Sweep p;
        p.log = log;
        p.steps = 0;
        p.startFreq = 440;
        p.endFreq = 880;
        p.startLevel = -12;
        p.endLevel = -40;
        auto s = Planned(p, w);
        ASSERT_EQ(s.iCalcResult, 1);
        ASSERT_EQ(s.dFreq.size(), 1u);
        EXPECT_EQ(s.dFreq[0], 440);
        EXPECT_EQ(s.dLevel[0], -12);
        EXPECT_EQ(s.dLevelStep, 0);
    }
}

TEST(TonePlan, AmplitudesInWordSteps) {
    struct Case {
        std::int16_t bits;
        double level;
        double amplitude;
        double tolerance;
    };
    const Case cases[] = {
        {16, 0, 32766, 0},          // full level: two steps below the top
        {24, 0, 8388606, 0},
        {18, 0, 131070, 0},
        {16, -20, 3276.8, 1e-9},
        {16, -6, 16422.9, 0.05},    // nothing subtracted below full level
        {24, -0.001, 8387642.2814, 1e-4},
        {16, -200, 3.2768e-6, 1e-15},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.bits << " bit at " << c.level << " dBFS");
        RecordingWindow w;
        Sweep p;
        p.bits = c.bits;
        p.steps = 0;
        p.startLevel = c.level;
        auto s = Planned(p, w);
        EXPECT_NEAR(s.dAmplitude[0], c.amplitude, c.tolerance);
    }
}

TEST(TonePlan, LevelsUseTheStoredStep) {
    RecordingWindow w;
    Sweep p;
    p.steps = 4;
    p.startLevel = 0;
    p.endLevel = -20;
    auto s = Planned(p, w);
    EXPECT_EQ(s.dLevelStep, -5);
    const double expected[] = {0, -5, -10, -15, -20};
    for (int i = 0; i <= 4; ++i) { EXPECT_EQ(s.dLevel[i], expected[i]); }
    EXPECT_EQ(s.dAmplitude[0], 32766);
    EXPECT_NEAR(s.dAmplitude[4], 3276.8, 1e-9);
}

// ---- Lengths ---------------------------------------------------------------

TEST(TonePlan, ToneLengthsByShiftMode) {
    struct Case {
        const char* name;
        Sweep p;
        double freq0;
        double samples0;
    };
    Sweep mode0;  // 100 cycles of 20 Hz would ask for 5 s; mode 0 ignores that
    mode0.mode = 0;
    mode0.cycles = 100;
    Sweep halfMs = mode0;
    halfMs.toneMs = 0.5;
    Sweep mode1;
    mode1.rate = 48000;
    mode1.mode = 1;
    mode1.steps = 0;
    mode1.startFreq = 997;
    mode1.toneMs = 100;
    Sweep mode2 = mode1;
    mode2.mode = 2;
    mode2.cycles = 0;
    Sweep cyclesWin;  // 20 cycles of 20 Hz (1000 ms) beat 200 ms
    cyclesWin.steps = 0;
    const Case cases[] = {
        {"mode 0, 200 ms at 44.1 kHz", mode0, 20, 8820},
        {"mode 0, 0.5 ms at 44.1 kHz", halfMs, 20, 22},
        {"mode 1, 997 Hz in 4800 frames", mode1, 1000, 4800},
        {"mode 2, 997 Hz for 100 ms", mode2, 997, 4814},
        {"mode 2, 20 cycles of 20 Hz", cyclesWin, 20, 44100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingWindow w;
        auto s = Planned(c.p, w);
        ASSERT_EQ(s.iCalcResult, 1);
        EXPECT_EQ(s.dFreq[0], c.freq0);
        EXPECT_EQ(s.dSamples[0], c.samples0);
        if (c.p.mode == 0) {
            for (double n : s.dSamples) { EXPECT_EQ(n, c.samples0); }
        }
    }
}

TEST(TonePlan, MinimumDurationIsTheLongerOfCyclesAndTime) {
    RecordingWindow w;
    Sweep p;  // 20 cycles, 200 ms, 20 Hz .. 20 kHz
    p.steps = 3;
    auto s = Planned(p, w);
    EXPECT_EQ(s.dToneMs[0], 1000);  // 20 cycles of 20 Hz
    EXPECT_EQ(s.dToneMs[1], 200);   // 20 cycles of 200 Hz = 100 ms < 200 ms
    EXPECT_EQ(s.dToneMs[3], 200);
}

TEST(TonePlan, ZeroToneTimeGivesAnEmptyBlock) {
    RecordingWindow w;
    Sweep p;
    p.mode = 0;
    p.toneMs = 0;
    auto s = Planned(p, w);
    ASSERT_EQ(s.iCalcResult, 1);
    for (double n : s.dSamples) { EXPECT_EQ(n, 0); }
    EXPECT_EQ(s.iTotalSamples, 0);
    EXPECT_EQ(s.iTotalBytes, 0);
    EXPECT_EQ(s.bAudio.size(), 1u);
}

TEST(TonePlan, TotalsAndBuffers) {
    struct Case {
        std::int16_t bits, channels;
        std::int32_t totalSamples;
        std::int16_t bytesPerSample;
        std::int32_t totalBytes;
    };
    // 3 tones of 100 ms at 44.1 kHz: 4410 frames each.
    const Case cases[] = {
        {24, 2, 13230, 3, 79380}, {16, 2, 13230, 2, 52920}, {18, 1, 13230, 3, 39690},
        {20, 8, 13230, 3, 317520}, {22, 3, 13230, 3, 119070},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.bits << " bit, " << c.channels << " ch");
        RecordingWindow w;
        Sweep p;
        p.mode = 0;
        p.toneMs = 100;
        p.steps = 2;
        p.bits = c.bits;
        p.channels = c.channels;
        auto s = Planned(p, w);
        ASSERT_EQ(s.iCalcResult, 1);
        EXPECT_EQ(s.iTotalSamples, c.totalSamples);
        EXPECT_EQ(s.iBytesPerSample, c.bytesPerSample);
        EXPECT_EQ(s.iTotalBytes, c.totalBytes);
        EXPECT_EQ(s.bAudio.size(), static_cast<std::size_t>(c.totalBytes) + 1);
        EXPECT_EQ(s.bSampleBytes.size(), static_cast<std::size_t>(c.bytesPerSample) + 1);
        EXPECT_EQ(w.statuses, std::vector<std::string>{"Setting up calculations"});
        EXPECT_TRUE(w.boxes.empty());
    }
}

TEST(TonePlan, LongHighToneAlignsInShiftMode1) {
    RecordingWindow w;
    Sweep p;
    p.rate = 192000;
    p.mode = 1;
    p.steps = 0;
    p.startFreq = 19999.3;
    p.toneMs = 1000;
    auto s = Planned(p, w);
    ASSERT_EQ(s.iCalcResult, 1);
    EXPECT_EQ(s.dFreq[0], 19999);
    EXPECT_EQ(s.dSamples[0], 192000);
    EXPECT_TRUE(w.boxes.empty());
}

// ---- Plans too large for the file -----------------------------------------

TEST(TonePlan, OversizePlansAreRefusedBeforeAllocation) {
    struct Case {
        const char* name;
        Sweep p;
    };
    Sweep bytes;  // 1001 tones of 10 s, 8 ch, 24 bit, 192 kHz: about 46 GB
    bytes.rate = 192000;
    bytes.bits = 24;
    bytes.channels = 8;
    bytes.steps = 1000;
    bytes.mode = 0;
    bytes.toneMs = 10000;
    Sweep toneLength;  // one tone of 200000 cycles of 10 Hz: 3.84e9 frames
    toneLength.rate = 192000;
    toneLength.channels = 1;
    toneLength.steps = 0;
    toneLength.startFreq = 10;
    toneLength.cycles = 200000;
    Sweep totalSamples;  // 11 tones of 10000 s: each fits, the sum does not
    totalSamples.channels = 1;
    totalSamples.startFreq = 20;
    totalSamples.endFreq = 20;
    totalSamples.cycles = 200000;
    Sweep cyclesTimesThousand;  // 3e6 x 1000 does not fit 32 bits
    cyclesTimesThousand.cycles = 3000000;
    Sweep headerSize;  // 2147483616 audio bytes fit, + 44 for the file do not
    headerSize.rate = 48000;
    headerSize.bits = 16;
    headerSize.channels = 1;
    headerSize.steps = 0;
    headerSize.mode = 0;
    headerSize.toneMs = 22369621;
    const Case cases[] = {
        {"bytes", bytes},
        {"tone length", toneLength},
        {"total samples", totalSamples},
        {"cycles x 1000", cyclesTimesThousand},
        {"header", headerSize},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingWindow w;
        auto s = Planned(c.p, w);
        EXPECT_EQ(s.iCalcResult, 0);
        ASSERT_EQ(w.boxes.size(), 1u);
        EXPECT_EQ(w.boxes[0].text, kOversizeText);
        EXPECT_EQ(w.boxes[0].title, "Sweep WAV generation");
        EXPECT_EQ(w.boxes[0].icon, Icon::Exclamation);
        EXPECT_EQ(w.statuses,
                  (std::vector<std::string>{"Setting up calculations", "Sweep Configuration"}));
        EXPECT_LT(s.bAudio.capacity(), 1u << 20);
    }
}

}  // namespace
}  // namespace sweepwav
