// Temporary files on Windows. A console event runs its handler on a thread
// of its own, not in the middle of another function as a POSIX signal does,
// so a plain lock guards the list here.
#include "platform/temporary_files.h"

#include <atomic>
#include <map>
#include <mutex>
#include <string>

#include "win32_io.h"

namespace sweepwav {

namespace {

std::mutex files;
std::map<int, std::wstring> paths;  // guarded by files
int nextSlot = 0;                   // guarded by files
std::atomic<bool> takingName{false};

// Closing the console window, logging off or shutting down ends the
// process: the temporary files go first. The system then goes on to end it.
BOOL WINAPI OnConsoleEnd(DWORD event) {
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        RemoveTemporaryFiles();
    }
    return FALSE;
}

}  // namespace

int RememberTemporaryFile(const char* path) {
    const std::lock_guard lock(files);
    paths[nextSlot] = WideText(path);
    return nextSlot++;
}

void ForgetTemporaryFile(int slot) {
    const std::lock_guard lock(files);
    paths.erase(slot);
}

void RemoveTemporaryFiles() {
    const std::lock_guard lock(files);
    for (const auto& [slot, path] : paths) DeleteFileW(path.c_str());
}

void NoteFileTakingName(bool taking) { takingName = taking; }

bool FileTakingName() { return takingName; }

void PrepareProcessForFileWrites() { SetConsoleCtrlHandler(OnConsoleEnd, TRUE); }

}  // namespace sweepwav
