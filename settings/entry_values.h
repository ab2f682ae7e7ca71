// The values of the entries as the command line and settings files write
// them: a box's text as typed, "yes" or "no" for a tick, a list's item by
// its name (ItemNameAt), a length in ms, and the signal channels as "all",
// "each" or a list ("1,3"). Read from and put into the form and the state
// alike, so that a new entry needs nothing here.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "core/generator_state.h"
#include "core/window_ops.h"
#include "settings/catalogue.h"

namespace sweepwav {

// Entries by control, each with its value as text.
using EntryTexts = std::map<Control, std::string>;

// Every entry that settings files keep, as the form and the state hold it.
EntryTexts ReadEntries(WindowOps& w, const GeneratorState& s);

// Puts the given values into the form and the state, as if typed and chosen
// there. Each must be one that CheckedValue accepts.
void FillEntries(WindowOps& w, GeneratorState& s, const EntryTexts& values);

// Where a value comes from: typed by the user (the form, the command line),
// or read from a settings file, which may come from another bench.
enum class ValueSource { Typed, SettingsFile };

// A value for the entry as the command line and settings files give it,
// tidied as the entry keeps it ("12.50" stays "12.50", a list's name stays
// as it is); empty when the entry does not take it. Boxes take any text,
// but for a file name from a settings file, which must be a plain name in
// the output folder (see PlainFileName).
std::optional<std::string> CheckedValue(const Entry& e, std::string_view text,
                                        ValueSource source = ValueSource::Typed);

// Whether a name stays one plain name in the output folder, whatever the
// system: no control character (a NUL would end the name before its ".wav"),
// no folder separator ("/" or "\"), and not the folder above ("..").
bool PlainFileName(std::string_view name);

// "all", "each", or channel numbers from 1 to 8 separated by commas ("1,3",
// blanks around them allowed), each channel once; empty when the text is
// none of these.
std::optional<ChannelChoice> ParseChannelChoice(std::string_view text);

// The first channel that a list of channel numbers names twice, if any.
std::optional<int> RepeatedChannel(std::string_view text);
std::string ChannelChoiceText(const ChannelChoice& choice);

}  // namespace sweepwav
