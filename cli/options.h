// Command-line options of sweepwav-cli: each carries the text a box of the
// window would hold, a tick to clear, or the item of a list to select.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/controls.h"

namespace sweepwav {

struct CliOptions {
    std::map<Control, std::string> texts;  // text boxes to set
    std::map<Control, bool> checks;        // check boxes to set
    std::map<Control, int> selections;     // list positions to select
    std::optional<std::string> outputDir;
    std::optional<std::uint64_t> seed;
    bool quiet = false;
    bool help = false;
    bool version = false;
    bool info = false;
    bool autoName = false;
};

// Parses the arguments after the program name. On failure returns the
// message to show instead; a list value must name one of the list's items.
[[nodiscard]] std::optional<std::string> ParseOptions(const std::vector<std::string>& args,
                                                      CliOptions& out);

extern const char* const kUsage;

}  // namespace sweepwav
