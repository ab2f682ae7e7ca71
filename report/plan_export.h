// The tone plan as data: one row per tone for the plan view, and the same
// rows as CSV or JSON text for other programs to read.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/generator_state.h"

namespace sweepwav {

// One tone of a completed plan. Every value is taken from the planning
// fields; times, durations and cycles are derived from the frame counts.
struct PlanRow {
    int index = 0;                 // 0-based, as in Show Info
    std::int64_t firstFrame = 0;   // frames of the tones before it
    std::int64_t frames = 0;       // dSamples
    double startSeconds = 0;       // firstFrame / iSampleRate
    double durationSeconds = 0;    // frames / iSampleRate
    double frequencyHz = 0;        // dFreq, as synthesised (after alignment)
    double levelDbfs = 0;          // dLevel
    double peakAmplitude = 0;      // dAmplitude, in codes of the word length
    double cycles = 0;             // frequencyHz * frames / iSampleRate
    int channel = 0;               // with one channel at a time, the channel it is on (else 0)
};

// The column names, in order, of the CSV header and the JSON tone objects.
inline constexpr std::array<std::string_view, 9> kPlanColumns = {
    "index", "first_frame", "frames", "start_s", "duration_s",
    "frequency_hz", "level_dbfs", "peak_amplitude", "cycles"};

// The column that follows them when the sweep is played on one channel at
// a time (each channel in turn): the channel of each row.
inline constexpr std::string_view kChannelColumn = "channel";

// The rows of a completed plan (iCalcResult 1), tone 0 first, in playing
// order: where the signal options add silence, the first frames and start
// times count it; with one channel at a time, every tone once per channel.
// Empty when the per-tone fields do not hold iSteps + 1 tones.
std::vector<PlanRow> PlanRows(const GeneratorState& s);

// A number as the shortest text that reads back as the same double: whole
// values in plain digits, zero as "0" (never "-0"), others with the fewest
// significant digits that round-trip; "." as separator whatever the
// locale, an exponent only for values below 1e-4.
std::string ExactNumberText(double x);

// The texts of one row's columns, in the order of kPlanColumns: integers
// plain, everything else as ExactNumberText.
std::array<std::string, 9> PlanRowTexts(const PlanRow& row);

// The plan as CSV: the header line, then one line per tone; LF line ends.
std::string PlanCsv(const GeneratorState& s);

// The plan as a JSON object: file name, format, total frames, data bytes
// and the tones as objects keyed like the CSV columns. Ends with LF.
std::string PlanJson(const GeneratorState& s);

enum class PlanFormat { None, Csv, Json };

// The format a file name asks for by its ending: ".csv" or ".json", in any
// letter case.
PlanFormat PlanFormatFor(std::string_view fileName);

// The plan in the given format; empty for PlanFormat::None.
std::string PlanText(const GeneratorState& s, PlanFormat format);

}  // namespace sweepwav
