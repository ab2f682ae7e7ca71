#include "cli/held_signals.h"

#include <csignal>

#include "platform/temporary_files.h"

namespace sweepwav {

namespace {

volatile std::sig_atomic_t held = 0;

#ifndef _WIN32
constexpr int kTermination[] = {SIGTERM, SIGHUP};
struct sigaction before[2];

void OnTermination(int signal) {
    if (HoldIfFileNamed(signal)) return;
    const struct sigaction& old = before[signal == SIGTERM ? 0 : 1];
    if (old.sa_handler != SIG_DFL && old.sa_handler != SIG_IGN) {
        old.sa_handler(signal);
        return;
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}
#endif

}  // namespace

bool HoldIfFileNamed(int signal) {
    if (!FileTakingName()) return false;
    held = signal;
    return true;
}

int HeldSignal() { return held; }

void HoldTerminationOnceNamed() {
#ifndef _WIN32
    struct sigaction action {};
    action.sa_handler = OnTermination;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < 2; ++i) {
        if (sigaction(kTermination[i], nullptr, &before[i]) != 0 || before[i].sa_handler == SIG_IGN) continue;
        sigaction(kTermination[i], &action, nullptr);
    }
#endif
}

int EndAsHeld(int signal) {
    if (signal == SIGINT) return 130;
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    return 128 + signal;
}

}  // namespace sweepwav
