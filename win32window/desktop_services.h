// The Win32 window's desktop: files open in Notepad, folders in Explorer
// (DesktopServices in platform/system_services.h).
#pragma once

#include <string>

namespace sweepwav {

// The command line that opens a file in Notepad: the path in double quotes,
// so that a path with blanks reaches it as one argument.
std::wstring NotepadCommandLine(const std::wstring& path);

}  // namespace sweepwav
