// The settings report: what the current entries would produce, as text.
#pragma once

#include <cstdint>
#include <string>

#include "core/generator_state.h"
#include "core/services.h"
#include "core/window_ops.h"

namespace sweepwav {

// The checks and the planning of a Generate run, from the current entries:
// Check_Entered_data, Get_Data_From_Form, Check_Data_Ranges and
// Set_up_calculation. Returns false when a check refused the entries
// (bDataOK false, its message shown) or the plan was refused as too large
// (iCalcResult not 1).
[[nodiscard]] bool Plan_from_entries(GeneratorState& s, WindowOps& w);

// Plans from the entries as above, then sets iFileSize and builds sReport
// (CR LF line ends). Returns false, with sReport left as it was, when the
// entries or the plan were refused.
[[nodiscard]] bool Build_Info_Report(GeneratorState& s, WindowOps& w);

// "Show Info": shows the report in a message box or, when long, writes it to
// wav_info.txt in the output folder and opens it in the text viewer.
void ShowInfo_Click(GeneratorState& s, WindowOps& w, Services& sv);

// The last line of the report without its line end: the file size in bytes,
// KB or MB (powers of two).
std::string FileSizeLine(std::int32_t fileSize);

// The longest report shown in a message box; a longer one goes to a file.
inline constexpr std::size_t kLongestBoxReport = 1024;

}  // namespace sweepwav
