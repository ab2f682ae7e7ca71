// Settings files: a sweep as the form holds it, kept in a small text file
// (".sweep") so that it can be opened again, in the window or on the
// command line, and give the same file.
//
//   # sweepwav settings
//   [sweepwav]
//   format = 1
//
//   [sweep]
//   start_freq = "20"
//   ...
//
// Every entry with a settings key (settings/catalogue.h) is kept, in its
// section, in the catalogue's order. Texts are kept exactly as typed, in
// double quotes (a quote or a backslash in them is written with a backslash
// before it); ticks are yes or no; the lists are kept by what their items
// stand for: the rate in Hz, the word length in bits, the number of channels
// and the shift mode 0, 1 or 2. The signal options, in [signal], may be left
// out: they are then off.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/generator_state.h"
#include "core/result.h"
#include "core/services.h"
#include "core/window_ops.h"
#include "settings/entry_values.h"

namespace sweepwav {

// The newest format this version reads, and writes when a file keeps an
// entry that only it has (the tone frequencies); otherwise it writes the
// first format, which every version reads.
inline constexpr int kSettingsFormat = 2;
inline constexpr int kFirstSettingsFormat = 1;

// The settings file's text for the entries (LF line ends).
std::string SettingsText(const EntryTexts& entries);

// A value in a settings file that its entry does not take: the entry, and
// the value as the file gives it (without its quotes).
struct RefusedValue {
    Control entry;
    std::string text;
};

// The entries of a settings file's text (the signal options it leaves out
// at their start-up values), or the first problem with it: not a settings
// file, a newer format, a value the entry does not take, a setting missing
// or unknown. When the problem is a value, it is also put into *refused.
Result<EntryTexts> ParseSettings(std::string_view text, std::optional<RefusedValue>* refused = nullptr);

// Opens a settings file and fills the form from it. A file that cannot be
// read or used shows one message naming the file and its first problem, and
// the form stays as it was; a value its entry does not take is also put
// into *refused. Returns whether the form was filled.
bool OpenSettingsFile(GeneratorState& s, WindowOps& w, Services& sv, const std::string& path,
                      std::optional<RefusedValue>* refused = nullptr);

// Every entry that settings files keep, at its start-up value.
EntryTexts StartupEntries();

// "Reset to start-up values": every entry of the form, of the Options menu
// and of the options dialogs back to what start-up gives it. The output
// folder, found once at start-up, stays as it is.
void ResetToStartup(GeneratorState& s, WindowOps& w);

// What a settings file says it holds: the text of its first line when that
// is a comment ("# Octave bands ..." gives "Octave bands ..."); empty
// otherwise. The presets' lists show it.
std::string SettingsDescription(std::string_view text);

// Writes the form as it stands into a settings file, the safe way; a
// failure shows its message. Returns whether the file was written.
bool SaveSettingsFile(GeneratorState& s, WindowOps& w, Services& sv, const std::string& path);

}  // namespace sweepwav
