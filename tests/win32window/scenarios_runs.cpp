// Runs of the window: files against the Linux command line's, Abort in the
// middle of one, Show Info short and long, settings files saved and opened.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <sstream>

#include "commands/window_texts.h"
#include "scenarios.h"
#include "win32window/control_ids.h"
#include "win32window/desktop_services.h"

namespace sweepwav::driver {

namespace {

std::string Options(const Setup& setup, const char* name) { return Trimmed(FileBytes(setup.data + name)); }

long long FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) return -1;
    return static_cast<long long>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

BOOL CALLBACK FindNotepad(HWND window, LPARAM found) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (std::wstring(name) == L"Notepad" && IsWindowVisible(window)) *reinterpret_cast<HWND*>(found) = window;
    return TRUE;
}

}  // namespace

void Files(const Setup& setup, Checks& checks) {
    std::istringstream cases(FileBytes(setup.data + "cases.txt"));
    int index = 0;
    for (std::string line; std::getline(cases, line); ++index) {
        line = Trimmed(line);
        const std::string name = "case-" + std::to_string(index) + ".wav";
        Window w(setup.program, "--seed 7");
        Apply(w, line);
        w.type(Control::FileName, name);
        const bool done = w.generate();
        const std::string path = setup.folder + name;
        checks.check(done, "files", line + ": the run ends", w.bar());
        checks.equal(w.bar(), "Wrote " + path + " (" + SizeText(FileSize(path)) + ")", "files", line + ": the bar");
        w.close();
    }
}

void AbortRun(const Setup& setup, Checks& checks) {
    Window w(setup.program, "");
    Apply(w, "--steps 400 --tone-ms 2000 --shift-mode 0 --file aborted");
    SendMessageW(w.item(IDC_OutputBar), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    w.press(Control::OK);
    const bool abortable = WaitFor([&] { return w.enabled(Control::Abort); }, std::chrono::seconds(60));
    bool locked = abortable;
    for (Control c : kInputControls) locked = locked && !w.enabled(c);
    checks.check(locked, "abort", "during synthesis Abort is enabled and the inputs locked");
    w.press(Control::Abort);
    HWND status = w.control(Control::Status);
    checks.check(WaitFor([&] { return w.caption(status) == "Calculations aborted"; }, std::chrono::seconds(60)),
                 "abort", "the status line says the run was aborted", w.caption(status));
    const std::string path = setup.folder + "aborted.wav";
    checks.equal(w.bar(), "Wrote " + path + " (" + SizeText(FileSize(path)) + "), silent from the abort on", "abort",
                 "the bar");
    // 401 tones of 2 s at 44.1 kHz, 16 bit stereo: the file's full length.
    checks.check(FileSize(path) == 44 + 401LL * 88200 * 4, "abort", "the file has its full planned length",
                 std::to_string(FileSize(path)));
    checks.check(w.wait_idle(std::chrono::seconds(30)) && w.enabled(Control::StartFreq), "abort", "the form unlocked after it");
    checks.check(SendMessageW(w.control(Control::Progress2), PBM_GETPOS, 0, 0) == 0, "abort", "the lines empty after the hold");
    w.close();
    DeleteFileW(Wide(path).c_str());

    // Closing the window during a run aborts it; the file is still written,
    // and then the window closes.
    Window closing(setup.program, "");
    Apply(closing, "--steps 400 --tone-ms 2000 --shift-mode 0 --file closed");
    closing.press(Control::OK);
    WaitFor([&] { return closing.enabled(Control::Abort); }, std::chrono::seconds(60));
    checks.check(closing.close() == 0, "abort", "closing during a run ends the program");
    const std::string closed = setup.folder + "closed.wav";
    checks.check(FileSize(closed) == 44 + 401LL * 88200 * 4, "abort", "the file of the closed run has its full length",
                 std::to_string(FileSize(closed)));
    // Aborted, not run to its end: the last tone is silent.
    const std::string bytes = FileBytes(closed);
    const std::size_t lastTone = 88200 * 4;
    checks.check(bytes.size() > lastTone && bytes.find_first_not_of('\0', bytes.size() - lastTone) == std::string::npos,
                 "abort", "the closed run was aborted (its last tone is silent)");
    DeleteFileW(Wide(closed).c_str());
}

void ShowInfo(const Setup& setup, Checks& checks) {
    Window w(setup.program, "");
    Apply(w, Options(setup, "info_short.options"));
    w.press(Control::ShowInfo);
    const auto box = w.take_box();
    checks.check(box.has_value(), "show info", "a short report in a box");
    if (box) {
        checks.equal(box->text, FileBytes(setup.data + "info_short.expected"), "show info", "the short report");
        checks.equal(box->title, "Sweep WAV generation - file info", "show info", "its title");
        checks.equal(box->icon, "information", "show info", "its icon");
    }
    w.close();
    Window again(setup.program, "");
    Apply(again, Options(setup, "info_long.options"));
    again.press(Control::ShowInfo);
    checks.check(!again.take_box(std::chrono::seconds(2)), "show info", "a long report shows no box");
    HWND notepad = nullptr;
    WaitFor([&] {
        EnumWindows(FindNotepad, reinterpret_cast<LPARAM>(&notepad));
        return notepad != nullptr;
    }, std::chrono::seconds(30));
    // Notepad opened the report itself: its path has blanks in it.
    checks.check(notepad && again.text_of(notepad).find("wav_info.txt") != std::string::npos, "show info",
                 "Notepad shows wav_info.txt", notepad ? again.text_of(notepad) : "no Notepad");
    if (notepad) PostMessageW(notepad, WM_CLOSE, 0, 0);
    checks.equal(FileBytes(setup.folder + "wav_info.txt"), FileBytes(setup.data + "info_long.expected"), "show info",
                 "wav_info.txt");
    again.close();
}

void ViewerCommandLine(const Setup&, Checks& checks) {
    // The report's path reaches the viewer as one argument, blanks and all
    // (Notepad itself would also take an unquoted path, other viewers not).
    for (const wchar_t* path : {L"C:\\Analyser folder\\User Wavetables\\wav_info.txt", L"C:\\wav_info.txt",
                                L"D:\\a  b\\c d\\wav_info.txt"}) {
        int count = 0;
        wchar_t** args = CommandLineToArgvW(NotepadCommandLine(path).c_str(), &count);
        checks.check(count == 2 && std::wstring(args[1]) == path, "show info",
                     "Notepad gets the path " + Utf8(path) + " as one argument");
        LocalFree(args);
    }
}

void SettingsFiles(const Setup& setup, Checks& checks) {
    const std::string saved = setup.data + "saved.sweep";
    DeleteFileW(Wide(saved).c_str());
    {
        Window w(setup.program, "");
        Apply(w, Options(setup, "settings.options"));
        w.menu("SaveSettings");
        HWND dialog = w.dialog("Save settings");
        checks.check(dialog != nullptr, "settings", "Save settings as asks for a file");
        if (dialog) w.choose_file(dialog, saved);
        checks.check(WaitFor([&] { return !FileBytes(saved).empty() && !IsWindow(dialog); }, std::chrono::seconds(20)),
                     "settings", "the settings file is written");
        w.close();
    }
    Window w(setup.program, "--seed 7");
    w.menu("OpenSettings");
    HWND dialog = w.dialog("Open settings");
    checks.check(dialog != nullptr, "settings", "Open settings asks for a file");
    if (dialog) w.choose_file(dialog, saved);
    checks.check(WaitFor([&] { return w.text(Control::FileName) == "reopened"; }, std::chrono::seconds(20)),
                 "settings", "the form is filled from the file", w.text(Control::FileName));
    checks.check(w.generate(), "settings", "the reopened sweep runs", w.bar());
    // The command line's file for the same entries and seed, made beforehand.
    checks.check(FileBytes(setup.folder + "reopened.wav") == FileBytes(setup.data + "reopened.expected.wav"), "settings",
                 "the file of the reopened settings is the command line's");
    // The recent list, in the registry.
    wchar_t recent[1024] = {};
    DWORD bytes = sizeof recent;
    RegGetValueW(HKEY_CURRENT_USER, L"Software\\sweepwav", L"Recent settings", RRF_RT_REG_MULTI_SZ, nullptr, recent, &bytes);
    checks.equal(Utf8(recent), saved, "settings", "the first recent settings file");
    w.close();
}

}  // namespace sweepwav::driver
