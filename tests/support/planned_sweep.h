// A completed tone plan from settings given directly, for the tests of what
// is made from a plan (exported tables, marker chunks).
#pragma once

#include <cmath>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/generator_state.h"
#include "plan/tone_plan.h"
#include "settings/catalogue.h"
#include "support/recording_fake.h"
#include "synth/synthesis.h"

namespace sweepwav::testing {

struct SweepSettings {
    std::int32_t rate = 48000;
    std::int16_t bits = 16, channels = 2, steps = 0;
    bool log = false;
    double startFreq = 1000, endFreq = 1000, startLevel = -20, endLevel = -20, toneMs = 100;
    std::int32_t cycles = 0;
    std::int16_t mode = 0;
    bool dither = false;
    std::string file = "sweep.wav";
    // The signal options, all off.
    double leadInMs = 0, gapMs = 0, tailMs = 0, rampMs = 0;
    std::vector<int> signalChannels = {};
    bool eachChannel = false;
};

// The state after Set_up_calculation, with the planning's window calls in
// w; iCalcResult tells whether it planned.
inline GeneratorState PlannedSweep(const SweepSettings& p, RecordingWindow& w) {
    GeneratorState s;
    s.sAppTitle = "Sweep WAV generation";
    s.dPi = 4 * std::atan(1.0);
    s.iSampleRate = p.rate, s.iBits = p.bits, s.iChannels = p.channels, s.bDither = p.dither;
    s.sampleFormat = WordLengthFormat(p.bits);
    s.iSteps = p.steps, s.bLogSteps = p.log, s.dStartFreq = p.startFreq, s.dEndFreq = p.endFreq;
    s.dStartLevel = p.startLevel, s.dEndLevel = p.endLevel;
    s.dToneTime = p.toneMs, s.iToneCycles = p.cycles, s.iShiftMode = p.mode;
    s.sFileName = p.file;
    s.signal.leadInMs = p.leadInMs, s.signal.gapMs = p.gapMs, s.signal.tailMs = p.tailMs, s.signal.rampMs = p.rampMs;
    s.signal.channels.channels = p.signalChannels, s.signal.channels.each = p.eachChannel;
    Set_up_calculation(s, w);
    return s;
}

inline GeneratorState PlannedSweep(const SweepSettings& p) {
    RecordingWindow w;
    return PlannedSweep(p, w);
}

// The audio bytes that synthesis of a planned state passes on, in order.
inline std::vector<std::uint8_t> SynthesisedAudio(GeneratorState& s, WindowOps& w, std::uint64_t seed,
                                                  unsigned workers) {
    std::vector<std::uint8_t> audio;
    const Status synthesised = Generate_Audio_Data(s, w, seed, workers, [&](std::span<const std::uint8_t> b) {
        audio.insert(audio.end(), b.begin(), b.end());
        return Status();
    });
    EXPECT_TRUE(synthesised.ok()) << synthesised.reason();
    return audio;
}

}  // namespace sweepwav::testing
