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

// Selects the list item named by an option: by item value for the rate and
// word length, by number for channels (1 = first item) and shift mode
// (0 = first item). Returns false when no item matches.
bool SelectListItem(CliWindow& w, Control list, const std::string& value, std::string& allowed) {
    const auto& items = w.items(list);
    const bool byValue = list == Control::Samplerate || list == Control::Wordlength;
    const int firstNumber = list == Control::Channels ? 1 : 0;
    allowed.clear();
    int match = -1;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string name = byValue ? std::to_string(items[i].value)
                                         : std::to_string(static_cast<int>(i) + firstNumber);
        if (i > 0) allowed.append(i + 1 == items.size() ? " or " : ", ");
        allowed.append(name);
        if (name == value && match < 0) match = static_cast<int>(i);
    }
    if (match < 0) return false;
    w.select_index(list, match);
    return true;
}

const char* OptionName(Control list) {
    switch (list) {
        case Control::Samplerate: return "--rate";
        case Control::Wordlength: return "--bits";
        case Control::Channels: return "--channels";
        default: return "--shift-mode";
    }
}

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
    for (const auto& [list, value] : options.lists) {
        std::string allowed;
        if (!SelectListItem(window, list, value, allowed)) {
            std::fprintf(stderr, "sweepwav-cli: %s must be %s, not \"%s\"\n", OptionName(list),
                         allowed.c_str(), value.c_str());
            return kRefused;
        }
    }

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
