#include "plan/signal_layout.h"

#include <algorithm>
#include <limits>
#include <string>

#include "core/window_look.h"
#include "numbers/number_text.h"

namespace sweepwav {

bool SignalOptionsOn(const GeneratorState& s) {
    return s.dLeadInMs > 0 || s.dTailMs > 0 || s.dGapMs > 0 || s.dRampMs > 0 || !s.iSignalChannels.empty() ||
           s.bEachChannel;
}

std::uint32_t SignalChannelMask(const GeneratorState& s, int pass) {
    if (s.bEachChannel) return std::uint32_t(1) << pass;
    if (s.iSignalChannels.empty()) return (std::uint32_t(1) << s.iChannels) - 1;
    std::uint32_t mask = 0;
    for (int c : s.iSignalChannels) {
        if (c >= 1 && c <= s.iChannels) mask |= std::uint32_t(1) << (c - 1);
    }
    return mask;
}

bool Plan_signal_frames(GeneratorState& s) {
    const auto frames = [&](double ms, std::int32_t& out) {
        const auto n = RoundToLong((ms / 1000) * s.iSampleRate);
        if (!n || *n < 0) return false;
        out = *n;
        return true;
    };
    s.iPasses = static_cast<std::int16_t>(s.bEachChannel ? s.iChannels : 1);
    return frames(s.dLeadInMs, s.iLeadInFrames) && frames(s.dTailMs, s.iTailFrames) &&
           frames(s.dGapMs, s.iGapFrames) && frames(s.dRampMs, s.iRampFrames);
}

namespace {

bool Refuse(GeneratorState& s, WindowOps& w, const std::string& message) {
    s.bDataOK = false;
    s.iCalcResult = 0;
    w.message_box(message, s.sAppTitle, Icon::Exclamation);
    ShowIdleLook(w);
    return false;
}

}  // namespace

bool Check_signal_options(GeneratorState& s, WindowOps& w) {
    for (int c : s.iSignalChannels) {
        if (c < 1 || c > s.iChannels) {
            return Refuse(s, w, "Please check the signal channels are between 1 and " + std::to_string(s.iChannels));
        }
    }
    std::int32_t shortest = std::numeric_limits<std::int32_t>::max();
    for (const Segment& segment : SignalSegments(s)) {
        if (segment.rampIn || segment.rampOut) shortest = std::min(shortest, segment.frames);
    }
    if (shortest != std::numeric_limits<std::int32_t>::max() && 2 * static_cast<std::int64_t>(s.iRampFrames) > shortest) {
        const double ms = RoundDecimals(shortest * 1000.0 / s.iSampleRate, 1);
        return Refuse(s, w, "Please check the ramps are at most half as long as the shortest tone (" + NumberText(ms) +
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
    const bool ramps = s.iRampFrames > 0;
    const int tones = s.iSteps + 1;
    silence(s.iLeadInFrames);
    for (int pass = 0; pass < s.iPasses; ++pass) {
        for (int k = 0; k < tones; ++k) {
            const bool firstTone = pass == 0 && k == 0;
            const bool lastTone = pass + 1 == s.iPasses && k + 1 == tones;
            if (!firstTone) silence(s.iGapFrames);
            Segment tone{k, pass, at, static_cast<std::int32_t>(s.dSamples[static_cast<std::size_t>(k)])};
            tone.rampIn = ramps && (firstTone ? s.iLeadInFrames > 0 : s.iGapFrames > 0);
            tone.rampOut = ramps && (lastTone ? s.iTailFrames > 0 : s.iGapFrames > 0);
            out.push_back(tone);
            at += tone.frames;
        }
    }
    silence(s.iTailFrames);
    return out;
}

}  // namespace sweepwav
