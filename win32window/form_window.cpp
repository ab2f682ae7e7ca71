#include "win32window/form_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "commands/commands.h"
#include "commands/outputs.h"
#include "commands/window_texts.h"
#include "core/window_look.h"
#include "platform/system_audio_output.h"
#include "platform/win32_io.h"
#include "win32window/control_ids.h"
#include "win32window/plan_window.h"
#include "win32window/recent_files.h"

namespace sweepwav {

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return Utf8Text(text);
}

void SetWindowTextUtf8(HWND window, std::string_view text) { SetWindowTextW(window, WideText(text).c_str()); }

namespace {

POINT WindowSize(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

// The refresh rate of the display the window is on; 0 when unknown.
double RefreshRate(HWND window) {
    MONITORINFOEXW monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) return 0;
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsW(monitor.szDevice, ENUM_CURRENT_SETTINGS, &mode)) return 0;
    return mode.dmDisplayFrequency > 1 ? mode.dmDisplayFrequency : 0;
}

void PaintNow(const HWND& control) { UpdateWindow(control); }

void PaintWaiting(const std::vector<HWND>& controls) {
    for (HWND control : controls) UpdateWindow(control);
}

}  // namespace

std::vector<std::string> RegistryRecentStore::read() { return ReadRecentFiles(); }

void RegistryRecentStore::write(const std::vector<std::string>& files) { WriteRecentFiles(files); }

FormWindow::FormWindow(Services& services)
    : audio_(SystemAudioOutput()), model_(*this, *this, services, recentStore_), pacer_(PaintNow, PaintWaiting) {
    model_.set_audio_output(*audio_);
}

FormWindow::~FormWindow() {
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(titleFont_), static_cast<HGDIOBJ>(boldFont_),
                           static_cast<HGDIOBJ>(bandBrush_), static_cast<HGDIOBJ>(progressBrush_),
                           static_cast<HGDIOBJ>(headerBrush_)}) {
        if (object) DeleteObject(object);
    }
    if (keys_) DestroyAcceleratorTable(keys_);
}

bool FormWindow::create(HINSTANCE instance) {
    instance_ = instance;
    window_ = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_FORM1), nullptr, DialogProc,
                                 reinterpret_cast<LPARAM>(this));
    return window_ != nullptr;
}

int FormWindow::run(int show) {
    ShowWindow(window_, show);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!translate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

bool FormWindow::translate(MSG& message) {
    if (planWindow_ && planWindow_->translate(message)) return true;
    if (keys_ && TranslateAcceleratorW(window_, keys_, &message)) return true;
    return IsDialogMessageW(window_, &message) != 0;
}

INT_PTR CALLBACK FormWindow::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        reinterpret_cast<FormWindow*>(lParam)->window_ = window;
    }
    auto* form = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    return form ? form->handle_message(message, wParam, lParam) : FALSE;
}

INT_PTR FormWindow::handle_message(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            apply_catalogue();
            apply_look();
            build_menu_bar();
            minimumSize_ = WindowSize(window_);
            DragAcceptFiles(window_, TRUE);
            use_installed_presets();
            model_.start();
            return FALSE;  // the focus is set
        case WM_COMMAND: on_command(LOWORD(wParam), HIWORD(wParam)); return TRUE;
        case WM_DROPFILES: files_dropped(reinterpret_cast<HDROP>(wParam)); return TRUE;
        case WM_CLOSE: close_requested(); return TRUE;
        case WM_DESTROY: PostQuitMessage(0); return TRUE;
        case WM_SIZE: lay_out(); return TRUE;
        case WM_GETMINMAXINFO:
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = minimumSize_;
            return TRUE;
        case WM_CTLCOLORSTATIC:
            return colour_static(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window_, &paint);
            paint_bands(dc);
            EndPaint(window_, &paint);
            return TRUE;
        }
        case WM_DPICHANGED: {
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                         suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
            return TRUE;
        }
        default: return FALSE;
    }
}

HWND FormWindow::control(Control c) const { return item(IDC_StartFreq + static_cast<int>(c)); }

std::string FormWindow::text(Control box) { return WindowText(control(box)); }

void FormWindow::set_text(Control box, const std::string& text) { SetWindowTextUtf8(control(box), text); }

bool FormWindow::checked(Control box) {
    return SendMessageW(control(box), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void FormWindow::set_checked(Control box, bool ticked) {
    SendMessageW(control(box), BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void FormWindow::add_item(Control list, const std::string& text, int position, std::int32_t value) {
    const std::wstring wide = WideText(text);
    const LRESULT at = SendMessageW(control(list), CB_INSERTSTRING, static_cast<WPARAM>(position),
                                    reinterpret_cast<LPARAM>(wide.c_str()));
    if (at >= 0) SendMessageW(control(list), CB_SETITEMDATA, static_cast<WPARAM>(at), value);
}

void FormWindow::select_index(Control list, int position) {
    SendMessageW(control(list), CB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

int FormWindow::selected_index(Control list) {
    return static_cast<int>(SendMessageW(control(list), CB_GETCURSEL, 0, 0));
}

int FormWindow::item_count(Control list) { return static_cast<int>(SendMessageW(control(list), CB_GETCOUNT, 0, 0)); }

std::int32_t FormWindow::item_value(Control list, int position) {
    if (position < 0 || position >= item_count(list)) return 0;
    return static_cast<std::int32_t>(SendMessageW(control(list), CB_GETITEMDATA, static_cast<WPARAM>(position), 0));
}

void FormWindow::set_enabled(Control c, bool enabled) { EnableWindow(control(c), enabled); }

void FormWindow::show_look(const FormLook& look) {
    for (int i = 0; i < kFormControlCount; ++i) EnableWindow(control(static_cast<Control>(i)), look.enabled[static_cast<std::size_t>(i)]);
    // The dialog manager leaves the focus in a box that has gone grey.
    if (HWND focus = GetFocus(); look.phase == FormPhase::Idle && focus && IsChild(window_, focus) && !IsWindowEnabled(focus)) {
        SendMessageW(window_, WM_NEXTDLGCTL, 0, FALSE);
    }
    show_commands(look);
    show_bar(look);
    show_play(look);
    // While synthesis runs, redraws follow the display's frames; outside it
    // every redraw is immediate.
    if (look.pacing && !pacer_.pacing()) pacer_.set_frame_rate(RefreshRate(window_));
    pacer_.set_pacing(look.pacing);
    if (look.focus) show_focus(*look.focus);
    if (look.closeNow) close_requested();
}

void FormWindow::show_focus(const FocusRequest& focus) {
    HWND target = control(focus.control);
    SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
    if (focus.selectText) SendMessageW(target, EM_SETSEL, 0, -1);
}

void FormWindow::set_caption(const std::string& caption) { SetWindowTextUtf8(window_, caption); }

void FormWindow::set_label(Control label, const std::string& text) {
    HWND status = control(label);
    SetWindowTextUtf8(status, text);
    // Outside synthesis nothing services events (the write, the two-second
    // hold), so the status line is painted at once there.
    pacer_.redraw(status);
}

void FormWindow::set_progress(Control line, double fraction, bool redraw) {
    const int index = line == Control::Progress1 ? 0 : 1;
    const int position = static_cast<int>(std::lround(std::clamp(fraction, 0.0, 1.0) * kLineSpan));
    if (position == progressPositions_[index] && !redraw) return;
    if (position != progressPositions_[index]) {
        progressPositions_[index] = position;
        SendMessageW(control(line), PBM_SETPOS, static_cast<WPARAM>(position), 0);
    }
    if (redraw) pacer_.redraw(control(line));
}

void FormWindow::do_events() {
    pacer_.flush();
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (!translate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void FormWindow::message_box(const std::string& text, const std::string& title, Icon icon) {
    pacer_.flush();
    UINT kind = MB_OK;
    if (icon == Icon::Information) kind |= MB_ICONINFORMATION;
    if (icon == Icon::Exclamation) kind |= MB_ICONEXCLAMATION;
    const std::wstring caption = WideText(title.empty() ? kApplicationName : std::string_view(title));
    MessageBoxW(window_, WideText(text).c_str(), caption.c_str(), kind);
}

}  // namespace sweepwav
