#include "platform/process.h"

#include "win32_io.h"  // windows.h, which shellapi.h needs first

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/temporary_files.h"

namespace sweepwav {

namespace {

void (*onInterrupt)() = nullptr;
std::mutex interrupting;  // one interrupt at a time, as a signal handler would see them

UINT savedCodePage = 0;  // the console's own, given back on the way out
bool errorTakesSequences = false;

void RestoreConsole() {
    if (savedCodePage != 0) SetConsoleOutputCP(savedCodePage);
}

// Runs on a thread of its own while the main thread goes on.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    const std::lock_guard lock(interrupting);
    onInterrupt();
    return TRUE;
}

bool IsConsole(DWORD stream) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(stream), &mode) != 0;
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
    if (stream == StandardStream::Output) return IsConsole(STD_OUTPUT_HANDLE);
    return IsConsole(STD_ERROR_HANDLE) && errorTakesSequences;
}

void PrepareStandardStreams() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    if (const UINT codePage = GetConsoleOutputCP(); codePage != 0 && codePage != CP_UTF8) {
        if (SetConsoleOutputCP(CP_UTF8)) {
            savedCodePage = codePage;
            std::atexit(RestoreConsole);
        }
    }
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(error, &mode)) {
        errorTakesSequences = (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
                              SetConsoleMode(error, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
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
