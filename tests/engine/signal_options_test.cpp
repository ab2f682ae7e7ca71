// The signal options: silence, ramps and the channels that carry the
// signal, against the audio synthesis makes and the plan that describes it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <tuple>
#include <vector>

#include "commands/commands.h"
#include "commands/outputs.h"
#include "plan/signal_layout.h"
#include "report/plan_export.h"
#include "support/planned_sweep.h"
#include "wav/marker_chunks.h"

namespace sweepwav {
namespace {

using testing::PlannedSweep;
using testing::RecordingWindow;
using testing::SweepSettings;

// Sample c of frame n, as a signed integer of the container.
std::int32_t Sample(const std::vector<std::uint8_t>& audio, const GeneratorState& s, std::int64_t n, int c) {
    const std::size_t at = (static_cast<std::size_t>(n) * s.iChannels + c) * s.iBytesPerSample;
    std::int32_t v = 0;
    for (int j = s.iBytesPerSample - 1; j >= 0; --j) v = v * 256 + audio[at + j];
    if (v >= (1 << (8 * s.iBytesPerSample - 1))) v -= 1 << (8 * s.iBytesPerSample);
    return v;
}

std::vector<std::uint8_t> Audio(GeneratorState& s, std::uint64_t seed = 3) {
    RecordingWindow w;
    return testing::SynthesisedAudio(s, w, seed, 2);
}

// Two tones of 200 frames at 8 kHz; 5 ms of silence is 40 frames.
const SweepSettings kTwoTones{.rate = 8000, .bits = 24, .channels = 2, .steps = 1, .startFreq = 100,
                              .endFreq = 400, .toneMs = 25, .dither = true};

SweepSettings With(SweepSettings p, double leadIn, double gap, double tail, double ramp, bool each = false) {
    p.leadInMs = leadIn, p.gapMs = gap, p.tailMs = tail, p.rampMs = ramp, p.eachChannel = each;
    return p;
}

TEST(SignalOptions, SegmentsAndTheirRamps) {
    using S = Segment;
    const struct {
        SweepSettings p;
        std::vector<Segment> segments;  // tone, pass, first, frames, ramp in, ramp out
    } cases[] = {
        // A tone fades in after silence and out before it, and only there.
        {With(kTwoTones, 5, 0, 0, 1), {S{-1, 0, 0, 40}, S{0, 0, 40, 200, true, false}, S{1, 0, 240, 200}}},
        {With(kTwoTones, 0, 0, 5, 1), {S{0, 0, 0, 200}, S{1, 0, 200, 200, false, true}, S{-1, 0, 400, 40}}},
        {With(kTwoTones, 0, 5, 0, 1),
         {S{0, 0, 0, 200, false, true}, S{-1, 0, 200, 40}, S{1, 0, 240, 200, true, false}}},
        {With(kTwoTones, 5, 0, 5, 0),
         {S{-1, 0, 0, 40}, S{0, 0, 40, 200}, S{1, 0, 240, 200}, S{-1, 0, 440, 40}}},
        // One channel at a time: the sweep again for each channel, the gap between passes too.
        {With(kTwoTones, 0, 5, 0, 0, true),
         {S{0, 0, 0, 200}, S{-1, 0, 200, 40}, S{1, 0, 240, 200}, S{-1, 0, 440, 40}, S{0, 1, 480, 200},
          S{-1, 0, 680, 40}, S{1, 1, 720, 200}}},
        // Without a gap a channel's pass still ends, and the next one's begins, in silence.
        {With(kTwoTones, 0, 0, 0, 1, true),
         {S{0, 0, 0, 200}, S{1, 0, 200, 200, false, true}, S{0, 1, 400, 200, true, false}, S{1, 1, 600, 200}}},
    };
    for (const auto& c : cases) {
        GeneratorState s = PlannedSweep(c.p);
        ASSERT_EQ(s.iCalcResult, 1);
        const std::vector<Segment> got = SignalSegments(s);
        ASSERT_EQ(got.size(), c.segments.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            SCOPED_TRACE(i);
            const Segment &g = got[i], &e = c.segments[i];
            EXPECT_EQ(std::tie(g.tone, g.pass, g.first, g.frames, g.rampIn, g.rampOut),
                      std::tie(e.tone, e.pass, e.first, e.frames, e.rampIn, e.rampOut));
        }
        std::int64_t frames = 0;
        for (const Segment& e : c.segments) frames += e.frames;
        EXPECT_EQ(s.iTotalSamples, frames);
    }
}

TEST(SignalOptions, ChannelsThatCarryTheSignal) {
    // Per pass, which of the channels carry the tone (the others are exact zeros).
    const struct {
        std::int16_t channels;
        std::vector<int> list;
        bool each;
        std::vector<std::vector<bool>> carried;
    } cases[] = {
        {3, {}, false, {{true, true, true}}},
        {3, {3}, false, {{false, false, true}}},
        {3, {1, 3}, false, {{true, false, true}}},
        {8, {8, 2}, false, {{false, true, false, false, false, false, false, true}}},
        {2, {}, true, {{true, false}, {false, true}}},
    };
    for (const auto& c : cases) {
        SweepSettings p = kTwoTones;
        p.channels = c.channels, p.signalChannels = c.list, p.eachChannel = c.each;
        GeneratorState s = PlannedSweep(p);
        ASSERT_EQ(s.iCalcResult, 1);
        const auto audio = Audio(s);
        const auto passes = static_cast<int>(c.carried.size());
        for (int pass = 0; pass < passes; ++pass) {
            // Every frame of the pass's two tones; the dither makes every carried sample move.
            for (int ch = 0; ch < c.channels; ++ch) {
                bool moves = false;
                for (std::int64_t n = pass * 400; n < (pass + 1) * 400; ++n) moves |= Sample(audio, s, n, ch) != 0;
                EXPECT_EQ(moves, c.carried[static_cast<std::size_t>(pass)][static_cast<std::size_t>(ch)])
                    << "pass " << pass << " channel " << ch + 1;
            }
        }
    }
}

TEST(SignalOptions, TheFirstPassIsTheToneWithoutOptionsAndThePlanFindsIt) {
    GeneratorState plain = PlannedSweep(kTwoTones);
    const auto today = Audio(plain);
    GeneratorState s = PlannedSweep(With(kTwoTones, 10, 5, 20, 0));
    const auto audio = Audio(s);
    // The tones sit after 80 frames of lead-in and between them 40 of gap,
    // dither and all as without the options.
    for (std::int64_t n = 0; n < 200; ++n) {
        ASSERT_EQ(Sample(audio, s, 80 + n, 0), Sample(today, plain, n, 0)) << n;
        ASSERT_EQ(Sample(audio, s, 320 + n, 1), Sample(today, plain, 200 + n, 1)) << n;
    }
    // The exported plan and the markers put each tone where the audio has it.
    const std::vector<PlanRow> rows = PlanRows(s);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].firstFrame, 80);
    EXPECT_EQ(rows[1].firstFrame, 320);
    s.markers = true;
    const auto markers = ToneMarkerChunks(s);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        // The cue point's position: 12 bytes into the chunk, 24 per point.
        std::uint32_t position = 0;
        for (int j = 3; j >= 0; --j) position = position * 256 + markers[12 + 24 * i + 4 + j];
        EXPECT_EQ(position, rows[i].firstFrame);
    }
}

TEST(SignalOptions, RampsAreTheRaisedCosineTimesTheTone) {
    // Silence before, after, or both: the tone fades only where it meets it.
    const struct {
        std::int16_t bits;
        double leadInMs, tailMs;
    } cases[] = {{16, 1, 1}, {24, 1, 1}, {24, 1, 0}, {24, 0, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.bits << " bit, lead-in " << c.leadInMs << ", tail " << c.tailMs);
        SweepSettings p{.rate = 48000, .bits = c.bits, .channels = 1, .steps = 0, .startFreq = 1000,
                        .endFreq = 1000, .startLevel = -6, .endLevel = -6, .toneMs = 50};
        GeneratorState plain = PlannedSweep(p);
        const auto tone = Audio(plain);
        p.leadInMs = c.leadInMs, p.tailMs = c.tailMs, p.rampMs = 10;
        GeneratorState s = PlannedSweep(p);
        const auto audio = Audio(s);
        const std::int64_t lead = s.signalFrames.leadIn, n = 2400, r = s.signalFrames.ramp;
        ASSERT_EQ(r, 480);
        for (std::int64_t i = 0; i < n; ++i) {
            const double shaped = Sample(audio, s, lead + i, 0);
            const double full = Sample(tone, plain, i, 0);
            const std::int64_t fromStart = c.leadInMs > 0 ? i : r, fromEnd = c.tailMs > 0 ? n - 1 - i : r;
            const std::int64_t edge = std::min(fromStart, fromEnd);
            const double envelope = edge < r ? 0.5 - 0.5 * std::cos(std::numbers::pi * edge / r) : 1;
            // Within rounding: half a code of the shaped sample and of the tone.
            ASSERT_NEAR(shaped, full * envelope, 0.5 + 0.5 * envelope + 1e-9) << i;
        }
    }
}

TEST(SignalOptions, OneChannelAtATimeFadesWhereAPassEndsAndSaysWhichChannel) {
    // Two tones of 200 frames, each channel in turn, no gap: the last tone of
    // channel 1 fades out and the first of channel 2 fades in, over 8 frames.
    SweepSettings p = With(kTwoTones, 0, 0, 0, 1, true);
    p.dither = false;
    GeneratorState s = PlannedSweep(p);
    RecordingWindow w;
    std::vector<std::string> statuses;
    w.onEvents = [&](int servicing) {
        if (servicing == 4) Abort_Click(s);  // at the start of the second tone on channel 2
    };
    const auto audio = testing::SynthesisedAudio(s, w, 3, 2);
    GeneratorState plain = PlannedSweep(With(kTwoTones, 0, 0, 0, 0));
    plain.bDither = false;
    const auto full = Audio(plain);
    for (std::int64_t i = 0; i < 8; ++i) {
        const double env = 0.5 - 0.5 * std::cos(std::numbers::pi * i / 8);
        EXPECT_NEAR(Sample(audio, s, 399 - i, 0), Sample(full, plain, 399 - i, 0) * env, 0.5 + 0.5 * env) << i;
        EXPECT_NEAR(Sample(audio, s, 400 + i, 1), Sample(full, plain, i, 0) * env, 0.5 + 0.5 * env) << i;
    }
    for (const std::string& line : w.log) {
        if (line.rfind("label Status=Generating", 0) == 0) statuses.push_back(line);
    }
    EXPECT_EQ(statuses, (std::vector<std::string>{
                            "label Status=Generating sweep step 0 of 1 on channel 1 of 2",
                            "label Status=Generating sweep step 1 of 1 on channel 1 of 2",
                            "label Status=Generating sweep step 0 of 1 on channel 2 of 2",
                            "label Status=Generating sweep step 1 of 1 on channel 2 of 2"}));
    EXPECT_TRUE(s.bAbort);
    EXPECT_EQ(LastStepText(s), "sweep step 1 of 1 on channel 2 of 2");
}

TEST(SignalOptions, AcceptedAndRefusedOptions) {
    // Tones of 80 frames; a ramp of 40 frames is exactly half of one.
    const SweepSettings base{.rate = 8000, .channels = 2, .steps = 1, .toneMs = 10};
    const std::pair<SweepSettings, const char*> cases[] = {
        {[&] { auto p = base; p.signalChannels = {2}; return p; }(), nullptr},
        {[&] { auto p = base; p.signalChannels = {3}; return p; }(),
         "Please check the signal channels are between 1 and 2"},
        {[&] { auto p = base; p.gapMs = 1, p.rampMs = 5; return p; }(), nullptr},
        {[&] { auto p = base; p.gapMs = 1, p.rampMs = 5.125; return p; }(),
         "Please check the ramps are at most half as long as the shortest tone (10ms)"},
        // Ramps that meet no silence shape nothing.
        {[&] { auto p = base; p.rampMs = 6; return p; }(), nullptr},
    };
    for (const auto& [p, message] : cases) {
        RecordingWindow w;
        GeneratorState s = PlannedSweep(p, w);
        EXPECT_EQ(CheckSignalOptions(s, w), message == nullptr);
        ASSERT_EQ(w.boxes.size(), message ? 1u : 0u);
        if (!message) continue;
        EXPECT_EQ(w.boxes[0].text, message);
        EXPECT_NE(s.iCalcResult, 1);
    }
}

}  // namespace
}  // namespace sweepwav
