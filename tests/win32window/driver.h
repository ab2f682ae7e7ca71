// Drives sweepwav.exe from outside, as a person would with the mouse and
// the keyboard: starts it, types into its form with window messages,
// presses its buttons and menu commands, reads every message box's text,
// title and icon and closes it. Everything goes through the messages a
// screen reader or a test tool would use; nothing reaches inside.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/controls.h"

namespace sweepwav::driver {

// A message box as shown: its text, its title and the icon it carries.
struct Box {
    std::string text;
    std::string title;
    std::string icon;  // "none", "information" or "exclamation"
};

class Window {
public:
    // Starts the program with the arguments and waits for its form, shown
    // or not (a start-up message may come first).
    Window(const std::string& program, const std::string& arguments);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND form() const { return form_; }
    HWND control(Control c) const;
    HWND item(int id) const { return GetDlgItem(form_, id); }

    std::string text(Control c) const;
    std::string text_of(HWND window) const;
    // A label's text as the system holds it, read without waiting for the
    // program (which does not answer during the two-second hold of a run).
    std::string caption(HWND window) const;
    void type(Control box, const std::string& text);
    void tick(Control box, bool ticked);
    bool ticked(Control box) const;
    // Selects the list's item at position, as a click on it would.
    void choose(Control list, int position);
    int chosen(Control list) const;
    std::vector<std::string> items(Control list) const;
    bool enabled(Control c) const { return IsWindowEnabled(control(c)) != 0; }

    // Presses a button, as a click does, without waiting for its command;
    // nothing when it is disabled.
    void press(Control button);
    // Runs a menu command by its name, without waiting for it.
    void menu(std::string_view name);
    // Keys to the control that has the focus.
    void key(WPARAM virtualKey);
    void alt_key(wchar_t letter);
    HWND focus() const;

    // The next message box of the program, read and closed; none when no
    // box came within the time.
    std::optional<Box> take_box(std::chrono::milliseconds wait = std::chrono::seconds(20));
    // A dialog of the program with that title (a file dialog, Signal
    // options), once it is shown.
    HWND dialog(const std::string& title, std::chrono::milliseconds wait = std::chrono::seconds(20));
    // Drops files on the window as the desktop does: a list of them (in the
    // program's memory, where the desktop would have put it) in
    // WM_DROPFILES; nothing when the window takes no files.
    void drop(const std::vector<std::string>& paths);
    // Fills a file dialog's name and presses its OK button.
    void choose_file(HWND dialog, const std::string& path);
    // The name a file dialog has in its name box.
    std::string file_name(HWND dialog) const;
    // Whether the program still runs.
    bool alive() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

    // Waits until the form is idle again after a command: the status line
    // at its idle text and Generate file enabled. False on a time-out.
    bool wait_idle(std::chrono::milliseconds wait = std::chrono::seconds(120));
    // Presses Generate file and waits for the run to write its file and
    // return to idle. False on a time-out or a message instead.
    bool generate(std::chrono::milliseconds wait = std::chrono::seconds(120));
    std::string bar() const;
    // Closes the window and waits for the program to end; its exit status.
    DWORD close();

    DWORD process_id() const { return process_.dwProcessId; }

private:
    std::vector<HWND> dialogs() const;

    PROCESS_INFORMATION process_{};
    HWND form_ = nullptr;
    bool ended_ = false;
};

// While it lives, programs started have no sound output: Wine's choice of
// sound drivers is none.
class NoSoundOutput {
public:
    NoSoundOutput();
    ~NoSoundOutput();
    NoSoundOutput(const NoSoundOutput&) = delete;
    NoSoundOutput& operator=(const NoSoundOutput&) = delete;

private:
    std::optional<std::wstring> before_;
};

// Polls the condition every 20 ms until it holds; false on a time-out.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds wait);

std::string Utf8(const std::wstring& wide);
// The screen under a window, saved as a PNG file.
bool Shoot(HWND window, const std::string& path);
std::wstring Wide(const std::string& utf8);

}  // namespace sweepwav::driver
