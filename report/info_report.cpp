#include "report/info_report.h"

#include <string>

#include "numbers/exact_math.h"
#include "numbers/number_text.h"
#include "plan/tone_frequencies.h"
#include "settings/catalogue.h"
#include "wav/wav_format.h"

namespace sweepwav {

namespace {

constexpr const char* kLineEnd = "\r\n";

std::string Rounded(double x, int decimals) { return NumberText(RoundDecimals(x, decimals)); }

// The frequency factor (log spacing) or the nominal step (linear spacing),
// computed from the entered range rather than from the plan. A single tone
// has no step: its factor is 1 and its step 0 Hz.
std::string FrequencyLine(const GeneratorState& s) {
    // Band centres or a list: what they are, and how many.
    if (const std::string words = SpacingWords(s); !words.empty()) {
        return "Frequencies = " + words + ", " + std::to_string(s.iSteps + 1) + " tones";
    }
    std::string line;
    if (s.bLogSteps) {
        const double factor =
            s.iSteps == 0 ? 1.0 : ExactPow(s.dEndFreq / s.dStartFreq, 1.0 / s.iSteps);
        line = "Frequency factor = " + Rounded(factor, 2);
    } else {
        const double step = s.iSteps == 0 ? 0.0 : (s.dEndFreq - s.dStartFreq) / s.iSteps;
        line = "Nominal frequency step = " + Rounded(step, 2) + "Hz";
    }
    // Shifting the frequencies to fit the tone time moves every tone a
    // little off the entered spacing.
    if (s.iShiftMode == 1) line += " (Nominal)";
    return line;
}

// A band or list tone that the shift mode moved off its frequency says from
// where, as far as the report's three decimals show it: " (shifted from
// 31.623Hz)".
std::string ShiftedFrom(const GeneratorState& s, std::size_t tone) {
    if (s.listedFreq.size() != s.dFreq.size()) return {};
    const std::string listed = Rounded(s.listedFreq[tone], 3);
    return listed == Rounded(s.dFreq[tone], 3) ? std::string() : " (shifted from " + listed + "Hz)";
}

}  // namespace

std::string FileSizeLine(std::int32_t fileSize) {
    const std::string bytes = std::to_string(fileSize);
    if (fileSize >= 1048576) {
        return "File size = " + Rounded(fileSize / 1048576.0, 2) + "MB (" + bytes + " bytes)";
    }
    if (fileSize >= 1024) {
        return "File size = " + Rounded(fileSize / 1024.0, 2) + "KB (" + bytes + " bytes)";
    }
    return "File size = " + bytes + " bytes";
}

void BuildInfoReport(GeneratorState& s) {
    // The plan was accepted only if the stated size fits 32 bits.
    s.iFileSize = static_cast<std::int32_t>(PlannedFileSize(s).stated_bytes());

    std::string r;
    r += "The current settings will result a sweep ";
    r += kLineEnd;
    r += "with " + std::to_string(s.iSteps) + " steps / " + std::to_string(s.iSteps + 1) +
         " tones as follows:";
    r += kLineEnd;
    r += kLineEnd;
    for (int i = 0; i <= s.iSteps; ++i) {
        const auto n = static_cast<std::size_t>(i);
        r += std::to_string(i) + ":   " + Rounded(s.dFreq[n], 3) + "Hz at " +
             Rounded(s.dLevel[n], 3) + "dBFS for " +
             Rounded(s.dSamples[n] / s.iSampleRate * 1000, 1) + "ms" + ShiftedFrom(s, n);
        r += kLineEnd;
    }
    r += kLineEnd;
    r += FrequencyLine(s);
    r += kLineEnd;
    r += "Amplitude step size = " + Rounded(s.dLevelStep, 2) + "dB";
    r += kLineEnd;
    r += "Total Duration = " +
         Rounded(static_cast<double>(s.iTotalSamples) / s.iSampleRate, 4) + "s";
    r += kLineEnd;
    r += FileSizeLine(s.iFileSize);
    r += kLineEnd;
    for (const std::string& line : SignalOptionLines(s.signal)) {
        r += line;
        r += kLineEnd;
    }
    s.sReport = std::move(r);
}

}  // namespace sweepwav
