#include "platform/process.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "platform/temporary_files.h"

namespace sweepwav {

namespace {

void (*onInterrupt)() = nullptr;

void OnInterrupt(int) { onInterrupt(); }

}  // namespace

void CatchInterrupts(void (*handler)()) {
    onInterrupt = handler;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
}

void EndAtOnce(int status) {
    RemoveTemporaryFiles();
    _exit(status);
}

void TellAtOnce(const char* text, std::size_t length) {
    const ssize_t told = write(STDERR_FILENO, text, length);
    (void)told;  // nothing more can be done from a signal handler
}

bool IsTerminal(StandardStream stream) {
    return isatty(stream == StandardStream::Output ? STDOUT_FILENO : STDERR_FILENO) != 0;
}

Redraw ErrorRedraw() { return IsTerminal(StandardStream::Error) ? Redraw::Sequences : Redraw::None; }

int ErrorLineWidth() { return 0; }

void PrepareStandardStreams() {}

void WriteText(StandardStream stream, std::string_view text) {
    std::FILE* file = stream == StandardStream::Output ? stdout : stderr;
    std::fwrite(text.data(), 1, text.size(), file);
    if (stream == StandardStream::Error) std::fflush(file);
}

void FailWritesToClosedPipes() { std::signal(SIGPIPE, SIG_IGN); }

std::vector<std::string> CommandLineArguments(int argc, char** argv) { return {argv + 1, argv + argc}; }

}  // namespace sweepwav
