// The window's settings files: File > Open settings..., Save settings as...
// and the recent settings files, which are kept in the registry under
// HKEY_CURRENT_USER\Software\sweepwav as the value "Recent settings".
#include "commands/window_texts.h"
#include "platform/win32_io.h"
#include "win32window/file_dialogs.h"
#include "win32window/form_window.h"

namespace sweepwav {

namespace {

std::string AbsolutePath(const std::string& path) {
    std::wstring full;
    return FullPathName(WideText(path), full) == 0 ? path : Utf8Text(full);
}

}  // namespace

void FormWindow::open_settings_file(const std::string& path) { model_.open_settings(AbsolutePath(path)); }

void FormWindow::OpenSettings_triggered() {
    const std::string path = AskOpenFile(window_, kOpenSettingsTitle, model_.settings_folder(), kSweepType);
    if (!path.empty()) open_settings_file(path);
}

void FormWindow::SaveSettings_triggered() {
    const std::string folder = model_.settings_folder();
    const std::string suggestion = (folder.empty() ? "" : folder + "\\") + SettingsFileName(text(Control::FileName));
    const SavedFile chosen = AskSaveFile(window_, kSaveSettingsTitle, suggestion, {kSweepType});
    if (!chosen.path.empty()) model_.save_settings(AbsolutePath(chosen.path));
}

}  // namespace sweepwav
