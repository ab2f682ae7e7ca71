// Every entry of the form and every option beside it, and every option of
// the command line, described once. The windows take their captions,
// tooltips, lists and start-up values from here; the command line its
// options, help and range hints; settings files their sections and keys;
// Show Info and the status bar the lines that name the options that are on.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/controls.h"
#include "core/generator_state.h"

namespace sweepwav {

// An item of a drop-down list and the value it carries.
struct ListItem {
    const char* text;
    std::int32_t value;          // 0 for items that carry no value
    const char* name = nullptr;  // how settings files name it, for lists named so
    const SampleFormat* sampleFormat = nullptr;  // a word length's coding and container
};

// What kind of value an entry holds.
enum class EntryKind {
    Number,        // a box that must hold a number
    Name,          // the file name box
    Tick,          // a check box or a tick of the Options menu
    List,          // a drop-down list
    OptionNumber,  // a number of the options beside the form (the lengths in ms)
    Channels,      // the channels that carry the signal: all, each or a list
    Frequencies,   // a list of frequencies in Hz
    Button,        // a command button
};

// How a list's items are named outside the window (command line, settings
// files): by the value they carry, by their position + 1 (a count), or by
// their position.
enum class ItemName { Value, Count, Position, Name };

// Where an entry is set.
enum class Place { Form, OptionsMenu, SignalDialog, FrequenciesDialog };

struct Entry {
    Control control;
    EntryKind kind;
    Place place;
    // The name screen readers hear, and the caption of the dialog's row;
    // the text on a button or tick (with & before its Alt letter).
    std::string_view caption;
    std::string_view text;
    std::string_view tooltip;
    // What the entry holds at start-up, as the command line and settings
    // files write it (a list's item by ItemName).
    std::string_view startup;
    // The range of a number (the frequencies' upper end is the rate's
    // frequency limit), its unit, and the unit in words ("milliseconds").
    double low = 0;
    double high = 0;
    bool highIsFrequencyLimit = false;
    std::string_view unit;
    std::string_view unitName;
    // A list's items; for the signal channels, how the dialog offers them:
    // all, a list, or each in turn.
    std::span<const ListItem> items;
    ItemName itemName = ItemName::Value;
    // The settings file's section and key; none for buttons.
    std::string_view section;
    std::string_view key;
    // The options beside the form: the line of Show Info and the words of
    // the status bar that name it when it is on, that is not 0 ("Gap between
    // tones", "gap"), and a number's value in the state.
    std::string_view reportLabel;
    std::string_view statusLabel;
    double SignalOptions::*value = nullptr;
    // A tick, a list item or a text that the state holds rather than the form.
    bool GeneratorState::*flag = nullptr;
    std::string GeneratorState::*words = nullptr;
    // Settings files keep it only when it is not at its start-up value (and
    // then say that they are of the newer format that reads it).
    bool writtenWhenSet = false;
};

// The entries, in the order settings files keep them and Show Info and the
// status bar name them: the sweep, the file, the signal options (in the
// Signal options dialog's order); then the form's buttons. The form's focus
// order is that of Control.
std::span<const Entry> Entries();

// The entry of a control; nullptr for the display controls.
const Entry* FindEntry(Control c);
const Entry& EntryOf(Control c);

// The form's plain labels by object name, in their rows, and the names of
// its two progress lines.
struct FormLabel {
    std::string_view name;
    std::string_view text;
};
std::span<const FormLabel> FormLabels();

// What the command line does with an option.
enum class OptionAction {
    Set,    // gives the entry's value
    Tick,   // ticks the entry
    Clear,  // clears it
    OutputDir,
    Seed,
    Plan,
    Settings,
    SaveSettings,
    Quiet,
    Help,
    Version,
    Info,
    AutoName,
    Preset,
    ListPresets,
    Play,
};

// The groups of --help, in order.
enum class OptionGroup { Sweep, File, Commands, Signal, SettingsFiles, Other };

struct Option {
    std::string_view name;  // "--start-freq"
    OptionAction action;
    std::optional<Control> entry = std::nullopt;  // for Set, Tick and Clear
    std::string_view valueName = {};              // "HZ"; none: takes no value
    // The lines of --help after the option, with {default}, {range},
    // {choices} and {items} standing for what the entry says; none: the
    // option is not listed.
    std::string_view help = {};
    OptionGroup group = OptionGroup::Other;
    char shortName = 0;
    // Where the option stands among those a shortened or mistyped name could
    // mean: the order they have always been offered in ("--s" names
    // --start-freq first).
    int matchOrder = 0;
    // What the value stands for, less this beginning ("bands" for --bands 3,
    // which gives the item named "bands3").
    std::string_view valuePrefix = {};
    // Another entry that the option sets, and the value it gives it.
    std::optional<Control> alsoSets = std::nullopt;
    std::string_view alsoValue = {};
    // When the option came: 0 with the first ones, higher for those added
    // once scripts were written against them. A shortened name stands for an
    // option only where no option that came earlier begins with it, so that
    // a new option never takes a shortened name that used to work.
    int since = 0;
};

// The command line's options, in the order --help lists them, and in their
// match order.
std::span<const Option> Options();
std::span<const Option* const> OptionsInMatchOrder();

// Names that users bring from other tools, and the options they are after
// ("--sample-rate": "--rate"), for the suggestion after an unknown option.
struct OptionAlias {
    std::string_view typed;
    std::string_view meant;
};
std::span<const OptionAlias> OptionAliases();

// The option that gives an entry its value ("--start-freq" for StartFreq).
std::string_view OptionNameOf(Control entry);

// A list's items as the command line and settings files name them ("44100"
// for 44.1kHz, "2" for stereo, "1" for shift frequency to fit time).
std::string ItemNameAt(const Entry& list, std::size_t position);

// The sample format of the word-length item of that value (the word length
// in bits); an empty one, of no container, for a value no item has.
SampleFormat WordLengthFormat(std::int32_t bits);

// The position of the item a name stands for, if any.
std::optional<int> ItemPosition(const Entry& list, std::string_view name);

// "a, b, c or d": every item's name; with a prefix, the names that begin
// with it, less the prefix ("1, 3, 6, 12 or 24" for "bands").
std::string ItemNames(const Entry& list, std::string_view prefix = {});

// The upper end of an entry's range at the rate.
double RangeHigh(const Entry& e, std::int32_t sampleRate);

// An entry's range as the command line says it: "0 to 1000",
// "-200 to 0 dBFS", "10 to 21609 Hz" (the limit at the rate).
std::string RangeText(const Entry& e, std::int32_t sampleRate = 0);

// The value of a number of the options beside the form, as the state holds it.
double& OptionValue(SignalOptions& options, const Entry& e);
double OptionValue(const SignalOptions& options, const Entry& e);

// The options that are on, as Show Info ends with them ("Gap between tones =
// 150ms", "Signal channels = 1, 3") and as the status bar names them ("gap
// 150 ms", "channels 1,3").
std::vector<std::string> SignalOptionLines(const SignalOptions& options);
std::vector<std::string> SignalOptionWords(const SignalOptions& options);

}  // namespace sweepwav
