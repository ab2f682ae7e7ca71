// Command-line options of sweepwav-cli: each carries the text a box of the
// window would hold, a tick to clear, or the item of a list to select.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/controls.h"
#include "settings/entry_values.h"

namespace sweepwav {

struct CliOptions {
    EntryTexts values;  // the entries the options set, as settings files write them
    std::optional<std::string> outputDir;
    std::optional<std::uint64_t> seed;
    std::optional<std::string> plan;  // where to write the tone plan ("-": standard output)
    bool toStdout = false;             // --file -: the WAV goes to standard output
    std::optional<std::string> settings;      // a settings file to start from
    std::optional<std::string> saveSettings;  // where to save the settings
    std::optional<std::string> preset;        // a preset to start from, by name
    bool listPresets = false;
    bool quiet = false;
    bool help = false;
    bool version = false;
    bool info = false;
    bool autoName = false;
    bool play = false;  // play the sweep; a file only with --file or --auto-name
};

// Parses the arguments after the program name, GNU style: "--name value",
// "--name=value", and the short forms -h, -V, -q and "-o DIR" (or -oDIR;
// flags may be grouped, as in -qo DIR). A long option may be shortened to
// any unambiguous beginning (--start-f); "--" ends the options. The next
// argument is taken as a value unless it reads as an option ("--..." or "-"
// and a letter), so --start-level -20 works. On failure returns the message
// to show instead, naming the option, suggesting the nearest option for an
// unknown one; a list value must name one of the list's items. A message
// of two lines (the refusal, then the value and what is accepted) has them
// apart by a newline.
[[nodiscard]] std::optional<std::string> ParseOptions(const std::vector<std::string>& args,
                                                      CliOptions& out);

// What the option of an entry accepts, as its refusals say it: "16, 18, 20,
// 22 or 24", "a number of milliseconds from 0 to 1000", "yes or no" for a
// tick.
std::string AcceptedValues(Control entry);

// The shell whose command lines --help's examples are written for: a
// POSIX shell continues a long line after " \", cmd.exe cannot, so there
// each example stays on one line.
enum class Shell { Posix, Cmd };
#ifdef _WIN32
inline constexpr Shell kNativeShell = Shell::Cmd;
#else
inline constexpr Shell kNativeShell = Shell::Posix;
#endif

// The text of --help.
std::string UsageText(Shell shell = kNativeShell);

// An option's description in --help, with what its entry says filled in
// ("silence between tones (0 to 60000)").
std::string HelpText(const Option& o);

}  // namespace sweepwav
