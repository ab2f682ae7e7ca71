// The window's settings files: File > Open settings..., Save settings as...,
// the recent settings files, which are kept in the registry under
// HKEY_CURRENT_USER\Software\sweepwav as the value "Recent settings", the
// presets installed with the program and files dropped on the window.
#include "commands/window_texts.h"
#include "platform/presets.h"
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

void FormWindow::use_installed_presets() {
    std::vector<PresetFile> presets;
    for (const Preset& preset : FindPresets(PresetFolders(ProgramFolder()))) presets.push_back({preset.name, preset.path, {}});
    model_.set_presets(presets);
}

void FormWindow::files_dropped(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        paths.push_back(Utf8Text(path));
    }
    DragFinish(drop);
    model_.drop_files(paths);
}

void FormWindow::SaveSettings_triggered() {
    const std::string folder = model_.settings_folder();
    const std::string suggestion = (folder.empty() ? "" : folder + "\\") + SettingsFileName(text(Control::FileName));
    const SavedFile chosen = AskSaveFile(window_, kSaveSettingsTitle, suggestion, {kSweepType});
    if (!chosen.path.empty()) model_.save_settings(AbsolutePath(chosen.path));
}

}  // namespace sweepwav
