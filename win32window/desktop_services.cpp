// DesktopServices in the Win32 window: files open in Notepad, folders in
// Explorer.
#include "win32window/desktop_services.h"

#include "platform/system_services.h"

#include "platform/win32_io.h"  // windows.h first

#include <shellapi.h>

namespace sweepwav {

std::wstring NotepadCommandLine(const std::wstring& path) { return L"notepad.exe \"" + path + L"\""; }

Status DesktopServices::open_in_viewer(const std::string& path) {
    std::wstring command = NotepadCommandLine(WideText(path));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // Not waited for: the report stays open beside the window.
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return SystemFailure(GetLastError());
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return {};
}

Status DesktopServices::open_folder(const std::string& path) {
    const std::wstring folder = WideText(path);
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return Status::Failure("no such folder");
    }
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"explore", folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= 32) return Status::Failure("no file manager could be started");
    return {};
}

}  // namespace sweepwav
