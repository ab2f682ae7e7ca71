// Text, errors and writes at the Win32 API: the program keeps UTF-8
// inside and speaks UTF-16 to the system.
#pragma once

#ifdef _WIN32

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/result.h"

namespace sweepwav {

std::wstring WideText(std::string_view utf8);
std::string Utf8Text(std::wstring_view wide);

// The absolute form of a path, as the system resolves it against the
// working folder (separators turned into backslashes); 0 and the error code
// when it cannot.
DWORD FullPathName(const std::wstring& path, std::wstring& full);

// The system's reason for an error code, in the words of FormatMessageW
// ("Access is denied."), without the line end.
std::string SystemReason(DWORD error);

// A failure for the system's error code: its kind and its reason.
Status SystemFailure(DWORD error);

// Writes every byte, going on after partial writes; fails with the
// system's reason.
Status WriteAll(HANDLE handle, std::span<const std::uint8_t> bytes);

}  // namespace sweepwav

#endif  // _WIN32
