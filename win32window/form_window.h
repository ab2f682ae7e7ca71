// The program's one window on Windows, a dialog made from the template
// IDD_FORM1 and a view of the form model (commands/form_model.h): it shows
// the form as the model's look says, takes every caption, tooltip, list
// item and start-up value from the catalogue, forwards its buttons, menu
// commands and dialogs to the model, and answers the engine's window
// operations with its controls. A menu bar above the form holds the
// commands around a sweep; two lines below it say where files go and which
// options are on. During synthesis the progress lines and the status line
// are redrawn at the display's pace.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "commands/form_model.h"
#include "commands/frame_pacer.h"
#include "core/generator_state.h"
#include "core/services.h"
#include "core/window_ops.h"
#include "win32window/float_state.h"

namespace sweepwav {

class PlanWindow;

// The recent settings files, in the registry (recent_files.h).
class RegistryRecentStore : public RecentStore {
public:
    std::vector<std::string> read() override;
    void write(const std::vector<std::string>& files) override;
};

class FormWindow : public WindowOps, public FormView {
public:
    explicit FormWindow(Services& services);
    ~FormWindow() override;

    // Creates the window from its template; Form_Load runs before it is
    // first shown. Returns false when it could not be created.
    bool create(HINSTANCE instance);
    // Shows the window and runs the message loop until it closes.
    int run(int show);

    HWND handle() const { return window_; }
    GeneratorState& state() { return model_.state(); }

    // File > Open settings for the given file: fills the form; nothing runs.
    void open_settings_file(const std::string& path);

    // WindowOps
    std::string text(Control box) override;
    void set_text(Control box, const std::string& text) override;
    bool checked(Control box) override;
    void set_checked(Control box, bool ticked) override;
    void add_item(Control list, const std::string& text, int position, std::int32_t value) override;
    void select_index(Control list, int position) override;
    int selected_index(Control list) override;
    int item_count(Control list) override;
    std::int32_t item_value(Control list, int position) override;
    void set_enabled(Control c, bool enabled) override;
    void set_caption(const std::string& caption) override;
    void set_label(Control label, const std::string& text) override;
    void set_progress(Control line, double fraction, bool redraw) override;
    void do_events() override;
    void message_box(const std::string& text, const std::string& title, Icon icon) override;

    // FormView
    void show_look(const FormLook& look) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handle_message(UINT message, WPARAM wParam, LPARAM lParam);
    bool translate(MSG& message);
    HWND control(Control c) const;
    HWND item(int id) const { return GetDlgItem(window_, id); }

    // form_look.cpp: texts from the catalogue, fonts, colours, the bands,
    // tooltips, the menu bar and the layout on resizing.
    void apply_catalogue();
    void apply_look();
    void add_tooltip(HWND control, const std::string& text);
    // A new text for a control's tooltip (the bar's, Play's as it becomes Stop).
    void set_tooltip(HWND control, const std::string& text);
    void build_menu_bar();
    void fill_recent_menu(const std::vector<RecentFile>& files);
    void fill_presets_menu(const std::vector<PresetFile>& presets);
    void lay_out();
    void paint_bands(HDC dc);
    INT_PTR colour_static(HDC dc, HWND control);
    RECT band(int top, int bottom) const;

    // form_commands.cpp: the buttons and the menu's commands.
    void on_command(int id, int code);
    void on_menu_command(std::string_view name);
    void ExportPlan_triggered();
    void SweepPlan_triggered();
    void About_triggered();
    void ask_options(Place place);
    void close_requested();
    void show_commands(const FormLook& look);
    void show_bar(const FormLook& look);
    // The Play button's text and tooltip (Stop while it plays).
    void show_play(const FormLook& look);
    void show_focus(const FocusRequest& focus);
    void export_plan(const std::string& csv, const std::string& json, const std::string& wavName);
    void save_plan_picture(const PlanWindow& view);

    // form_settings.cpp: settings files, the recent list, the presets and
    // files dropped on the window.
    void OpenSettings_triggered();
    void SaveSettings_triggered();
    void use_installed_presets();
    void files_dropped(HDROP drop);

    RegistryRecentStore recentStore_;
    std::unique_ptr<AudioOutput> audio_;  // the default wave output device
    FormModel model_;
    HINSTANCE instance_ = nullptr;
    HWND window_ = nullptr;
    HWND tooltips_ = nullptr;
    HMENU menu_ = nullptr;
    HMENU recentMenu_ = nullptr;
    HMENU presetsMenu_ = nullptr;
    HACCEL keys_ = nullptr;
    HFONT titleFont_ = nullptr;
    HFONT boldFont_ = nullptr;
    HICON icon_ = nullptr;
    HICON smallIcon_ = nullptr;
    HBRUSH bandBrush_ = nullptr;
    HBRUSH progressBrush_ = nullptr;
    HBRUSH headerBrush_ = nullptr;
    std::vector<RecentFile> recentShown_;
    std::vector<PresetFile> presetsShown_;
    FramePacer<HWND> pacer_;
    FloatState floatState_;  // as at start-up
    PlanWindow* planWindow_ = nullptr;
    int progressPositions_[2] = {-1, -1};
    POINT minimumSize_{0, 0};
};

// The UTF-16 text of a window, as UTF-8.
std::string WindowText(HWND window);
void SetWindowTextUtf8(HWND window, std::string_view text);

// The tooltips of a window's controls: the window that shows them, and a
// control's tip.
HWND CreateTooltips(HWND owner);
void AddTooltip(HWND tooltips, HWND control, const std::string& text);

}  // namespace sweepwav
