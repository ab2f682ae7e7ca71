// The same settings give the same bytes on every build: a table of sweeps
// with the hashes of what the Linux build (widest and baseline sine) and
// the Windows build all make of them. The samples, the plan's numbers, the
// report and the marker labels all come from correctly rounded functions,
// so no C library, compiler or processor may change one of these hashes.
#include <gtest/gtest.h>

#include <cstdint>
#include <numbers>
#include <span>
#include <string>
#include <vector>

#include "report/info_report.h"
#include "report/plan_export.h"
#include "support/planned_sweep.h"
#include "synth/tone_render.h"
#include "wav/marker_chunks.h"

namespace sweepwav {
namespace {

using testing::RecordingWindow;
using testing::SweepSettings;

// 64-bit FNV-1a, over any number of byte strings.
class Hash {
public:
    template <typename Bytes>
    Hash& add(const Bytes& bytes) {
        for (auto b : bytes) value_ = (value_ ^ static_cast<std::uint8_t>(b)) * 0x100000001b3ULL;
        return *this;
    }
    std::uint64_t value() const { return value_; }

private:
    std::uint64_t value_ = 0xcbf29ce484222325ULL;
};

TEST(SameBytesEverywhere, SweepsHashAsOnEveryBuild) {
    struct Case {
        SweepSettings sweep;
        std::uint64_t seed;
        bool markers;
        std::uint64_t audio, texts;  // the hashes: samples; report, plans and markers
    };
    const Case cases[] = {
        {{.bits = 16, .steps = 12, .log = true, .startFreq = 20, .endFreq = 20000, .startLevel = 0, .endLevel = -60,
          .toneMs = 40, .dither = true},
         7, true, 0xd2a36abb36dc8aad, 0x66f612acd36daab8},
        {{.rate = 44100, .bits = 18, .channels = 1, .steps = 30, .log = true, .startFreq = 31.5, .endFreq = 16000,
          .startLevel = -3.3, .endLevel = -96.7, .toneMs = 25},
         0, false, 0x1151e53818be7acd, 0xa6c70f367b5854f7},
        {{.rate = 96000, .bits = 20, .channels = 3, .steps = 7, .startFreq = 100, .endFreq = 40000, .startLevel = -0.01,
          .endLevel = -0.01, .toneMs = 30, .mode = 1, .dither = true},
         99, true, 0x73801384b0c9ac9f, 0x871678ad2a15ee48},
        {{.rate = 32000, .bits = 22, .channels = 1, .steps = 5, .log = true, .startFreq = 15000.001, .endFreq = 15679,
          .startLevel = -120, .endLevel = -0.5, .toneMs = 20, .cycles = 200, .mode = 2, .dither = true},
         123456789, false, 0x5588089a54a5d4ac, 0xdfe9196dd7ffc28d},
        // Long high tones at 0 dBFS: phases up to millions of radians.
        {{.rate = 192000, .bits = 24, .channels = 1, .steps = 1, .startFreq = 19999.37, .endFreq = 94080,
          .startLevel = 0, .endLevel = 0, .toneMs = 10000, .dither = true},
         3, false, 0xe4a9c7a7f0b4a425, 0xadb660313c56b25e},
        // Ramps, gaps and one channel at a time.
        {{.rate = 48000, .bits = 24, .channels = 2, .steps = 3, .log = true, .startFreq = 997, .endFreq = 9970,
          .startLevel = -1, .endLevel = -10, .toneMs = 50, .dither = true, .leadInMs = 5, .gapMs = 10, .tailMs = 5,
          .rampMs = 20, .eachChannel = true},
         42, true, 0xd07351615b045faa, 0xc5a117c2659d6b8e},
    };
    for (const Case& c : cases) {
        GeneratorState s = testing::PlannedSweep(c.sweep);
        ASSERT_EQ(s.iCalcResult, 1);
        s.markers = c.markers;
        BuildInfoReport(s);
        RecordingWindow w;
        const auto audio = testing::SynthesisedAudio(s, w, c.seed, 2);
        Hash texts;
        texts.add(s.sReport).add(PlanCsv(s)).add(PlanJson(s)).add(ToneMarkerChunks(s));
        EXPECT_EQ(Hash().add(audio).value(), c.audio)
            << std::hex << c.sweep.bits << " bit, " << c.sweep.startFreq << " to " << c.sweep.endFreq << " Hz";
        EXPECT_EQ(texts.value(), c.texts)
            << std::hex << c.sweep.bits << " bit, " << c.sweep.startFreq << " to " << c.sweep.endFreq << " Hz";
    }
}

// Frames far into a tone, where a phase reaches billions of radians.
TEST(SameBytesEverywhere, FramesFarIntoATone) {
    const double freq[] = {94000.5}, amp[] = {8388605.5};
    const RenderJob job{freq, amp, (std::numbers::pi + std::numbers::pi) / 192000, IntegerPcm(24), 1, true, 77, 0, {}, 1};
    const Chunk chunk{0, 2000000000, 1 << 16};
    const auto size = static_cast<std::size_t>(chunk.count) * 3;
    std::vector<std::uint8_t> bytes(size + kRenderSlack);
    RenderChunk(job, chunk, bytes.data());
    EXPECT_EQ(Hash().add(std::span(bytes).first(size)).value(), 0x3cb8128c60ad308ULL);
}

}  // namespace
}  // namespace sweepwav
