// The program's one window on Windows, a dialog made from the template
// IDD_FORM1. It takes every caption, tooltip, list item and start-up value
// from the catalogue, runs Form_Load when it opens and hands its four
// buttons to the command procedures, answering their window operations
// with its controls. A menu bar above the form holds the commands around a
// sweep; a bar below it says where files go. During synthesis the progress
// lines and the status line are redrawn at the display's pace.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/generator_state.h"
#include "core/services.h"
#include "core/window_ops.h"
#include "win32window/float_state.h"

namespace sweepwav {

class PlanWindow;

// Redraws at the display's pace: while pacing, a control asked to redraw is
// painted at once only when the last paint was at least one display frame
// ago; otherwise it waits for the next request after that, or for flush().
class Win32FramePacer {
public:
    void set_frame_rate(double refreshHz);
    void set_pacing(bool on);
    bool pacing() const { return pacing_; }
    void redraw(HWND control);
    void flush();

private:
    long long frameTicks_ = 0;
    long long lastFrame_ = 0;
    bool pacing_ = false;
    std::vector<HWND> waiting_;
};

class FormWindow : public WindowOps {
public:
    explicit FormWindow(Services& services);
    ~FormWindow() override;

    // Creates the window from its template; Form_Load runs before it is
    // first shown. Returns false when it could not be created.
    bool create(HINSTANCE instance);
    // Shows the window and runs the message loop until it closes.
    int run(int show);

    HWND handle() const { return window_; }
    GeneratorState& state() { return state_; }

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
    void build_menu_bar();
    void fill_recent_menu();
    void lay_out();
    void paint_bands(HDC dc);
    INT_PTR colour_static(HDC dc, HWND control);
    RECT band(int top, int bottom) const;

    // form_commands.cpp: the buttons and the menu's commands.
    void on_command(int id, int code);
    void on_menu_command(std::string_view name);
    bool guarded(const char* what, const std::function<void()>& command);
    bool plan_from_entries();
    void OK_clicked();
    void ShowInfo_clicked();
    void AutoName_clicked();
    void ExportPlan_triggered();
    void OpenOutputFolder_triggered();
    void WriteMarkers_toggled();
    void SignalOptions_triggered();
    void Frequencies_triggered();
    void SweepPlan_triggered();
    void About_triggered();
    void close_requested();
    void enable_menu_commands(bool enabled);
    void show_output_folder();
    void show_bar(const std::string& whole);
    void show_options();
    void export_plan(const std::string& csv, const std::string& json, const std::string& wavName);
    void save_plan_picture(const PlanWindow& view);
    std::string suggested_path(const std::string& wavName, std::string_view ending) const;

    // form_settings.cpp: settings files and the recent list.
    void OpenSettings_triggered();
    void SaveSettings_triggered();
    void remember_settings_file(const std::string& path);
    std::string settings_folder() const;
    std::string file_name_stem();

    Services& services_;
    GeneratorState state_;
    HINSTANCE instance_ = nullptr;
    HWND window_ = nullptr;
    HWND tooltips_ = nullptr;
    HMENU menu_ = nullptr;
    HMENU recentMenu_ = nullptr;
    HACCEL keys_ = nullptr;
    HFONT titleFont_ = nullptr;
    HFONT boldFont_ = nullptr;
    HICON icon_ = nullptr;
    HICON smallIcon_ = nullptr;
    HBRUSH bandBrush_ = nullptr;
    HBRUSH progressBrush_ = nullptr;
    HBRUSH headerBrush_ = nullptr;
    std::vector<std::string> recentFiles_;
    Win32FramePacer pacer_;
    FloatState floatState_;  // as at start-up
    PlanWindow* planWindow_ = nullptr;
    bool running_ = false;
    bool closeRequested_ = false;
    int progressPositions_[2] = {-1, -1};
    POINT minimumSize_{0, 0};
};

// The UTF-16 text of a window, as UTF-8.
std::string WindowText(HWND window);
void SetWindowTextUtf8(HWND window, std::string_view text);

}  // namespace sweepwav
