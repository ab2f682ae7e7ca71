#include "platform/temporary_files.h"

#include <atomic>
#include <csignal>
#include <cstring>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace sweepwav {

namespace {

constexpr int kSlots = 8;

struct Slot {
    std::atomic<bool> used{false};
    std::atomic<bool> named{false};  // folder and name are complete and may be removed
    int folderFd = -1;
    char name[kLongestTemporaryName + 1];
};

Slot slots[kSlots];

volatile std::sig_atomic_t takingName = 0;

#ifndef _WIN32
void OnTermination(int signal) {
    RemoveTemporaryFiles();
    // End as the signal would have ended the process: the signal is blocked
    // while this handler runs and arrives again, with the default action,
    // once it returns (a fault repeats its instruction and faults again).
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    raise(signal);
}

// The signals whose default action ends the process (with or without a core
// file), but for SIGKILL and SIGSTOP, which cannot be caught, and SIGXFSZ,
// which is ignored so that a write past the file-size limit fails instead.
constexpr int kEndingSignals[] = {
    SIGHUP,  SIGINT,  SIGQUIT, SIGILL,  SIGTRAP, SIGABRT,   SIGBUS,  SIGFPE, SIGUSR1, SIGSEGV,
    SIGUSR2, SIGPIPE, SIGALRM, SIGTERM, SIGXCPU, SIGVTALRM, SIGPROF, SIGSYS,
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
#ifdef SIGPOLL
    SIGPOLL,
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
};

void RemoveTemporaryFilesOn(int signal, const struct sigaction& action) {
    struct sigaction old {};
    if (sigaction(signal, nullptr, &old) != 0) return;
    // A signal that is ignored stays ignored, and a handler installed
    // before (by the program or by a library) stays in place.
    if ((old.sa_flags & SA_SIGINFO) != 0 || old.sa_handler != SIG_DFL) return;
    sigaction(signal, &action, nullptr);
}
#endif

}  // namespace

int RememberTemporaryFile(int folderFd, const char* name) {
    if (std::strlen(name) > kLongestTemporaryName) return -1;
    for (int i = 0; i < kSlots; ++i) {
        bool expected = false;
        if (slots[i].used.compare_exchange_strong(expected, true)) {
            slots[i].folderFd = folderFd;
            std::strcpy(slots[i].name, name);
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
            ::unlinkat(slot.folderFd, slot.name, 0);
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
    for (int signal : kEndingSignals) RemoveTemporaryFilesOn(signal, action);
    // The real-time signals end the process too.
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) RemoveTemporaryFilesOn(signal, action);
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

}  // namespace sweepwav
