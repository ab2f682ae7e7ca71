// The second line of a refusal on the command line: after the window's own
// message, which option and value it was about and what is accepted there.
#pragma once

#include <optional>
#include <string>

#include "cli/options.h"
#include "commands/settings_file.h"
#include "core/generator_state.h"
#include "core/window_ops.h"

namespace sweepwav {

// For a refusal that named an entry (state.refusedEntry), a line such as
//   --start-freq "1k" is not a number: write it with a "." as decimal point
//   and no units, as in 20, 1000 or 1e3
// naming the value as typed, or the box's value and "(the default)" when no
// option gave one. Empty when the refusal named no entry.
std::optional<std::string> EntryHint(const GeneratorState& state, WindowOps& window, const CliOptions& options);

// The second line for a value of a settings file that its entry does not
// take: --ramp-ms "5000" (from the settings file c.sweep) must be a number
// of milliseconds from 0 to 1000.
std::string SettingsValueHint(const RefusedValue& refused, const std::string& settingsFile);

// The refusal of --nominal where the options and settings give no bands,
// in two lines; empty otherwise.
std::optional<std::string> NominalWithoutBands(const GeneratorState& state, const CliOptions& options);

}  // namespace sweepwav
