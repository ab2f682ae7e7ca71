// sweepwav-cli: runs the window's commands from the command line. It holds
// the texts the window's controls would hold and runs the very same command
// procedures, so messages and files match the window's exactly.
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_window.h"
#include "cli/options.h"
#include "commands/commands.h"
#include "numbers/number_text.h"
#include "platform/standard_output.h"
#include "platform/system_services.h"
#include "platform/temporary_files.h"
#include "report/info_report.h"
#include "report/plan_export.h"
#include "settings/form_data.h"
#include "settings/output_folder.h"
#include "sweepwav_version.h"

namespace sweepwav {
namespace {

constexpr int kWritten = 0;
constexpr int kFailed = 1;
constexpr int kRefused = 2;
constexpr int kAborted = 130;

// The command line does not hold its final status line on screen, and it
// can send the WAV to standard output.
class CliServices : public SystemServices {
public:
    explicit CliServices(bool toStdout) : toStdout_(toStdout) {}
    void sleep_ms(int) override {}
    Result<std::unique_ptr<OutputFile>> create_file(const std::string& path) override {
        if (toStdout_) return StandardOutputFile();
        return SystemServices::create_file(path);
    }

private:
    bool toStdout_;
};

volatile std::sig_atomic_t interrupts = 0;

// How a Ctrl-C before synthesis is told: not at all (--quiet), as a line,
// or as a line in place of the progress bar on a terminal.
enum InterruptNotice : int { kNoNotice, kNoticeLine, kNoticeInPlaceOfBar };
volatile std::sig_atomic_t interruptNotice = kNoticeLine;

void Tell(const char* text, std::size_t length) {
    const ssize_t told = write(STDERR_FILENO, text, length);
    (void)told;  // nothing more can be done from a signal handler
}

// Until synthesis begins, Ctrl-C ends the run at once, with nothing written.
// From then on the first one acts as Abort, and a second one stops at once,
// leaving the old file as it was.
void OnInterrupt(int) {
    if (!CliWindow::synthesisBegun) {
        RemoveTemporaryFiles();
        static constexpr char kClearLine[] = "\r\033[K";
        static constexpr char kNotice[] = "sweepwav-cli: interrupted; nothing was written\n";
        if (interruptNotice == kNoticeInPlaceOfBar) Tell(kClearLine, sizeof kClearLine - 1);
        if (interruptNotice != kNoNotice) Tell(kNotice, sizeof kNotice - 1);
        _exit(kAborted);
    }
    interrupts = interrupts + 1;
    if (interrupts == 1) {
        CliWindow::abortRequested = 1;
        return;
    }
    RemoveTemporaryFiles();
    _exit(kAborted);
}

// First thing in main, so that no Ctrl-C or other ending signal finds the
// program without its handlers.
void CatchSignals() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    PrepareProcessForFileWrites();  // every other ending signal
}

void Say(const std::string& text) { std::fprintf(stderr, "sweepwav-cli: %s\n", text.c_str()); }

// Standard output holds what was asked for; a failure to write it is a
// failed run.
int FlushStandardOutput() {
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return kWritten;
    Say(WriteFailureText("to standard output", std::strerror(errno)));
    return kFailed;
}

void PutText(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

// The line that says what a run wrote.
std::string WrittenLine(const GeneratorState& s, bool toStdout) {
    const std::string where =
        toStdout ? std::string("standard output") : std::filesystem::absolute(s.sWrittenPath).string();
    if (s.bAbort) {
        return "aborted at tone " + std::to_string(s.iLastTone + 1) + " of " + std::to_string(s.iSteps + 1) +
               "; " + where + " written at full length, silent from there";
    }
    const std::string size = std::to_string(s.iWrittenBytes) + " bytes";
    const std::string seconds = NumberText(s.dElapsed) + " seconds";
    if (toStdout) return "wrote " + size + " to standard output in " + seconds;
    return "wrote " + where + " (" + size + ") in " + seconds;
}

// Writes the tone plan of the completed plan in state: CSV on standard
// output for "-", else the file the name's ending asks for, written safely.
int WritePlan(const GeneratorState& s, Services& services, const std::string& where) {
    if (where == "-") {
        PutText(PlanCsv(s));
        return FlushStandardOutput();
    }
    const Status written = services.write_text_file(where, PlanText(s, PlanFormatFor(where)));
    if (!written) {
        Say(WriteFailureText(FileDestination(where), written.reason()));
        return kFailed;
    }
    if (!written.warning().empty()) Say(written.warning());
    return kWritten;
}

int ShowVersion() {
    std::printf("sweepwav-cli %s\nCopyright (C) 2026 The sweepwav developers.\nLicense: MIT.\n", SWEEPWAV_VERSION);
    return FlushStandardOutput();
}

// A run of the command line: the window's state and controls, the services,
// and the options that fill the controls.
struct Session {
    const CliOptions& options;
    GeneratorState state;
    CliWindow window;
    CliServices services;

    Session(const CliOptions& o, CliWindow::Chatter chatter)
        : options(o), window(state, stderr, chatter), services(o.toStdout) {
        if (o.seed) services.fix_random_seed(*o.seed);
    }

    // Start-up, then the options typed into the controls.
    void load() {
        // With a folder of its own, or none at all, the run needs no analyser.
        Form_Load(state, window, services, !options.outputDir && !options.toStdout);
        if (options.outputDir) {
            state.sAppDirectory = *options.outputDir;
            state.sWavetableFolder.assign(1, '/');  // DIR + "/" + file name
        }
        for (const auto& [box, text] : options.texts) window.set_text(box, text);
        for (const auto& [box, ticked] : options.checks) window.set_checked(box, ticked);
        for (const auto& [list, position] : options.selections) window.select_index(list, position);
        state.bMarkers = options.markers;
    }

    // "Make file name" as a click before the run: the name it proposes is
    // printed as the run will write it, and then used. It only ever clears
    // bDataOK.
    int autoName() {
        state.bDataOK = true;
        AutoName_Click(state, window);
        if (!state.bDataOK) return kRefused;
        PutText(WavFileName(window.text(Control::FileName)) + "\n");
        return FlushStandardOutput();
    }

    // "Show Info" without the box or file: the report goes to stdout with
    // plain line ends, whatever its length, and no WAV is written. When the
    // plan takes standard output, the report goes to stderr.
    int info() {
        const bool planned = PlanFromEntries(state, window);
        window.finish();
        if (!planned) return state.bDataOK ? kFailed : kRefused;
        BuildInfoReport(state);
        std::string report;
        for (char c : state.sReport) {
            if (c != '\r') report += c;
        }
        if (options.plan == "-") {
            std::fputs(report.c_str(), stderr);
        } else {
            PutText(report);
            if (FlushStandardOutput() != kWritten) return kFailed;
        }
        return options.plan ? WritePlan(state, services, *options.plan) : kWritten;
    }

    // "Generate file", then the plan of the file just written (also after an
    // abort: it describes the planned file).
    int generate() {
        OK_Click(state, window, services);
        window.finish();
        if (!state.bDataOK) return kRefused;
        if (state.iCalcResult != 1 || !state.bFileWritten) return kFailed;
        window.say(WrittenLine(state, options.toStdout));
        if (options.plan && WritePlan(state, services, *options.plan) != kWritten) return kFailed;
        return state.bAbort ? kAborted : kWritten;
    }

    int run() {
        load();
        // Neither the analyser nor a home folder: nowhere to write the file.
        if (!options.info && OutputFolder(state).empty()) {
            Say(kNoHomeFolderMessage);
            return kFailed;
        }
        if (options.autoName) {
            if (const int status = autoName(); status != kWritten) return status;
        }
        return options.info ? info() : generate();
    }
};

int Run(int argc, char** argv) {
    CliOptions options;
    if (auto error = ParseOptions(std::vector<std::string>(argv + 1, argv + argc), options)) {
        Say(*error);
        return kRefused;
    }
    if (options.help) {
        std::fputs(kUsage, stdout);
        return FlushStandardOutput();
    }
    if (options.version) return ShowVersion();
    if (options.toStdout && isatty(STDOUT_FILENO)) {
        Say("--file - writes the WAV to standard output, which is a terminal; redirect it to a file or a pipe");
        return kRefused;
    }

    std::signal(SIGPIPE, SIG_IGN);  // a closed pipe is a failed write, with a message

    const auto chatter = options.quiet                  ? CliWindow::Chatter::Quiet
                         : isatty(STDERR_FILENO) != 0 ? CliWindow::Chatter::Bar
                                                      : CliWindow::Chatter::Lines;
    interruptNotice = chatter == CliWindow::Chatter::Quiet ? kNoNotice
                      : chatter == CliWindow::Chatter::Bar ? kNoticeInPlaceOfBar
                                                           : kNoticeLine;
    Session session(options, chatter);
    try {
        return session.run();
    } catch (const std::exception& e) {
        // A fault the procedures do not handle themselves, such as running out
        // of memory: the old file stays as it was.
        session.window.finish();
        Say("The run stopped: " + Fault_reason(e));
        return kFailed;
    }
}

}  // namespace
}  // namespace sweepwav

int main(int argc, char** argv) {
    sweepwav::CatchSignals();
    return sweepwav::Run(argc, argv);
}
