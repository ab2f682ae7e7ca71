// The window's commands: the form's buttons and the menu bar's commands,
// forwarded to the form model; the bar under the form and the menu as the
// model's look says.
#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <thread>

#include "commands/outputs.h"
#include "commands/window_texts.h"
#include "platform/win32_io.h"
#include "settings/catalogue.h"
#include "sweepwav_version.h"
#include "win32window/control_ids.h"
#include "win32window/file_dialogs.h"
#include "win32window/form_ids.h"
#include "win32window/form_window.h"
#include "win32window/options_dialog.h"
#include "win32window/plan_window.h"

namespace sweepwav {

namespace {

// A menu command on or grey.
UINT MenuState(bool on) { return MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED); }

}  // namespace

void FormWindow::on_command(int id, int code) {
    floatState_.restore();
    if (id >= IDM_RECENT_FIRST && id < IDM_RECENT_FIRST + kRecentCount) {
        const auto index = static_cast<std::size_t>(id - IDM_RECENT_FIRST);
        if (index < recentShown_.size()) open_settings_file(recentShown_[index].path);
        return;
    }
    if (id >= IDM_PRESET_FIRST && id < IDM_PRESET_END) {
        model_.open_preset(static_cast<std::size_t>(id - IDM_PRESET_FIRST));
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
        case IDC_OK: model_.press(FormCommand::Generate); break;
        case IDC_ShowInfo: model_.press(FormCommand::ShowInfo); break;
        case IDC_AutoName: model_.press(FormCommand::MakeFileName); break;
        case IDC_Abort: model_.press(FormCommand::Abort); break;
        case IDC_Play: model_.press(FormCommand::Play); break;
        case IDC_OutputBar: model_.open_output_folder(); break;
        default: break;
    }
}

void FormWindow::on_menu_command(std::string_view name) {
    const std::optional<FormCommand> command = FormCommandNamed(name);
    if (!command || !model_.allows(*command)) return;
    switch (*command) {
        case FormCommand::Quit: return close_requested();
        case FormCommand::OpenOutputFolder: return model_.open_output_folder();
        case FormCommand::SaveSettings: return SaveSettings_triggered();
        case FormCommand::OpenSettings: return OpenSettings_triggered();
        case FormCommand::Reset: return model_.reset();
        case FormCommand::About: return About_triggered();
        case FormCommand::ExportPlan: return ExportPlan_triggered();
        case FormCommand::WriteMarkers: return model_.markers_chosen(!model_.look().markers);
        case FormCommand::SignalOptions: return ask_options(Place::SignalDialog);
        case FormCommand::Frequencies: return ask_options(Place::FrequenciesDialog);
        case FormCommand::SweepPlan: return SweepPlan_triggered();
        default: return;
    }
}

void FormWindow::close_requested() {
    if (!model_.close_requested()) return;
    if (planWindow_) planWindow_->close();
    DestroyWindow(window_);
}

void FormWindow::show_commands(const FormLook& look) {
    // The submenus are found by their place in the File menu.
    const auto submenu = [this, &look](std::string_view name) {
        EnableMenuItem(GetSubMenu(menu_, 0), static_cast<UINT>(MenuCommandId(name) - IDM_FIRST),
                       MF_BYPOSITION | (look.commands.at(std::string_view(name)) ? MF_ENABLED : MF_GRAYED));
    };
    for (const auto& [name, on] : look.commands) {
        if (name != "RecentSettings" && name != "Presets") {
            EnableMenuItem(menu_, static_cast<UINT>(MenuCommandId(name)), MenuState(on));
        }
    }
    CheckMenuItem(menu_, static_cast<UINT>(MenuCommandId("WriteMarkers")),
                  MF_BYCOMMAND | (look.markers ? MF_CHECKED : MF_UNCHECKED));
    if (look.recent != recentShown_) fill_recent_menu(look.recent);
    if (look.presets != presetsShown_) fill_presets_menu(look.presets);
    submenu("RecentSettings");
    submenu("Presets");
    if (planWindow_) planWindow_->enable_commands(look.commands.at("ExportPlan"));
}

void FormWindow::show_bar(const FormLook& look) {
    HWND bar = item(IDC_OutputBar);
    const std::string whole = look.bar.whole();
    if (WindowText(bar) != whole) {
        SetWindowTextUtf8(bar, whole);
        set_tooltip(bar, BarToolTip(whole));
        // Outside synthesis nothing services events (the write, the hold).
        UpdateWindow(bar);
    }
    HWND options = item(IDC_SignalOptions);
    if (WindowText(options) != look.options) {
        SetWindowTextUtf8(options, look.options);
        UpdateWindow(options);
    }
}

void FormWindow::show_play(const FormLook& look) {
    HWND play = control(Control::Play);
    if (WindowText(play) == look.playText) return;
    SetWindowTextUtf8(play, look.playText);
    set_tooltip(play, std::string(look.playTooltip));
    // Outside synthesis nothing services events (planning, the hold).
    UpdateWindow(play);
}

void FormWindow::ExportPlan_triggered() {
    if (!model_.plan()) return;
    const GeneratorState& s = model_.state();
    export_plan(PlanFileText(s, PlanFormat::Csv), PlanFileText(s, PlanFormat::Json), s.sFileName);
}

void FormWindow::export_plan(const std::string& csv, const std::string& json, const std::string& wavName) {
    const SavedFile chosen = AskSaveFile(window_, kExportTitle, SuggestedPath(model_.state(), wavName, ".csv"),
                                         {kCsvType, kJsonType});
    if (!chosen.path.empty()) model_.export_plan(chosen.path, chosen.type == 1, csv, json);
}

void FormWindow::ask_options(Place place) {
    if (const auto edited = AskOptions(instance_, window_, OptionsForm(place, model_.entries()))) {
        model_.options_accepted(*edited);
    }
}

void FormWindow::save_plan_picture(const PlanWindow& view) {
    const SavedFile chosen = AskSaveFile(window_, kSavePictureTitle, SuggestedPath(model_.state(), view.file_name(), ".png"),
                                         {kPngType});
    if (!chosen.path.empty()) model_.write_file(chosen.path, view.chart_png());
}

void FormWindow::SweepPlan_triggered() {
    if (!model_.plan()) return;
    // One view at a time, showing the latest plan.
    if (planWindow_) planWindow_->close();
    planWindow_ = PlanWindow::Open(instance_, window_, model_.state(), [this](PlanWindow& view, PlanWindow::Request request) {
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
    // A box of its own, on a thread of its own, so that it holds up no run
    // and Abort stays within reach; one at a time.
    static std::atomic<bool> shown{false};
    if (shown.exchange(true)) return;
    std::thread([instance = instance_] {
        const std::wstring text = WideText(AboutText(SWEEPWAV_VERSION));
        const std::wstring title = WideText(kAboutTitle);
        MSGBOXPARAMSW box{};
        box.cbSize = sizeof box;
        box.hInstance = instance;
        box.lpszText = text.c_str();
        box.lpszCaption = title.c_str();
        box.dwStyle = MB_OK | MB_USERICON | MB_SETFOREGROUND;
        box.lpszIcon = MAKEINTRESOURCEW(IDI_SWEEPWAV);
        MessageBoxIndirectW(&box);
        shown = false;
    }).detach();
}

}  // namespace sweepwav
