// Command-line options of sweepwav-cli: each carries the text a box of the
// window would hold, a tick to clear, or the item of a list to select.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/controls.h"

namespace sweepwav {

struct CliOptions {
    std::map<Control, std::string> texts;  // text boxes to set
    std::map<Control, bool> checks;        // check boxes to set
    std::map<Control, int> selections;     // list positions to select
    std::optional<std::string> outputDir;
    std::optional<std::uint64_t> seed;
    std::optional<std::string> plan;  // where to write the tone plan ("-": standard output)
    bool toStdout = false;             // --file -: the WAV goes to standard output
    bool markers = false;
    bool quiet = false;
    bool help = false;
    bool version = false;
    bool info = false;
    bool autoName = false;
};

// Parses the arguments after the program name, GNU style: "--name value",
// "--name=value", and the short forms -h, -V, -q and "-o DIR" (or -oDIR;
// flags may be grouped, as in -qo DIR). On failure returns the message to
// show instead, naming the option; a list value must name one of the list's
// items.
[[nodiscard]] std::optional<std::string> ParseOptions(const std::vector<std::string>& args,
                                                      CliOptions& out);

// The text of --help.
extern const char* const kUsage;

}  // namespace sweepwav
