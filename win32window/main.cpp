// sweepwav.exe: the window for writing stepped sine-sweep WAV files on
// Windows.
//
// sweepwav FILE.sweep opens the window with the form filled from the
// settings file, as Explorer's Open does. sweepwav --version and --help
// answer on standard output without opening a window. Two options are meant
// for tests and are not listed: --seed N fixes the dither seed of every run
// (for files that can be compared byte for byte), and --open-settings FILE
// fills the form from a settings file as FILE alone does. An argument the
// program cannot use is said in a message box: a program started from
// Explorer has no console to say it in.
#include "platform/win32_io.h"  // windows.h first

#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "commands/outputs.h"
#include "core/text.h"
#include "platform/process.h"
#include "sweepwav_version.h"
#include "platform/system_services.h"
#include "win32window/form_window.h"

namespace {

constexpr int kUsageError = 2;

// Writes to standard output where there is one (a console the program was
// started from, a pipe or a file); a window program has none otherwise.
void Print(const std::string& text) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE) {
        if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
        out = GetStdHandle(STD_OUTPUT_HANDLE);
    }
    DWORD written = 0;
    WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// Says why the program ends here, where the user sees it: in a message box,
// and on standard output where there is one.
int Refuse(const std::string& text) {
    Print("sweepwav: " + text + "\n");
    const std::wstring wide = sweepwav::WideText(text + "\n\nsweepwav --help lists what the program takes.");
    MessageBoxW(nullptr, wide.c_str(), L"sweepwav", MB_OK | MB_ICONEXCLAMATION);
    return kUsageError;
}

struct Options {
    std::optional<std::uint64_t> seed;
    std::optional<std::string> settings;
};

// The options, or the exit status when the program ends here.
std::optional<int> ReadOptions(const std::vector<std::string>& args, Options& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--version" || arg == "-V" || arg == "-v") {
            Print("sweepwav " SWEEPWAV_VERSION "\n");
            return 0;
        }
        if (arg == "--help" || arg == "-h") {
            Print("Usage: sweepwav [options] [FILE.sweep]\nOpens the window for writing stepped sine-sweep test signals "
                  "as PCM WAV files,\nwith the form filled from the settings file FILE.sweep when one is given.\n\n"
                  "Options:\n  -h, --help     Show this help and quit.\n  -v, -V, --version  Show the "
                  "program's version and quit.\n");
            return 0;
        }
        const bool isOption = arg.size() > 1 && arg[0] == '-';
        if (arg == "--seed" && hasValue) {
            options.seed = std::stoull(args[++i]);
        } else if ((arg == "--open-settings" && hasValue) || !isOption) {
            if (options.settings) {
                return Refuse("one settings file at a time, not both " + sweepwav::ShownName(*options.settings) +
                              " and " + sweepwav::ShownName(args[i]));
            }
            options.settings = isOption ? args[++i] : arg;
        } else {
            return Refuse("unknown option " + sweepwav::ShownName(arg));
        }
    }
    return std::nullopt;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    // Names in the message boxes, the refusals of options included, are
    // escaped for people to read.
    sweepwav::ShowTextsFor(sweepwav::TextStyle::People);
    Options options;
    try {
        if (const auto status = ReadOptions(sweepwav::CommandLineArguments(0, nullptr), options)) return *status;
    } catch (const std::exception&) {
        return Refuse("--seed takes a whole number");
    }
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS |
                                                                          ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    sweepwav::DesktopServices services;
    if (options.seed) services.fix_random_seed(*options.seed);
    sweepwav::FormWindow window(services);
    if (!window.create(instance)) return 1;
    // Neither the analyser nor a drive root: nowhere to write files.
    if (sweepwav::OutputFolder(window.state()).empty()) {
        window.message_box(sweepwav::kNoHomeFolderMessage, window.state().sAppTitle, sweepwav::Icon::Exclamation);
        return 1;
    }
    if (options.settings) window.open_settings_file(*options.settings);
    return window.run(show);
}
