#include "platform/process.h"

#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "platform/temporary_files.h"

namespace sweepwav {

namespace {

void (*onFirstInterrupt)() = nullptr;
int interruptExitStatus = 0;
volatile std::sig_atomic_t interrupts = 0;

void OnInterrupt(int) {
    interrupts = interrupts + 1;
    if (interrupts == 1) {
        onFirstInterrupt();
        return;
    }
    RemoveTemporaryFiles();
    _exit(interruptExitStatus);
}

}  // namespace

void CatchInterrupts(void (*firstInterrupt)(), int exitStatus) {
    onFirstInterrupt = firstInterrupt;
    interruptExitStatus = exitStatus;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
}

bool IsTerminal(StandardStream stream) {
    return isatty(stream == StandardStream::Output ? STDOUT_FILENO : STDERR_FILENO) != 0;
}

void PrepareStandardStreams() {}

void FailWritesToClosedPipes() { std::signal(SIGPIPE, SIG_IGN); }

std::vector<std::string> CommandLineArguments(int argc, char** argv) { return {argv + 1, argv + argc}; }

std::string AbsolutePath(const std::string& path) { return std::filesystem::absolute(path).string(); }

}  // namespace sweepwav
