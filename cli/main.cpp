// sweepwav-cli: runs the window's commands from the command line. It holds
// the texts the window's controls would hold and runs the very same command
// procedures, so messages and files match the window's exactly.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "app/commands.h"
#include "cli/cli_window.h"
#include "cli/options.h"
#include "platform/system_services.h"
#include "report/info_report.h"
#include "settings/auto_name.h"
#include "sweepwav_version.h"

namespace sweepwav {
namespace {

constexpr int kWritten = 0;
constexpr int kFailed = 1;
constexpr int kRefused = 2;
constexpr int kAborted = 130;

// The command line does not hold its final status line on screen.
class CliServices : public SystemServices {
public:
    void sleep_ms(int) override {}
};

void OnInterrupt(int) { CliWindow::abortRequested = 1; }

int Run(int argc, char** argv) {
    CliOptions options;
    if (auto error = ParseOptions(std::vector<std::string>(argv + 1, argv + argc), options)) {
        std::fprintf(stderr, "sweepwav-cli: %s\n", error->c_str());
        return kRefused;
    }
    if (options.help) {
        std::fputs(kUsage, stdout);
        return kWritten;
    }
    if (options.version) {
        std::printf("sweepwav-cli %s\n", SWEEPWAV_VERSION);
        return kWritten;
    }

    GeneratorState state;
    CliWindow window(state, stderr, options.quiet, isatty(STDERR_FILENO) != 0);
    CliServices services;
    if (options.seed) services.fix_random_seed(*options.seed);

    Form_Load(state, window, services, !options.outputDir.has_value());
    if (options.outputDir) {
        state.sAppDirectory = *options.outputDir;
        state.sWavetableFolder.assign(1, '/');  // DIR + "/" + file name
    }
    for (const auto& [box, text] : options.texts) window.set_text(box, text);
    for (const auto& [box, ticked] : options.checks) window.set_checked(box, ticked);
    for (const auto& [list, position] : options.selections) window.select_index(list, position);

    // "Make file name" as a click before the run: the name it proposes is
    // printed and then used. It only ever clears bDataOK.
    if (options.autoName) {
        state.bDataOK = true;
        AutoName_Click(state, window);
        if (!state.bDataOK) return kRefused;
        std::printf("%s\n", window.text(Control::FileName).c_str());
        std::fflush(stdout);
    }

    // "Show Info" without the box or file: the report goes to stdout with
    // plain line ends, whatever its length, and nothing is written.
    if (options.info) {
        const bool built = Build_Info_Report(state, window);
        window.finish();
        if (!built) return state.bDataOK ? kFailed : kRefused;
        std::string report;
        for (char c : state.sReport) {
            if (c != '\r') report += c;
        }
        std::fputs(report.c_str(), stdout);
        return kWritten;
    }

    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);

    OK_Click(state, window, services);
    window.finish();

    if (!state.bDataOK) return kRefused;
    if (state.iCalcResult != 1 || !state.bFileWritten) return kFailed;
    return state.bAbort ? kAborted : kWritten;
}

}  // namespace
}  // namespace sweepwav

int main(int argc, char** argv) { return sweepwav::Run(argc, argv); }
