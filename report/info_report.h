// The settings report: what the current entries would produce, as text.
#pragma once

#include <cstdint>
#include <string>

#include "app/generator_state.h"
#include "platform/window_ops.h"

namespace sweepwav {

// Runs the checks and the planning of a Generate run, then sets iFileSize
// and builds sReport (CR LF line ends). Returns false, with sReport left as
// it was, when a check refused the entries (bDataOK false, its message shown)
// or the plan was refused as too large (iCalcResult not 1).
bool Build_Info_Report(GeneratorState& s, WindowOps& w);

// The last line of the report without its line end: the file size in bytes,
// KB or MB (powers of two).
std::string FileSizeLine(std::int32_t fileSize);

// The longest report shown in a message box; a longer one goes to a file.
inline constexpr std::size_t kLongestBoxReport = 1024;

}  // namespace sweepwav
