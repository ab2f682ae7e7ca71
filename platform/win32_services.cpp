// The platform services on Windows, straight on the Win32 API: the
// analyser's settings from the registry, safe file replacement, the clock
// and the machine's cores. Needs no Qt, so the command line builds without.
#include <chrono>
#include <random>
#include <thread>
#include <vector>

#include "platform/safe_file.h"
#include "platform/system_services.h"
#include "win32_io.h"

namespace sweepwav {

FolderDefaults SystemServices::folder_defaults() {
    return {"c:\\program files\\corvalis\\olvane Vexlor", "\\User Wavetables\\", "C:\\"};
}

Result<std::string> SystemServices::read_setting(const std::string& fullPath) {
    // "HKCU\<key>\<value>": a value in the current user's part of the registry.
    const auto first = fullPath.find('\\');
    const auto last = fullPath.rfind('\\');
    if (first == std::string::npos || last == first || fullPath.compare(0, first, "HKCU") != 0) {
        return Status::Failure(FailureKind::Missing, "Invalid root in registry key \"" + fullPath + "\"");
    }
    const std::wstring key = WideText(fullPath.substr(first + 1, last - first - 1));
    const std::wstring value = WideText(fullPath.substr(last + 1));
    // Text only, taken as it is stored: %NAME% in an expandable string stays.
    constexpr DWORD kText = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
    std::vector<wchar_t> data(MAX_PATH);
    LSTATUS status = ERROR_MORE_DATA;
    while (status == ERROR_MORE_DATA) {
        auto bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        status = RegGetValueW(HKEY_CURRENT_USER, key.c_str(), value.c_str(), kText, nullptr, data.data(), &bytes);
        if (status == ERROR_MORE_DATA) data.resize(bytes / sizeof(wchar_t) + 1);
    }
    if (status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND) {
        return Status::Failure(FailureKind::Missing, "Invalid root in registry key \"" + fullPath + "\" (not found)");
    }
    if (status == ERROR_UNSUPPORTED_TYPE) {
        return Status::Failure(FailureKind::Unusable, "Type mismatch: the value of \"" + fullPath + "\" is not text");
    }
    if (status != ERROR_SUCCESS) {
        return Status::Failure(FailureKind::Unusable, "Unable to read \"" + fullPath + "\": " + SystemReason(static_cast<DWORD>(status)));
    }
    return Utf8Text(data.data());  // up to the terminating NUL
}

void SystemServices::sleep_ms(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

double SystemServices::clock_seconds() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0;
}

}  // namespace sweepwav
