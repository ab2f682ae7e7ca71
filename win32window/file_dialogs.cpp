#include "win32window/file_dialogs.h"

#include <commdlg.h>

#include <vector>

#include "platform/win32_io.h"

namespace sweepwav {

namespace {

// "CSV files (*.csv)\0*.csv\0...\0\0", as the dialogs take file types.
std::wstring Filter(std::initializer_list<FileType> types) {
    std::wstring filter;
    for (const FileType& type : types) {
        filter += WideText(type.name);
        filter.push_back(L'\0');
        filter += L"*." + WideText(type.ending);
        filter.push_back(L'\0');
    }
    filter.push_back(L'\0');
    return filter;
}

// Where the dialogs start when nothing else says: the user's own folder.
std::wstring HomeFolder() {
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"USERPROFILE", folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(folder) : std::wstring();
}

bool HasEnding(const std::wstring& path) {
    const auto dot = path.rfind(L'.');
    const auto slash = path.find_last_of(L"\\/");
    return dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash + 1);
}

struct Dialog {
    OPENFILENAMEW ofn{};
    std::vector<wchar_t> file = std::vector<wchar_t>(32768, L'\0');
    std::wstring filter, title, folder;

    Dialog(HWND owner, std::string_view caption, std::initializer_list<FileType> types)
        : filter(Filter(types)), title(WideText(caption)) {
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = owner;
        ofn.lpstrFilter = filter.c_str();
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = file.data();
        ofn.nMaxFile = static_cast<DWORD>(file.size());
        ofn.lpstrTitle = title.c_str();
    }
};

}  // namespace

SavedFile AskSaveFile(HWND owner, std::string_view title, const std::string& suggestion,
                      std::initializer_list<FileType> types) {
    Dialog dialog(owner, title, types);
    // The folder and the name apart: the dialog opens in the folder with
    // the name in its box.
    const std::wstring suggested = WideText(suggestion);
    const auto slash = suggested.find_last_of(L"\\/");
    const std::wstring name = slash == std::wstring::npos ? suggested : suggested.substr(slash + 1);
    dialog.folder = slash == std::wstring::npos ? HomeFolder() : suggested.substr(0, slash);
    dialog.ofn.lpstrInitialDir = dialog.folder.c_str();
    name.copy(dialog.file.data(), std::min(name.size(), dialog.file.size() - 1));
    dialog.ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (!GetSaveFileNameW(&dialog.ofn)) return {};
    std::wstring path(dialog.file.data());
    const int type = static_cast<int>(dialog.ofn.nFilterIndex) - 1;
    if (!HasEnding(path) && type >= 0 && type < static_cast<int>(types.size())) {
        path += L"." + WideText(types.begin()[type].ending);
    }
    return {Utf8Text(path), type < 0 ? 0 : type};
}

std::string AskOpenFile(HWND owner, std::string_view title, const std::string& folder, FileType type) {
    Dialog dialog(owner, title, {type});
    dialog.folder = folder.empty() ? HomeFolder() : WideText(folder);
    dialog.ofn.lpstrInitialDir = dialog.folder.c_str();
    dialog.ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&dialog.ofn)) return {};
    return Utf8Text(dialog.file.data());
}

}  // namespace sweepwav
