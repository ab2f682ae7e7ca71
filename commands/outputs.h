// What the front ends show and write besides the WAV file, all from the
// state: where files go, the report of a completed plan, the tone plan as
// rows, as CSV or JSON and as a chart's axes, and the names the commands
// give files.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/generator_state.h"
#include "report/plan_chart.h"
#include "report/plan_export.h"

namespace sweepwav {

// The folder files are written to, as start-up set it. Empty when the
// analyser cannot be found and the user has no home folder to fall back to:
// the front ends then refuse to go on, with kNoHomeFolderMessage.
std::string OutputFolder(const GeneratorState& s);

// Where the WAV file of the settings goes: the output folder + sFileName.
std::string DestinationPath(const GeneratorState& s);

inline constexpr const char* kNoHomeFolderMessage =
    "Couldn't find a home folder to write the files into: HOME is not set and the account has none";

// The file name a typed name gives ("Take.WAV" gives "Take.wav").
std::string FileNameFor(const std::string& typed);

// Show Info's report of a completed plan (CR LF line ends); also sets
// iFileSize and sReport.
const std::string& InfoReport(GeneratorState& s);

// The tone plan of a completed plan as a file of the format: CSV or JSON.
std::string PlanFileText(const GeneratorState& s, PlanFormat format);

// The format a plan file's name asks for by its ending; None for another.
PlanFormat PlanFormatOf(std::string_view fileName);

// The options beside the form that are on, for the line under the output
// bar: "Frequencies: third-octave bands; Signal: gap 150 ms, ramps 10 ms";
// empty when all are off.
std::string OptionsSummary(const GeneratorState& s);

// Where the last run's synthesis ended, as the status line counts it:
// "sweep step 3 of 10", one channel at a time "sweep step 3 of 10 on
// channel 2 of 8".
std::string LastStepText(const GeneratorState& s);

// A title for the plan: "name.wav: 20Hz to 20kHz, 11 tones, log spacing,
// 44.1kHz 16 bit stereo".
std::string PlanTitle(const GeneratorState& s);

}  // namespace sweepwav
