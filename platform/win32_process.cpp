#include "platform/process.h"

#include "win32_io.h"  // windows.h, which shellapi.h needs first

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/temporary_files.h"

namespace sweepwav {

namespace {

void (*onInterrupt)() = nullptr;
std::mutex interrupting;  // one interrupt at a time, as a signal handler would see them

UINT savedCodePage = 0;  // the console's own, given back on the way out
DWORD savedErrorMode = 0;  // standard error's console mode before sequences were turned on
bool errorModeChanged = false;
Redraw errorRedraw = Redraw::None;

void RestoreConsole() {
    if (savedCodePage != 0) SetConsoleOutputCP(savedCodePage);
    if (errorModeChanged) SetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), savedErrorMode);
}

// Runs on a thread of its own while the main thread goes on.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    const std::lock_guard lock(interrupting);
    onInterrupt();
    return TRUE;
}

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0;
}

bool IsConsole(DWORD stream) { return IsConsole(GetStdHandle(stream)); }

// Whether the console acts on a cursor sequence rather than showing it. The
// one the progress bar uses, erase to the end of the line, leaves the
// cursor where it was when the console takes it; a console that shows it
// moves the cursor, and what it showed is blanked out again.
bool TakesSequences(HANDLE console) {
    CONSOLE_SCREEN_BUFFER_INFO before{}, after{};
    DWORD written = 0;
    if (!GetConsoleScreenBufferInfo(console, &before) || !WriteConsoleW(console, L"\x1b[K", 3, &written, nullptr) ||
        !GetConsoleScreenBufferInfo(console, &after)) {
        return false;
    }
    const COORD at = before.dwCursorPosition, now = after.dwCursorPosition;
    if (now.X == at.X && now.Y == at.Y) return true;
    const DWORD shown = static_cast<DWORD>((now.Y - at.Y) * before.dwSize.X + (now.X - at.X));
    FillConsoleOutputCharacterW(console, L' ', shown, at, &written);
    SetConsoleCursorPosition(console, at);
    return false;
}

// Standard error's console takes the progress bar's cursor sequences when
// its mode has them on, or can turn them on, and it then acts on them.
// Otherwise the bar is redrawn with carriage returns alone.
void PrepareErrorConsole() {
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (!GetConsoleMode(error, &mode)) return;
    errorRedraw = Redraw::CarriageReturn;
    const bool on = (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
    if (!on && !SetConsoleMode(error, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING)) return;
    if (TakesSequences(error)) {
        errorRedraw = Redraw::Sequences;
        savedErrorMode = mode;
        errorModeChanged = !on;
    } else if (!on) {
        SetConsoleMode(error, mode);
    }
}

}  // namespace

void CatchInterrupts(void (*handler)()) {
    onInterrupt = handler;
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

void EndAtOnce(int status) {
    RemoveTemporaryFiles();
    RestoreConsole();
    // At once: no exit handlers, which could wait on locks the main thread holds.
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
    ExitProcess(static_cast<UINT>(status));  // not reached
}

void TellAtOnce(const char* text, std::size_t length) {
    DWORD told = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, static_cast<DWORD>(length), &told, nullptr);
}

bool IsTerminal(StandardStream stream) {
    // The console itself, not any character device: NUL is no terminal.
    return IsConsole(stream == StandardStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

Redraw ErrorRedraw() { return errorRedraw; }

int ErrorLineWidth() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info)) return 0;
    return info.dwSize.X;
}

void PrepareStandardStreams() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // For the bytes some writes send the console unconverted.
    if (const UINT codePage = GetConsoleOutputCP(); codePage != 0 && codePage != CP_UTF8) {
        if (SetConsoleOutputCP(CP_UTF8)) savedCodePage = codePage;
    }
    PrepareErrorConsole();
    if (savedCodePage != 0 || errorModeChanged) std::atexit(RestoreConsole);
}

void WriteText(StandardStream stream, std::string_view text) {
    const bool output = stream == StandardStream::Output;
    std::FILE* file = output ? stdout : stderr;
    const HANDLE handle = GetStdHandle(output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    if (!IsConsole(handle)) {
        std::fwrite(text.data(), 1, text.size(), file);
        if (!output) std::fflush(file);
        return;
    }
    // A console shows characters: the text's, whatever its code page.
    std::fflush(file);
    const std::wstring wide = WideText(text);
    for (std::size_t at = 0; at < wide.size();) {
        DWORD written = 0;
        const auto count = static_cast<DWORD>(std::min<std::size_t>(wide.size() - at, 8192));
        if (!WriteConsoleW(handle, wide.data() + at, count, &written, nullptr) || written == 0) return;
        at += written;
    }
}

void FailWritesToClosedPipes() {}

std::vector<std::string> CommandLineArguments(int, char**) {
    // The C library's argv has the ANSI code page's characters; the wide
    // command line has them all.
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide && i < count; ++i) args.push_back(Utf8Text(wide[i]));
    LocalFree(wide);
    return args;
}

}  // namespace sweepwav
