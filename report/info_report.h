// The settings report: what the current entries would produce, as text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/generator_state.h"

namespace sweepwav {

// Sets iFileSize, the size the file of a completed plan states (its tone
// markers counted when bMarkers is set), and builds sReport from the plan
// (CR LF line ends).
void BuildInfoReport(GeneratorState& s);

// One line for each signal option that is on, without line ends, as the
// report ends with them (and the window's status bar shows them).
std::vector<std::string> SignalOptionLines(const GeneratorState& s);

// The file size line of the report without its line end: the file size in bytes,
// KB or MB (powers of two).
std::string FileSizeLine(std::int32_t fileSize);

// The longest report shown in a message box; a longer one goes to a file.
inline constexpr std::size_t kLongestBoxReport = 1024;

}  // namespace sweepwav
