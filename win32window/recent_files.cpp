#include "win32window/recent_files.h"

#include "commands/window_texts.h"
#include "platform/win32_io.h"

namespace sweepwav {

std::vector<std::string> ReadRecentFiles() {
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kProgramKey, kRecentValue, RRF_RT_REG_MULTI_SZ, nullptr, nullptr, &bytes) !=
        ERROR_SUCCESS) {
        return {};
    }
    std::wstring data(bytes / sizeof(wchar_t) + 2, L'\0');
    bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, kProgramKey, kRecentValue, RRF_RT_REG_MULTI_SZ, nullptr, data.data(),
                     &bytes) != ERROR_SUCCESS) {
        return {};
    }
    std::vector<std::string> files;
    for (std::size_t at = 0; at < data.size() && data[at] != L'\0' && files.size() < kRecentCount;) {
        const std::size_t end = data.find(L'\0', at);
        files.push_back(Utf8Text(std::wstring_view(data).substr(at, end - at)));
        at = end + 1;
    }
    return files;
}

void WriteRecentFiles(const std::vector<std::string>& files) {
    std::wstring data;
    for (const std::string& file : files) {
        data += WideText(file);
        data.push_back(L'\0');
    }
    data.push_back(L'\0');
    RegSetKeyValueW(HKEY_CURRENT_USER, kProgramKey, kRecentValue, REG_MULTI_SZ, data.c_str(),
                    static_cast<DWORD>(data.size() * sizeof(wchar_t)));
}

}  // namespace sweepwav
