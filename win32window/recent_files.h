// The recent settings files, kept in the registry under
// HKEY_CURRENT_USER\Software\sweepwav as the value "Recent settings" (one
// path a string, newest first).
#pragma once

#include <string>
#include <vector>

namespace sweepwav {

inline constexpr const wchar_t* kProgramKey = L"Software\\sweepwav";
inline constexpr const wchar_t* kRecentValue = L"Recent settings";

// The files, at most kRecentCount; none when the value is missing or is
// not a list of strings.
std::vector<std::string> ReadRecentFiles();
void WriteRecentFiles(const std::vector<std::string>& files);

}  // namespace sweepwav
