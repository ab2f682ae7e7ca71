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
// Texts are kept exactly as typed, in double quotes (a quote or a backslash
// in them is written with a backslash before it); check boxes are yes or no;
// the lists are kept by what their items stand for: the rate in Hz, the word
// length in bits, the number of channels and the shift mode 0, 1 or 2. The
// signal options, in [signal], may be left out: they are then off.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "core/controls.h"
#include "core/generator_state.h"
#include "core/result.h"
#include "core/services.h"
#include "core/window_ops.h"
#include "settings/signal_options.h"

namespace sweepwav {

// The format this version writes and the newest it reads.
inline constexpr int kSettingsFormat = 1;

// Every entry of the form, as typed: the eight text boxes, the three ticks
// (log steps, dither and the tone markers of the Options menu) and the four
// lists by value.
struct FormEntries {
    std::map<Control, std::string> texts;
    bool logSteps = false;
    bool dither = false;
    bool markers = false;
    std::int32_t rate = 0;
    std::int32_t bits = 0;
    std::int32_t channels = 0;
    std::int32_t shiftMode = 0;
    // The signal options (Options > Signal options...; all off at start).
    double leadInMs = 0, tailMs = 0, gapMs = 0, rampMs = 0;
    ChannelChoice signalChannels;
};

// The form as it stands.
FormEntries ReadForm(WindowOps& w, const GeneratorState& s);

// Puts the entries into the form, as if typed and chosen there.
void FillForm(WindowOps& w, GeneratorState& s, const FormEntries& entries);

// The settings file's text for the entries (LF line ends).
std::string SettingsText(const FormEntries& entries);

// The entries of a settings file's text, or the first problem with it: not
// a settings file, a newer format, a value that no list has, a setting
// missing or unknown.
Result<FormEntries> ParseSettings(std::string_view text);

// Opens a settings file and fills the form from it. A file that cannot be
// read or used shows one message naming the file and its first problem, and
// the form stays as it was. Returns whether the form was filled.
bool OpenSettingsFile(GeneratorState& s, WindowOps& w, Services& sv, const std::string& path);

// Writes the form as it stands into a settings file, the safe way; a
// failure shows its message. Returns whether the file was written.
bool SaveSettingsFile(GeneratorState& s, WindowOps& w, Services& sv, const std::string& path);

}  // namespace sweepwav
