// The window's commands: the four buttons, and the menu bar's commands
// around a sweep.
#include <windows.h>

#include <commctrl.h>

#include <exception>

#include "commands/commands.h"
#include "commands/outputs.h"
#include "commands/window_texts.h"
#include "platform/win32_io.h"
#include "settings/catalogue.h"
#include "sweepwav_version.h"
#include "win32window/control_ids.h"
#include "win32window/file_dialogs.h"
#include "win32window/form_window.h"
#include "win32window/form_ids.h"
#include "win32window/plan_window.h"
#include "win32window/options_dialog.h"

namespace sweepwav {

void FormWindow::on_command(int id, int code) {
    floatState_.restore();
    if (id >= IDM_RECENT_FIRST && id < IDM_RECENT_FIRST + kRecentCount) {
        const auto index = static_cast<std::size_t>(id - IDM_RECENT_FIRST);
        if (index < recentFiles_.size()) open_settings_file(recentFiles_[index]);
        return;
    }
    if (const std::string_view name = MenuCommandName(id); !name.empty()) {
        on_menu_command(name);
        return;
    }
    // Return in a text box asks for the dialog's default button, which the
    // form does not have; Escape asks for Cancel. Neither does anything.
    if (code != BN_CLICKED && !(id == IDC_OutputBar && code == STN_CLICKED)) return;
    switch (id) {
        case IDC_OK: OK_clicked(); break;
        case IDC_ShowInfo: ShowInfo_clicked(); break;
        case IDC_AutoName: AutoName_clicked(); break;
        case IDC_Abort: Abort_Click(state_); break;
        case IDC_OutputBar: OpenOutputFolder_triggered(); break;
        default: break;
    }
}

void FormWindow::on_menu_command(std::string_view name) {
    if (name == "Quit") return close_requested();
    if (name == "OpenOutputFolder") return OpenOutputFolder_triggered();
    if (name == "SaveSettings") return SaveSettings_triggered();
    // The rest plan or change what a run uses, or would hold it up with a
    // box of their own: not while one goes on.
    if (running_) return;
    if (name == "About") About_triggered();
    if (name == "ExportPlan") ExportPlan_triggered();
    if (name == "OpenSettings") OpenSettings_triggered();
    if (name == "WriteMarkers") WriteMarkers_toggled();
    if (name == "SignalOptions") SignalOptions_triggered();
    if (name == "Frequencies") Frequencies_triggered();
    if (name == "SweepPlan") SweepPlan_triggered();
}

bool FormWindow::guarded(const char* what, const std::function<void()>& command) {
    return RunGuarded(state_, *this, what, command);
}

void FormWindow::OK_clicked() {
    if (running_) return;
    running_ = true;
    show_output_folder();
    enable_menu_commands(false);
    guarded("run", [this] { OK_Click(state_, *this, services_); });
    running_ = false;
    enable_menu_commands(true);
    if (closeRequested_) DestroyWindow(window_);
}

void FormWindow::ShowInfo_clicked() {
    show_output_folder();
    guarded("report", [this] { ShowInfo_Click(state_, *this, services_); });
}

void FormWindow::AutoName_clicked() {
    show_output_folder();
    AutoName_Click(state_, *this);
}

void FormWindow::close_requested() {
    if (running_) {
        // Synthesis sees the request at its next event check; the file is
        // then written as after an abort, and the window closes after that.
        Abort_Click(state_);
        closeRequested_ = true;
        return;
    }
    if (planWindow_) planWindow_->close();
    DestroyWindow(window_);
}

void FormWindow::enable_menu_commands(bool enabled) {
    for (std::string_view name : {"ExportPlan", "WriteMarkers", "SweepPlan", "OpenSettings", "SignalOptions",
                                  "Frequencies"}) {
        EnableMenuItem(menu_, static_cast<UINT>(MenuCommandId(name)), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
    fill_recent_menu();
    if (planWindow_) planWindow_->enable_commands(enabled);
}

void FormWindow::show_bar(const std::string& whole) {
    HWND bar = item(IDC_OutputBar);
    SetWindowTextUtf8(bar, whole);
    std::wstring tip = WideText(BarToolTip(whole));
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(bar);
    tool.lpszText = tip.data();
    SendMessageW(tooltips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void FormWindow::show_output_folder() {
    const BarText bar = FolderBarText(OutputFolder(state_), state_.folderLookup);
    show_bar(bar.whole());
}

void FormWindow::show_options() {
    SetWindowTextUtf8(item(IDC_SignalOptions), OptionsSummary(state_));
    lay_out();
    // The form's steps count only while the tones follow them; the focus
    // leaves a box that has just gone grey.
    for (Control c : {Control::Steps, Control::Logsteps}) set_enabled(c, !running_);
    if (HWND focus = GetFocus(); focus && !IsWindowEnabled(focus)) SendMessageW(window_, WM_NEXTDLGCTL, 0, FALSE);
}

bool FormWindow::plan_from_entries() {
    show_output_folder();
    bool planned = false;
    return guarded("plan", [&] { planned = PlanFromEntries(state_, *this); }) && planned;
}

void FormWindow::ExportPlan_triggered() {
    if (!plan_from_entries()) return;
    export_plan(PlanFileText(state_, PlanFormat::Csv), PlanFileText(state_, PlanFormat::Json), state_.sFileName);
}

std::string FormWindow::suggested_path(const std::string& wavName, std::string_view ending) const {
    return OutputFolder(state_) + wavName.substr(0, wavName.rfind('.')) + "." + std::string(ending);
}

void FormWindow::export_plan(const std::string& csv, const std::string& json, const std::string& wavName) {
    const SavedFile chosen = AskSaveFile(window_, kExportTitle, suggested_path(wavName, kCsvType.ending),
                                         {kCsvType, kJsonType});
    if (chosen.path.empty()) return;
    // The name's ending decides; for another ending the type chosen does.
    PlanFormat format = PlanFormatOf(chosen.path);
    if (format == PlanFormat::None) format = chosen.type == 1 ? PlanFormat::Json : PlanFormat::Csv;
    if (Status written = services_.write_text_file(chosen.path, format == PlanFormat::Json ? json : csv); !written) {
        message_box(WriteFailureText(FileDestination(chosen.path), written.reason()), state_.sAppTitle,
                    Icon::Exclamation);
    }
}

void FormWindow::save_plan_picture(const PlanWindow& view) {
    const SavedFile chosen = AskSaveFile(window_, kSavePictureTitle, suggested_path(view.file_name(), kPngType.ending),
                                         {kPngType});
    if (chosen.path.empty()) return;
    const Result<std::vector<std::uint8_t>> png = view.chart_png();
    Status written = png.status();
    if (written) {
        Result<std::unique_ptr<OutputFile>> opened = services_.create_file(chosen.path);
        written = opened.status();
        if (written) written = opened.value()->write(png.value());
        if (written) written = opened.value()->commit();
    }
    if (!written) message_box(FileWriteFailureText(chosen.path, written), state_.sAppTitle, Icon::Exclamation);
}

void FormWindow::OpenOutputFolder_triggered() {
    const std::string folder = OutputFolder(state_);
    if (!services_.open_folder(folder)) message_box(OpenFolderFailureText(folder), state_.sAppTitle, Icon::Exclamation);
}

void FormWindow::WriteMarkers_toggled() {
    state_.markers = !state_.markers;
    CheckMenuItem(menu_, static_cast<UINT>(MenuCommandId("WriteMarkers")),
                  MF_BYCOMMAND | (state_.markers ? MF_CHECKED : MF_UNCHECKED));
}

void FormWindow::SignalOptions_triggered() {
    if (AskOptions(instance_, window_, *this, state_, Place::SignalDialog)) show_options();
}

void FormWindow::Frequencies_triggered() {
    if (AskOptions(instance_, window_, *this, state_, Place::FrequenciesDialog)) show_options();
}

void FormWindow::SweepPlan_triggered() {
    if (!plan_from_entries()) return;
    // One view at a time, showing the latest plan.
    if (planWindow_) planWindow_->close();
    planWindow_ = PlanWindow::Open(instance_, window_, state_, [this](PlanWindow& view, PlanWindow::Request request) {
        if (request == PlanWindow::Request::Export) {
            export_plan(view.plan_text(PlanFormat::Csv), view.plan_text(PlanFormat::Json), view.file_name());
        } else if (request == PlanWindow::Request::SavePicture) {
            save_plan_picture(view);
        } else if (planWindow_ == &view) {
            planWindow_ = nullptr;
        }
    });
}

void FormWindow::About_triggered() {
    const std::wstring text = WideText(AboutText(SWEEPWAV_VERSION));
    const std::wstring title = WideText(kAboutTitle);
    MSGBOXPARAMSW box{};
    box.cbSize = sizeof box;
    box.hwndOwner = window_;
    box.hInstance = instance_;
    box.lpszText = text.c_str();
    box.lpszCaption = title.c_str();
    box.dwStyle = MB_OK | MB_USERICON;
    box.lpszIcon = MAKEINTRESOURCEW(IDI_SWEEPWAV);
    MessageBoxIndirectW(&box);
}

}  // namespace sweepwav
