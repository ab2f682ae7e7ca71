#include "plan/signal_layout.h"

#include <algorithm>
#include <limits>
#include <string>

#include "core/window_look.h"
#include "numbers/number_text.h"

namespace sweepwav {

std::string PassText(const GeneratorState& s, int pass) {
    if (s.signalFrames.passes <= 1) return {};
    return " on channel " + std::to_string(pass + 1) + " of " + std::to_string(s.signalFrames.passes);
}

std::uint32_t SignalChannelMask(const GeneratorState& s, int pass) {
    if (s.signal.channels.each) return std::uint32_t(1) << pass;
    if (s.signal.channels.channels.empty()) return (std::uint32_t(1) << s.iChannels) - 1;
    std::uint32_t mask = 0;
    for (int c : s.signal.channels.channels) {
        if (c >= 1 && c <= s.iChannels) mask |= std::uint32_t(1) << (c - 1);
    }
    return mask;
}

bool PlanSignalFrames(GeneratorState& s) {
    const auto frames = [&](double ms, std::int32_t& out) {
        const auto n = RoundToLong((ms / 1000) * s.iSampleRate);
        if (!n || *n < 0) return false;
        out = *n;
        return true;
    };
    s.signalFrames.passes = static_cast<std::int16_t>(s.signal.channels.each ? s.iChannels : 1);
    return frames(s.signal.leadInMs, s.signalFrames.leadIn) && frames(s.signal.tailMs, s.signalFrames.tail) &&
           frames(s.signal.gapMs, s.signalFrames.gap) && frames(s.signal.rampMs, s.signalFrames.ramp);
}

namespace {

bool Refuse(GeneratorState& s, WindowOps& w, Control option, const std::string& message) {
    s.bDataOK = false;
    s.refusedEntry = option;
    s.iCalcResult = 0;
    w.message_box(message, s.sAppTitle, Icon::Exclamation);
    ShowIdleLook(w);
    return false;
}

}  // namespace

bool CheckSignalOptions(GeneratorState& s, WindowOps& w) {
    for (int c : s.signal.channels.channels) {
        if (c < 1 || c > s.iChannels) {
            return Refuse(s, w, Control::SignalChannels, "Please check the signal channels are between 1 and " + std::to_string(s.iChannels));
        }
    }
    std::int32_t shortest = std::numeric_limits<std::int32_t>::max();
    for (const Segment& segment : SignalSegments(s)) {
        if (segment.rampIn || segment.rampOut) shortest = std::min(shortest, segment.frames);
    }
    if (shortest != std::numeric_limits<std::int32_t>::max() && 2 * static_cast<std::int64_t>(s.signalFrames.ramp) > shortest) {
        const double ms = RoundDecimals(shortest * 1000.0 / s.iSampleRate, 1);
        return Refuse(s, w, Control::RampMs, "Please check the ramps are at most half as long as the shortest tone (" + NumberText(ms) +
                                "ms)");
    }
    return true;
}

std::vector<Segment> SignalSegments(const GeneratorState& s) {
    std::vector<Segment> out;
    std::int64_t at = 0;
    const auto silence = [&](std::int32_t frames) {
        if (frames <= 0) return;
        out.push_back({-1, 0, at, frames});
        at += frames;
    };
    const bool ramps = s.signalFrames.ramp > 0;
    const int tones = s.iSteps + 1;
    silence(s.signalFrames.leadIn);
    for (int pass = 0; pass < s.signalFrames.passes; ++pass) {
        for (int k = 0; k < tones; ++k) {
            const bool firstTone = pass == 0 && k == 0;
            const bool lastTone = pass + 1 == s.signalFrames.passes && k + 1 == tones;
            if (!firstTone) silence(s.signalFrames.gap);
            Segment tone{k, pass, at, static_cast<std::int32_t>(s.dSamples[static_cast<std::size_t>(k)])};
            // A tone meets silence on its channel after the lead-in or a
            // gap, before a gap or the tail, and where one channel's pass
            // ends and the next one's begins.
            tone.rampIn = ramps && (firstTone ? s.signalFrames.leadIn > 0 : k == 0 || s.signalFrames.gap > 0);
            tone.rampOut = ramps && (lastTone ? s.signalFrames.tail > 0 : k + 1 == tones || s.signalFrames.gap > 0);
            out.push_back(tone);
            at += tone.frames;
        }
    }
    silence(s.signalFrames.tail);
    return out;
}

}  // namespace sweepwav
