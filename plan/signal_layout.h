// The audio in playing order: the tones of the plan, and with the signal
// options the silence before, between and after them, the ramps where a
// tone meets silence, and the channels that carry each tone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/generator_state.h"
#include "core/window_ops.h"

namespace sweepwav {

// A stretch of the audio: one tone of one pass, or silence.
struct Segment {
    int tone = -1;           // the tone's index; -1 for silence
    int pass = 0;            // the pass (with one channel at a time, channel pass + 1)
    std::int64_t first = 0;  // its first frame in the audio
    std::int32_t frames = 0;
    bool rampIn = false;   // a tone that follows silence fades in
    bool rampOut = false;  // a tone that precedes silence fades out
};

// Where the sweep is played once per channel, which channel a pass is on:
// " on channel 2 of 8"; empty otherwise.
std::string PassText(const GeneratorState& s, int pass);

// The channels (bit c - 1 for channel c) that carry the signal in a pass.
std::uint32_t SignalChannelMask(const GeneratorState& s, int pass);

// The segments of a completed plan, in playing order; silence of no frames
// is left out. Without signal options: the tones, each once.
std::vector<Segment> SignalSegments(const GeneratorState& s);

// Refuses, after planning, signal options the plan cannot take: a channel
// the file does not have, or ramps longer than half a tone they shape. Shows
// the message, clears bDataOK and iCalcResult and returns to the idle look,
// as for a plan too large; returns false then.
[[nodiscard]] bool CheckSignalOptions(GeneratorState& s, WindowOps& w);

// The options in frames at the plan's rate (signalFrames). False when a
// silence does not fit 32 bits.
[[nodiscard]] bool PlanSignalFrames(GeneratorState& s);

}  // namespace sweepwav
