// The window's settings files: File > Open settings..., Save settings as...
// and the recent settings files, which are kept in the registry under
// HKEY_CURRENT_USER\Software\sweepwav as the value "Recent settings".
#include <algorithm>

#include "commands/settings_file.h"
#include "commands/window_texts.h"
#include "platform/win32_io.h"
#include "win32window/file_dialogs.h"
#include "win32window/form_window.h"
#include "win32window/form_ids.h"
#include "win32window/recent_files.h"

namespace sweepwav {

namespace {

std::string AbsolutePath(const std::string& path) {
    std::wstring full;
    return FullPathName(WideText(path), full) == 0 ? path : Utf8Text(full);
}

}  // namespace

void FormWindow::open_settings_file(const std::string& path) {
    if (running_) return;
    show_output_folder();
    if (!OpenSettingsFile(state_, *this, services_, path)) return;
    CheckMenuItem(menu_, static_cast<UINT>(MenuCommandId("WriteMarkers")),
                  MF_BYCOMMAND | (state_.markers ? MF_CHECKED : MF_UNCHECKED));
    show_options();
    remember_settings_file(path);
}

void FormWindow::OpenSettings_triggered() {
    const std::string path = AskOpenFile(window_, kOpenSettingsTitle, settings_folder(), kSweepType);
    if (!path.empty()) open_settings_file(path);
}

void FormWindow::SaveSettings_triggered() {
    const std::string folder = settings_folder();
    const std::string suggestion = (folder.empty() ? "" : folder + "\\") + file_name_stem() + ".sweep";
    const SavedFile chosen = AskSaveFile(window_, kSaveSettingsTitle, suggestion, {kSweepType});
    if (chosen.path.empty()) return;
    if (SaveSettingsFile(state_, *this, services_, chosen.path)) remember_settings_file(chosen.path);
}

void FormWindow::remember_settings_file(const std::string& path) {
    const std::string absolute = AbsolutePath(path);
    recentFiles_ = ReadRecentFiles();
    std::erase(recentFiles_, absolute);
    recentFiles_.insert(recentFiles_.begin(), absolute);
    if (recentFiles_.size() > kRecentCount) recentFiles_.resize(kRecentCount);
    WriteRecentFiles(recentFiles_);
    fill_recent_menu();
}

std::string FormWindow::settings_folder() const {
    if (recentFiles_.empty()) return {};
    const std::string& last = recentFiles_.front();
    return last.substr(0, last.find_last_of("\\/"));
}

std::string FormWindow::file_name_stem() {
    std::string name = text(Control::FileName);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name.empty() ? std::string("sweep") : name;
}

}  // namespace sweepwav
