// sweepwav-cli: runs the window's commands from the command line. It holds
// the texts the window's controls would hold and runs the very same command
// procedures, so messages and files match the window's exactly.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_window.h"
#include "cli/entry_hint.h"
#include "cli/final_line.h"
#include "cli/held_signals.h"
#include "cli/options.h"
#include "commands/commands.h"
#include "commands/outputs.h"
#include "commands/settings_file.h"
#include "commands/window_texts.h"
#include "core/text.h"
#include "platform/presets.h"
#include "platform/process.h"
#include "platform/standard_output.h"
#include "platform/system_audio_output.h"
#include "platform/system_services.h"
#include "platform/temporary_files.h"
#include "sweepwav_version.h"

namespace sweepwav {
namespace {

constexpr int kWritten = 0;
constexpr int kFailed = 1;
constexpr int kRefused = 2;
constexpr int kAborted = 130;

// Where the window holds a run's outcome for a moment, the command line
// keeps it on the terminal for good; and it can send the WAV to standard
// output. (The WAV is the one file the commands start with create_file; the
// plan and the settings go through write_text_file, always to their names.)
class CliServices : public SystemServices {
public:
    CliServices(bool toStdout, CliWindow& window) : toStdout_(toStdout), window_(window) {}
    void sleep_ms(int) override { window_.hold(); }
    Result<std::unique_ptr<OutputFile>> create_file(const std::string& path) override {
        if (toStdout_) return StandardOutputFile();
        return SystemServices::create_file(path);
    }

private:
    bool toStdout_;
    CliWindow& window_;
};

volatile std::sig_atomic_t interrupts = 0;

// How a Ctrl-C before synthesis is told: not at all (--quiet), as a line,
// as a line in place of the progress bar on a terminal, or after it on a
// console that cannot erase it.
enum InterruptNotice : int { kNoNotice, kNoticeLine, kNoticeInPlaceOfBar, kNoticeAfterBar };
volatile std::sig_atomic_t interruptNotice = kNoticeLine;

// Until synthesis begins, Ctrl-C ends the run at once, with nothing written.
// From then on the first one acts as Abort, and a second one stops at once,
// leaving the old file as it was, unless the new one has already taken its
// name.
void OnInterrupt() {
    if (!CliWindow::synthesisBegun) {
        static constexpr char kClearLine[] = "\r\033[K";
        static constexpr char kNotice[] = "sweepwav-cli: interrupted; nothing was written\n";
        if (interruptNotice == kNoticeInPlaceOfBar) TellAtOnce(kClearLine, sizeof kClearLine - 1);
        if (interruptNotice == kNoticeAfterBar) TellAtOnce("\n", 1);
        if (interruptNotice != kNoNotice) TellAtOnce(kNotice, sizeof kNotice - 1);
        EndAtOnce(kAborted);
    }
    interrupts = interrupts + 1;
    if (interrupts == 1) {
        CliWindow::abortRequested = 1;
        return;
    }
    if (HoldIfFileNamed(SIGINT)) return;
    EndAtOnce(kAborted);
}

// First thing in main, so that no Ctrl-C or other ending signal finds the
// program without its handlers.
void CatchSignals() {
    CatchInterrupts(OnInterrupt);
    PrepareProcessForFileWrites();  // every other ending signal
    HoldTerminationOnceNamed();     // SIGTERM and SIGHUP once the file takes its name
}

// Each line of the text as a line of its own.
void Say(const std::string& text) {
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos; start = end + 1, end = text.find('\n', start)) {
        WriteText(StandardStream::Error, "sweepwav-cli: " + text.substr(start, end - start) + "\n");
    }
    WriteText(StandardStream::Error, "sweepwav-cli: " + text.substr(start) + "\n");
}

// Standard output holds what was asked for; a failure to write it is a
// failed run.
int FlushStandardOutput() {
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return kWritten;
    Say(WriteFailureText("to standard output", std::strerror(errno)));
    return kFailed;
}

void PutText(const std::string& text) { WriteText(StandardStream::Output, text); }

// Writes the tone plan of the completed plan in state: CSV on standard
// output for "-", else the file the name's ending asks for, written safely.
int WritePlan(const GeneratorState& s, Services& services, const std::string& where) {
    if (where == "-") {
        PutText(PlanFileText(s, PlanFormat::Csv));
        return FlushStandardOutput();
    }
    const std::string path = AbsoluteNormalFile(where);
    const Status written = services.write_text_file(path, PlanFileText(s, PlanFormatOf(where)));
    if (!written) {
        Say(FileWriteFailureText(path, written));
        return kFailed;
    }
    if (!written.warning().empty()) Say(written.warning());
    return kWritten;
}

// Standard output carries one stream. The options that print there are
// checked against each other as they are parsed; a file named for the plan
// or the settings may be standard output too (/dev/stdout, or the file it
// was redirected to), and is then one more.
std::optional<std::string> SecondStreamOnStandardOutput(const CliOptions& options) {
    std::vector<std::string> files, others;
    for (const auto& [option, file] : {std::pair{"--plan", options.plan}, {"--save-settings", options.saveSettings}}) {
        if (file && *file != "-" && IsStandardOutput(*file)) {
            files.push_back(std::string(option) + " " + ShownName(*file));
        }
        if (file && *file == "-") others.push_back(std::string(option) + " -");
    }
    // Saving settings, or --info, writes no WAV.
    if (options.toStdout && !options.info && !options.saveSettings) others.emplace_back("--file -");
    if (options.info && options.plan != "-") others.emplace_back("--info");
    if (options.autoName) others.emplace_back("--auto-name");
    if (files.empty() || files.size() + others.size() < 2) return std::nullopt;
    return files[0] + " and " + (files.size() > 1 ? files[1] : others[0]) + " cannot both use standard output";
}

int ShowVersion() {
    PutText(std::string("sweepwav-cli ") + SWEEPWAV_VERSION +
            "\nCopyright (C) 2026 The sweepwav developers.\nLicense: MIT.\n");
    return FlushStandardOutput();
}

// The presets beside the program or in its installed data folder.
std::vector<Preset> Presets() { return FindPresets(PresetFolders(ProgramFolder())); }

std::string NoPresetsText() {
    std::string folders;
    for (const std::string& folder : PresetFolders(ProgramFolder())) {
        folders += (folders.empty() ? "" : " or ") + ShownName(folder);
    }
    return "found no presets (looked in " + (folders.empty() ? std::string("no folder") : folders) + ")";
}

// --list-presets: each preset's name and what its file says it holds.
int ListPresets() {
    const std::vector<Preset> presets = Presets();
    if (presets.empty()) {
        Say(NoPresetsText());
        return kFailed;
    }
    std::size_t width = 0;
    for (const Preset& preset : presets) width = std::max(width, preset.name.size());
    SystemServices files;
    std::string list;
    for (const Preset& preset : presets) {
        const Result<std::string> text = files.read_text_file(preset.path);
        const std::string about = text ? SettingsDescription(text.value()) : std::string();
        list += preset.name;
        if (!about.empty()) list += std::string(width + 2 - preset.name.size(), ' ') + about;
        list += "\n";
    }
    PutText(list);
    return FlushStandardOutput();
}

// --preset NAME: its settings file becomes the one the sweep starts from.
// Returns the refusal when there is no such preset.
std::optional<std::string> ChoosePreset(CliOptions& options) {
    if (!options.preset) return std::nullopt;
    const std::vector<Preset> presets = Presets();
    if (const Preset* preset = FindPreset(presets, *options.preset)) {
        options.settings = preset->path;
        return std::nullopt;
    }
    if (presets.empty()) return NoPresetsText();
    std::string names;
    for (const Preset& preset : presets) names += (names.empty() ? "" : ", ") + ShownName(preset.name);
    return "there is no preset " + ShownValue(*options.preset) + "; the presets are " + names;
}

// A run of the command line: the window's state and controls, the services,
// and the options that fill the controls.
struct Session {
    const CliOptions& options;
    GeneratorState state;
    CliWindow window;
    CliServices services;

    Session(const CliOptions& o, CliWindow::Chatter chatter, Redraw redraw)
        : options(o), window(state, chatter, redraw, ErrorLineWidth()), services(o.toStdout, window) {
        if (o.seed) services.fix_random_seed(*o.seed);
    }

    // Start-up, then the settings file and the options typed into the
    // controls. Returns kRefused when the settings file could not be used.
    int load() {
        // Only a WAV written into the analyser's folder needs the analyser.
        Form_Load(state, window, services, writesIntoAnalyserFolder());
        // DIR + "/" + file name ("\\" on Windows)
        if (options.outputDir) {
            state.outputFolder = {*options.outputDir + static_cast<char>(std::filesystem::path::preferred_separator),
                                  FolderLookup::NotDone};
        }
        // Every line names the file by the same absolute, tidy path. No folder
        // at all (no analyser and no home) stays empty, and is refused.
        if (!state.outputFolder.path.empty()) state.outputFolder.path = AbsoluteNormalFolder(state.outputFolder.path);
        // A settings file first, as File > Open settings would fill the form;
        // the options then change single entries.
        std::optional<RefusedValue> refusedValue;
        if (options.settings &&
            !OpenSettingsFile(state, window, services, AbsoluteNormalFile(*options.settings), &refusedValue)) {
            window.finish();
            // A value of an option beside the form is named as the option
            // gives it, like a box's value (the file names the others).
            if (refusedValue && FindEntry(refusedValue->entry)->place != Place::Form) {
                Say(SettingsValueHint(*refusedValue, *options.settings));
            }
            return kRefused;
        }
        FillEntries(window, state, options.values);
        if (const auto refusal = NominalWithoutBands(state, options)) {
            Say(*refusal);
            return kRefused;
        }
        return kWritten;
    }

    // Whether a WAV is to be written, and into the analyser's folder.
    bool writesIntoAnalyserFolder() const {
        return !options.outputDir && !options.toStdout && !options.saveSettings && !options.info &&
               (!options.play || playWritesFile());
    }

    // --play writes the file only when one is named (or the name proposed).
    bool playWritesFile() const {
        return options.values.contains(Control::FileName) || options.toStdout || options.autoName;
    }

    // The sweep as the options made it, into a settings file ("-": standard
    // output). Saving never starts a run: with --info or --plan the sweep is
    // then described; otherwise that is all. Returns whether to go on, or
    // the exit status.
    std::optional<int> saveSettings() {
        if (!options.saveSettings) return std::nullopt;
        if (*options.saveSettings == "-") {
            PutText(SettingsText(ReadEntries(window, state)));
            if (FlushStandardOutput() != kWritten) return kFailed;
        } else if (!SaveSettingsFile(state, window, services, AbsoluteNormalFile(*options.saveSettings))) {
            return kFailed;
        }
        return options.info || options.plan ? std::nullopt : std::optional<int>(kWritten);
    }

    // "Make file name" as a click before the run: the name it proposes is
    // printed as the run will write it, and then used. It only ever clears
    // bDataOK.
    int autoName() {
        state.bDataOK = true;
        AutoName_Click(state, window);
        if (!state.bDataOK) return refused();
        PutText(FileNameFor(window.text(Control::FileName)) + "\n");
        return FlushStandardOutput();
    }

    // "Show Info" without the box or file: with --info the report goes to
    // stdout with plain line ends, whatever its length (to stderr when the
    // plan takes standard output), then the plan of --plan; no WAV is
    // written.
    int describe() {
        const bool planned = PlanFromEntries(state, window);
        window.finish();
        if (!planned) return state.bDataOK ? kFailed : refused();
        std::string report;
        for (char c : InfoReport(state)) {
            if (c != '\r') report += c;
        }
        if (!options.info) {
            // --plan alone, beside --save-settings
        } else if (options.plan == "-") {
            WriteText(StandardStream::Error, report);
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
        if (!state.bDataOK) return refused();
        const int held = HeldSignal();  // a stop that waited for this report
        if (state.iCalcResult != 1 || !state.bFileWritten) {
            if (held) return EndAsHeld(held);
            if (state.iCalcResult == 1) adviseOnFallbackFolder();
            return kFailed;
        }
        window.say(WrittenLine(state, options.toStdout, held != 0));
        if (held) return EndAsHeld(held);
        if (options.plan && WritePlan(state, services, *options.plan) != kWritten) return kFailed;
        return state.bAbort ? kAborted : kWritten;
    }

    // "Play", with the file when one is named: what was played, then what
    // was written, and the plan of --plan.
    int play() {
        const bool toFile = playWritesFile();
        Play_Click(state, window, services, *SystemAudioOutput(), toFile);
        window.finish();
        if (!state.bDataOK) return refused();
        const int held = HeldSignal();  // a stop that waited for this report
        if (state.iCalcResult != 1 || !state.bPlayed) return held ? EndAsHeld(held) : kFailed;
        window.say(PlayedLine(state));
        if (toFile) window.say(WrittenLine(state, options.toStdout, held != 0));
        if (held) return EndAsHeld(held);
        if (options.plan && WritePlan(state, services, *options.plan) != kWritten) return kFailed;
        return state.bAbort ? kAborted : kWritten;
    }

    // A file that could not be written where the analyser's folder was not
    // found: how to write it elsewhere.
    void adviseOnFallbackFolder() {
        if (state.outputFolder.lookup != FolderLookup::NotFound || options.outputDir) return;
        Say("the analyser's folder was not found, so files go into " + ShownName(OutputFolder(state)) +
            "; write them elsewhere with -o DIR, or set the analyser's folder " + kAnalyserFolderSetting);
    }

    // A refused entry: after the window's message, the option and value it
    // was about and what is accepted there.
    int refused() {
        window.finish();
        if (auto hint = EntryHint(state, window, options)) Say(*hint);
        return kRefused;
    }

    int run() {
        if (const int loaded = load(); loaded != kWritten) return loaded;
        // The proposed name is the one a settings file keeps.
        if (options.autoName) {
            if (const int status = autoName(); status != kWritten) return status;
        }
        if (const auto saved = saveSettings()) return *saved;
        if (options.info || options.saveSettings) return describe();
        if (options.play && !playWritesFile()) return play();
        // Neither the analyser nor a home folder: nowhere to write the file.
        if (OutputFolder(state).empty()) {
            Say(kNoHomeFolderMessage);
            return kFailed;
        }
        return options.play ? play() : generate();
    }
};

int Run(int argc, char** argv) {
    PrepareStandardStreams();
    CliOptions options;
    if (auto error = ParseOptions(CommandLineArguments(argc, argv), options)) {
        Say(*error);
        return kRefused;
    }
    if (options.help) {
        PutText(UsageText());
        return FlushStandardOutput();
    }
    if (options.version) return ShowVersion();
    if (options.listPresets) return ListPresets();
    if (const auto refusal = ChoosePreset(options)) {
        Say(*refusal);
        return kRefused;
    }
    if (options.toStdout && IsTerminal(StandardStream::Output)) {
        Say("--file - writes the WAV to standard output, which is a terminal; redirect it to a file or a pipe");
        return kRefused;
    }
    if (const auto refusal = SecondStreamOnStandardOutput(options)) {
        Say(*refusal);
        return kRefused;
    }

    FailWritesToClosedPipes();  // a closed pipe is a failed write, with a message

    const Redraw redraw = ErrorRedraw();
    const auto chatter = options.quiet              ? CliWindow::Chatter::Quiet
                         : redraw != Redraw::None ? CliWindow::Chatter::Bar
                                                  : CliWindow::Chatter::Lines;
    interruptNotice = chatter == CliWindow::Chatter::Quiet ? kNoNotice
                      : chatter == CliWindow::Chatter::Lines ? kNoticeLine
                      : redraw == Redraw::Sequences        ? kNoticeInPlaceOfBar
                                                           : kNoticeAfterBar;
    Session session(options, chatter, redraw);
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
