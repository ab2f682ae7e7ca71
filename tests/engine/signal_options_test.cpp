// The signal options: silence, ramps and the channels that carry the
// signal, against the audio synthesis makes and the plan that describes it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

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

TEST(SignalOptions, SilenceTonesAndChannelsAreWhereThePlanSays) {
    const SweepSettings base{.rate = 8000, .bits = 24, .channels = 3, .steps = 2, .startFreq = 100,
                             .endFreq = 400, .toneMs = 25, .dither = true};
    struct Case {
        SweepSettings p;
        std::int64_t frames;  // in all
    } cases[] = {
        {[&] { auto p = base; p.leadInMs = 10, p.gapMs = 5, p.tailMs = 20; return p; }(), 80 + 3 * 200 + 2 * 40 + 160},
        {[&] { auto p = base; p.signalChannels = {1, 3}; return p; }(), 3 * 200},
        {[&] { auto p = base; p.eachChannel = true, p.gapMs = 5; return p; }(), 9 * 200 + 8 * 40},
    };
    for (auto& c : cases) {
        GeneratorState s = PlannedSweep(c.p);
        ASSERT_EQ(s.iCalcResult, 1);
        EXPECT_EQ(s.iTotalSamples, c.frames);
        const auto audio = Audio(s);
        ASSERT_EQ(audio.size(), static_cast<std::size_t>(s.iTotalBytes));
        GeneratorState plain = PlannedSweep(base);
        const auto today = Audio(plain);
        const std::vector<PlanRow> rows = PlanRows(s);
        std::int64_t toneFrames = 0;
        for (const Segment& seg : SignalSegments(s)) {
            const std::uint32_t carried = seg.tone < 0 ? 0 : SignalChannelMask(s, seg.pass);
            for (std::int64_t n = seg.first; n < seg.first + seg.frames; ++n) {
                for (int ch = 0; ch < 3; ++ch) {
                    const std::int32_t v = Sample(audio, s, n, ch);
                    if (!((carried >> ch) & 1)) {
                        ASSERT_EQ(v, 0) << "frame " << n << " channel " << ch;  // exact zeros, no dither
                    } else if (seg.pass == 0) {
                        // The first pass of a tone is today's tone, dither and all.
                        ASSERT_EQ(v, Sample(today, plain, toneFrames + (n - seg.first), 0)) << n;
                    }
                }
            }
            if (seg.tone >= 0 && seg.pass == 0) toneFrames += seg.frames;
        }
        // The exported plan and the markers put each tone where the audio has it.
        std::vector<Segment> tones;
        for (const Segment& seg : SignalSegments(s)) {
            if (seg.tone >= 0) tones.push_back(seg);
        }
        ASSERT_EQ(rows.size(), tones.size());
        s.markers = true;
        const auto markers = ToneMarkerChunks(s);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].firstFrame, tones[i].first);
            EXPECT_EQ(rows[i].channel, s.signal.channels.each ? tones[i].pass + 1 : 0);
            // The cue point's position: 12 bytes into the chunk, 24 per point.
            std::uint32_t position = 0;
            for (int j = 3; j >= 0; --j) position = position * 256 + markers[12 + 24 * i + 4 + j];
            EXPECT_EQ(position, tones[i].first);
        }
    }
}

TEST(SignalOptions, RampsAreTheRaisedCosineTimesTheTone) {
    for (std::int16_t bits : {16, 24}) {
        SCOPED_TRACE(bits);
        SweepSettings p{.rate = 48000, .bits = bits, .channels = 1, .steps = 0, .startFreq = 1000,
                        .endFreq = 1000, .startLevel = -6, .endLevel = -6, .toneMs = 50};
        GeneratorState plain = PlannedSweep(p);
        const auto tone = Audio(plain);
        p.leadInMs = 1, p.tailMs = 1, p.rampMs = 10;
        GeneratorState s = PlannedSweep(p);
        const auto audio = Audio(s);
        const std::int64_t lead = s.signalFrames.leadIn, n = 2400, r = s.signalFrames.ramp;
        ASSERT_EQ(r, 480);
        for (std::int64_t i = 0; i < n; ++i) {
            const double shaped = Sample(audio, s, lead + i, 0);
            const double full = Sample(tone, plain, i, 0);
            const std::int64_t edge = std::min(i, n - 1 - i);
            const double envelope = edge < r ? 0.5 - 0.5 * std::cos(std::numbers::pi * edge / r) : 1;
            // Within rounding: half a code of the shaped sample and of the tone.
            ASSERT_NEAR(shaped, full * envelope, 0.5 + 0.5 * envelope + 1e-9) << i;
        }
    }
}

TEST(SignalOptions, RefusedOptions) {
    const SweepSettings base{.rate = 8000, .channels = 2, .steps = 1, .toneMs = 10};
    const std::pair<SweepSettings, const char*> cases[] = {
        {[&] { auto p = base; p.signalChannels = {3}; return p; }(),
         "Please check the signal channels are between 1 and 2"},
        {[&] { auto p = base; p.gapMs = 1, p.rampMs = 6; return p; }(),
         "Please check the ramps are at most half as long as the shortest tone (10ms)"},
    };
    for (const auto& [p, message] : cases) {
        RecordingWindow w;
        GeneratorState s = PlannedSweep(p, w);
        EXPECT_FALSE(CheckSignalOptions(s, w));
        ASSERT_EQ(w.boxes.size(), 1u);
        EXPECT_EQ(w.boxes[0].text, message);
        EXPECT_NE(s.iCalcResult, 1);
    }
}

}  // namespace
}  // namespace sweepwav
