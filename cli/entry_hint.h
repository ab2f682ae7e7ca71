// The second line of a refusal on the command line: after the window's own
// message, which option and value it was about and what is accepted there.
#pragma once

#include <optional>
#include <string>

#include "cli/options.h"
#include "core/generator_state.h"
#include "core/window_ops.h"

namespace sweepwav {

// For a refusal that named an entry (state.refusedEntry), a line such as
//   --start-freq "1k" is not a number: write it with a "." as decimal point
//   and no units, as in 20, 1000 or 1e3
// naming the value as typed, or the box's value and "(the default)" when no
// option gave one. Empty when the refusal named no entry.
std::optional<std::string> EntryHint(const GeneratorState& state, WindowOps& window, const CliOptions& options);

}  // namespace sweepwav
