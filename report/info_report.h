// The settings report: what the current entries would produce, as text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/generator_state.h"

namespace sweepwav {

// Sets iFileSize, the size the file of a completed plan states (its tone
// markers counted when markers is set), and builds sReport from the plan
// (CR LF line ends).
void BuildInfoReport(GeneratorState& s);

// The file size line of the report without its line end: the file size in bytes,
// KB or MB (powers of two).
std::string FileSizeLine(std::int32_t fileSize);

// The longest report shown in a message box; a longer one goes to a file.
inline constexpr std::size_t kLongestBoxReport = 1024;

}  // namespace sweepwav
