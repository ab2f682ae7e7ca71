#include "plan/tone_plan.h"

#include <cstdint>
#include <limits>
#include <string>

#include "numbers/exact_math.h"
#include "numbers/number_text.h"
#include "plan/alignment.h"
#include "plan/signal_layout.h"
#include "core/window_look.h"

namespace sweepwav {

const char* const kOversizeMessage =
    "The resulting file would be larger than 2 GB. Please reduce the number of steps, the tone "
    "duration, the sample rate, the word length or the number of channels.";

std::string OversizeMessage(const GeneratorState& s) {
    const bool list = s.toneSpacing == "list";
    if (!list && !s.toneSpacing.starts_with("bands")) return kOversizeMessage;
    // With bands or a list, the steps do not count: the tones do, their
    // length, and the silences between and around them where there are any.
    return std::string("The resulting file would be larger than 2 GB. Please reduce the number of ") +
           (list ? "frequencies in the list" : "bands") + ", the tone duration, " +
           (s.signal.silences() ? "the silences, " : "") + "the sample rate, the word length or the number of channels.";
}

void RefuseOversize(GeneratorState& s, WindowOps& w) {
    s.bDataOK = false;
    s.refusedAsTooLarge = true;
    s.iCalcResult = 0;
    w.message_box(OversizeMessage(s), s.sAppTitle, Icon::Exclamation);
    ShowIdleLook(w);
}

namespace {

constexpr std::int64_t kLongMax = std::numeric_limits<std::int32_t>::max();

void PlanFrequencies(GeneratorState& s) {
    const int steps = s.iSteps;
    for (int i = 0; i <= steps; ++i) {
        // Band centres or a list, where the spacing asks for them.
        if (s.listedFreq.size() == static_cast<std::size_t>(steps) + 1) {
            s.dFreq[i] = s.listedFreq[static_cast<std::size_t>(i)];
        } else if (steps == 0) {
            s.dFreq[i] = s.dStartFreq;
        } else if (!s.bLogSteps) {
            s.dFreq[i] = s.dStartFreq + (i * (s.dEndFreq - s.dStartFreq)) / steps;
        } else {
            s.dFreq[i] = s.dStartFreq *
                         ExactPow(s.dEndFreq / s.dStartFreq, static_cast<double>(i) / steps);
        }
    }
}

void PlanLevels(GeneratorState& s) {
    s.dLevelStep = s.iSteps == 0 ? 0.0 : (s.dEndLevel - s.dStartLevel) / s.iSteps;
    const SampleFormat& format = s.sampleFormat;
    for (int i = 0; i <= s.iSteps; ++i) {
        s.dLevel[i] = s.dStartLevel + i * s.dLevelStep;
        s.dAmplitude[i] = ExactPow(10.0, s.dLevel[i] / 20) * format.fullScale;
        // Full level stays where the format wants it below full scale (two
        // steps below the largest integer code).
        if (s.dLevel[i] == 0) s.dAmplitude[i] = format.fullScale - format.fullLevelMargin;
    }
}

// Fills dToneMs and dSamples (and in mode 1 the aligned frequencies).
// Returns false when a length does not fit 32 bits.
bool PlanLengths(GeneratorState& s) {
    const std::int64_t cyclesMs = static_cast<std::int64_t>(s.iToneCycles) * 1000;
    if (cyclesMs > kLongMax) return false;
    for (int i = 0; i <= s.iSteps; ++i) {
        s.dToneMs[i] = static_cast<double>(cyclesMs) / s.dFreq[i];
        if (s.dToneMs[i] < s.dToneTime) s.dToneMs[i] = s.dToneTime;
    }
    for (int i = 0; i <= s.iSteps; ++i) {
        if (s.iShiftMode == 2) {
            auto len = ShiftTime(s.iSampleRate, s.dFreq[i], s.dToneMs[i] / 1000);
            if (!len) return false;
            s.dSamples[i] = *len;
            continue;
        }
        auto len = RoundToLong((s.dToneTime / 1000) * s.iSampleRate);
        if (!len) return false;
        s.dSamples[i] = *len;
        if (s.iShiftMode == 1) {
            auto f = ShiftFreq(s.iSampleRate, s.dFreq[i], *len);
            if (!f) return false;
            s.dFreq[i] = *f;
        }
    }
    return true;
}

}  // namespace

void Set_up_calculation(GeneratorState& s, WindowOps& w) {
    s.iCalcResult = 0;
    w.set_label(Control::Status, "Setting up calculations");
    const std::size_t tones = static_cast<std::size_t>(s.iSteps) + 1;
    s.dFreq.assign(tones, 0.0);
    s.dLevel.assign(tones, 0.0);
    s.dToneMs.assign(tones, 0.0);
    s.dSamples.assign(tones, 0.0);
    s.dAmplitude.assign(tones, 0.0);

    PlanFrequencies(s);
    PlanLevels(s);
    if (!PlanLengths(s)) {
        RefuseOversize(s, w);
        return;
    }

    if (!PlanSignalFrames(s)) {
        RefuseOversize(s, w);
        return;
    }
    // The tones, with the silence of the signal options around them.
    std::int64_t total = 0;
    for (const Segment& segment : SignalSegments(s)) total += segment.frames;
    s.iBytesPerSample = s.sampleFormat.containerBytes;
    const std::int64_t bytes = static_cast<std::int64_t>(s.iChannels) * total * s.iBytesPerSample;
    // The totals are 32-bit fields; whether the file they make fits is the
    // file format's to say.
    if (total > kLongMax || bytes > kLongMax) {
        RefuseOversize(s, w);
        return;
    }
    s.iTotalSamples = static_cast<std::int32_t>(total);
    s.iTotalBytes = static_cast<std::int32_t>(bytes);
    s.iCalcResult = 1;
}

}  // namespace sweepwav
