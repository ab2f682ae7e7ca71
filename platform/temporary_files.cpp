#include "platform/temporary_files.h"

#include <atomic>
#include <csignal>
#include <cstring>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace sweepwav {

namespace {

constexpr int kSlots = 8;
constexpr std::size_t kPathBytes = 4096;

struct Slot {
    std::atomic<bool> used{false};
    std::atomic<bool> named{false};  // the path is complete and may be removed
    char path[kPathBytes];
};

Slot slots[kSlots];

volatile std::sig_atomic_t takingName = 0;

#ifndef _WIN32
void OnTermination(int signal) {
    RemoveTemporaryFiles();
    // End as the signal would have ended the process.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}
#endif

}  // namespace

int RememberTemporaryFile(const char* path) {
    if (std::strlen(path) >= kPathBytes) return -1;
    for (int i = 0; i < kSlots; ++i) {
        bool expected = false;
        if (slots[i].used.compare_exchange_strong(expected, true)) {
            std::strcpy(slots[i].path, path);
            slots[i].named.store(true);
            return i;
        }
    }
    return -1;
}

void ForgetTemporaryFile(int slot) {
    if (slot < 0 || slot >= kSlots) return;
    slots[slot].named.store(false);
    slots[slot].used.store(false);
}

void RemoveTemporaryFiles() {
    for (Slot& slot : slots) {
        if (slot.named.load()) {
#ifndef _WIN32
            ::unlink(slot.path);
#endif
        }
    }
}

void NoteFileTakingName(bool taking) {
    takingName = taking ? 1 : 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
}

bool FileTakingName() { return takingName != 0; }

void PrepareProcessForFileWrites() {
#ifndef _WIN32
    struct sigaction action {};
    action.sa_handler = OnTermination;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGHUP}) {
        struct sigaction old {};
        // A signal the caller chose to ignore stays ignored.
        if (sigaction(signal, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        sigaction(signal, &action, nullptr);
    }
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

}  // namespace sweepwav
