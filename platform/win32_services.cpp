// The platform services on Windows, straight on the Win32 API: the
// analyser's settings from the registry, safe file replacement, the clock
// and the machine's cores. Needs no Qt, so the command line builds without.
#include <chrono>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "platform/safe_file.h"
#include "platform/system_services.h"
#include "win32_io.h"

namespace sweepwav {

namespace {

// A value of the current user's key as it is stored: its type and bytes.
LSTATUS ReadValue(const std::wstring& keyName, const std::wstring& value, DWORD& type, std::vector<BYTE>& data) {
    HKEY key = nullptr;
    LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, keyName.c_str(), 0, KEY_QUERY_VALUE, &key);
    if (status != ERROR_SUCCESS) return status;
    for (;;) {
        // Asked for the size first; again if the value grew in between.
        auto bytes = static_cast<DWORD>(data.size());
        status = RegQueryValueExW(key, value.c_str(), nullptr, &type, data.empty() ? nullptr : data.data(), &bytes);
        const bool more = status == ERROR_MORE_DATA || (status == ERROR_SUCCESS && bytes > data.size());
        if (status == ERROR_SUCCESS || more) data.resize(bytes);
        if (!more) break;
    }
    RegCloseKey(key);
    return status;
}

}  // namespace

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
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    LSTATUS status = ReadValue(key, value, type, data);
    if (status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND) {
        return Status::Failure(FailureKind::Missing, "Invalid root in registry key \"" + fullPath + "\" (not found)");
    }
    if (status != ERROR_SUCCESS) {
        return Status::Failure(FailureKind::Unusable, "Unable to read \"" + fullPath + "\": " + SystemReason(static_cast<DWORD>(status)));
    }
    // Text only, taken as it is stored: %NAME% in an expandable string stays.
    // Text is UTF-16, so an odd number of bytes is not text; nor is a NUL
    // before the one that may end it, which would cut the folder short.
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    if (!text.empty()) std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    if (!text.empty() && text.back() == L'\0') text.pop_back();
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || data.size() % sizeof(wchar_t) != 0 ||
        text.find(L'\0') != std::wstring::npos) {
        return Status::Failure(FailureKind::Unusable, "Type mismatch: the value of \"" + fullPath + "\" is not text");
    }
    return Utf8Text(text);
}

void SystemServices::sleep_ms(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

double SystemServices::clock_seconds() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0;
}

}  // namespace sweepwav
