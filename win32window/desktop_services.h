// The platform services of the Win32 window: as SystemServices, and files
// are opened in Notepad, folders in Explorer.
#pragma once

#include "platform/system_services.h"

namespace sweepwav {

class Win32DesktopServices : public SystemServices {
public:
    Status open_in_viewer(const std::string& path) override;
    Status open_folder(const std::string& path) override;
};

// The command line that opens a file in Notepad: the path in double quotes,
// so that a path with blanks reaches it as one argument.
std::wstring NotepadCommandLine(const std::wstring& path);

}  // namespace sweepwav
