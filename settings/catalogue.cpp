#include "settings/catalogue.h"

#include "numbers/number_text.h"
#include "settings/validation.h"

namespace sweepwav {

namespace {

// Item value: the rate in Hz.
constexpr ListItem kSampleRateItems[] = {
    {"32kHz", 32000}, {"44.1kHz", 44100}, {"48kHz", 48000}, {"96kHz", 96000}, {"192kHz", 192000},
};

// Item value: the word length in bits; each carries how its samples are
// coded and stored.
constexpr SampleFormat kPcm16 = IntegerPcm(16), kPcm18 = IntegerPcm(18), kPcm20 = IntegerPcm(20),
                       kPcm22 = IntegerPcm(22), kPcm24 = IntegerPcm(24);
constexpr ListItem kWordLengthItems[] = {
    {"16 bit", 16, nullptr, &kPcm16}, {"18 bit", 18, nullptr, &kPcm18}, {"20 bit", 20, nullptr, &kPcm20},
    {"22 bit", 22, nullptr, &kPcm22}, {"24 bit", 24, nullptr, &kPcm24},
};

// Every word length has a format whose valid bits are the item's value and
// fit a container the store can fill.
constexpr bool FormatsFitTheirItems(std::span<const ListItem> items) {
    for (const ListItem& item : items) {
        const SampleFormat* f = item.sampleFormat;
        if (f == nullptr || f->validBits != item.value || f->validBits > 8 * f->containerBytes ||
            f->containerBytes > kMaxContainerBytes) {
            return false;
        }
    }
    return true;
}
static_assert(FormatsFitTheirItems(kWordLengthItems));

// The channel count is the position + 1.
constexpr ListItem kChannelItems[] = {
    {"mono", 0}, {"stereo", 0}, {"3 ch", 0}, {"4 ch", 0}, {"5 ch", 0}, {"6 ch", 0}, {"7 ch", 0}, {"8 ch", 0},
};

// The shift mode is the position.
constexpr ListItem kShiftModeItems[] = {
    {"use frequency and time as entered", 0},
    {"shift frequency to fit time", 0},
    {"shift time to fit frequency", 0},
};

// Where the tones are: the form's steps, the centres of 1/N-octave bands
// (the item value is N), or a list.
constexpr ListItem kSpacingItems[] = {
    {"The form's steps", 0, "steps"},
    {"Octave bands", 1, "bands1"},
    {"Third-octave bands", 3, "bands3"},
    {"1/6-octave bands", 6, "bands6"},
    {"1/12-octave bands", 12, "bands12"},
    {"1/24-octave bands", 24, "bands24"},
    {"These frequencies:", 0, "list"},
};

// How the Signal options dialog offers the channel choice.
constexpr ListItem kChannelModeItems[] = {
    {"All channels", 0}, {"These channels:", 0}, {"One channel at a time", 0},
};

using enum EntryKind;
using enum Place;

// An entry kept in settings files under section and key.
constexpr Entry Make(Control c, EntryKind kind, Place place, std::string_view caption, std::string_view text,
                     std::string_view tooltip, std::string_view startup, std::string_view section,
                     std::string_view key) {
    Entry e{};
    e.control = c;
    e.kind = kind;
    e.place = place;
    e.caption = caption;
    e.text = text;
    e.tooltip = tooltip;
    e.startup = startup;
    e.section = section;
    e.key = key;
    return e;
}

// A number box of the form: its caption, tooltip, start-up text, range,
// unit and settings key.
constexpr Entry NumberBox(Control c, std::string_view caption, std::string_view tooltip, std::string_view startup,
                          double low, double high, std::string_view unit, std::string_view key) {
    Entry e = Make(c, Number, Form, caption, {}, tooltip, startup, "sweep", key);
    e.low = low;
    e.high = high;
    e.unit = unit;
    return e;
}

constexpr Entry FrequencyBox(Control c, std::string_view caption, std::string_view tooltip, std::string_view startup,
                             std::string_view key) {
    Entry e = NumberBox(c, caption, tooltip, startup, 10, 0, "Hz", key);
    e.highIsFrequencyLimit = true;
    return e;
}

constexpr Entry ListBox(Control c, std::string_view caption, std::string_view tooltip, std::string_view startup,
                        std::span<const ListItem> items, ItemName itemName, std::string_view section,
                        std::string_view key) {
    Entry e = Make(c, List, Form, caption, {}, tooltip, startup, section, key);
    e.items = items;
    e.itemName = itemName;
    return e;
}

constexpr Entry CommandButton(Control c, std::string_view text, std::string_view tooltip) {
    return Make(c, EntryKind::Button, Form, text, text, tooltip, {}, {}, {});
}

// A length of the Signal options dialog, and how Show Info and the status
// bar name it.
constexpr Entry Length(Control c, std::string_view caption, std::string_view text, std::string_view tooltip,
                       double high, std::string_view key, std::string_view reportLabel, std::string_view statusLabel,
                       double SignalOptions::*value) {
    Entry e = Make(c, OptionNumber, SignalDialog, caption, text, tooltip, "0", "signal", key);
    e.high = high;
    e.unit = "ms";
    e.unitName = "milliseconds";
    e.reportLabel = reportLabel;
    e.statusLabel = statusLabel;
    e.value = value;
    return e;
}

constexpr Entry MarkersTick() {
    Entry e = Make(Control::WriteMarkers, Tick, OptionsMenu, "Write tone markers", "Write tone &markers",
                   "Mark every tone in the file with a cue point and a labelled region", "no", "file", "markers");
    e.flag = &GeneratorState::markers;
    return e;
}

// The entries of the Frequencies dialog, kept in [sweep] only when set.
constexpr Entry SpacingList() {
    Entry e = Make(Control::Spacing, List, FrequenciesDialog, "Tones at", "&Tones at:",
                   "The form's evenly spaced steps, the centres of fractional-octave bands from the start to the end "
                   "frequency, or a list of frequencies",
                   "steps", "sweep", "spacing");
    e.items = kSpacingItems;
    e.itemName = ItemName::Name;
    e.reportLabel = "Frequencies";
    e.statusLabel = "Frequencies";
    e.words = &GeneratorState::toneSpacing;
    e.writtenWhenSet = true;
    return e;
}

constexpr Entry NominalTick() {
    Entry e = Make(Control::NominalBands, Tick, FrequenciesDialog, "Nominal frequencies",
                   "&Nominal frequencies (31.5, 63, 125 Hz ...)",
                   "Each band's tone at its nominal frequency rather than at its exact centre", "no", "sweep",
                   "nominal_bands");
    e.flag = &GeneratorState::nominalBands;
    e.writtenWhenSet = true;
    return e;
}

constexpr Entry FrequencyListText() {
    Entry e = Make(Control::FrequencyList, Frequencies, FrequenciesDialog, "Frequency list", "&Frequencies:",
                   "The frequencies of the tones in Hz, in the order they play, separated by commas", "", "sweep",
                   "frequencies");
    e.unit = "Hz";
    e.words = &GeneratorState::toneList;
    e.writtenWhenSet = true;
    return e;
}

constexpr Entry ChannelsChoice() {
    Entry e = Make(Control::SignalChannels, Channels, SignalDialog, "Signal on", "&Signal on:",
                   "The channels that carry the signal; the others are silent", "all", "signal", "channels");
    e.low = 1;
    e.high = 8;
    e.items = kChannelModeItems;
    e.reportLabel = "Signal channels";
    e.statusLabel = "channels";
    return e;
}

// Every entry, in the order settings files keep them: the sweep, the file,
// the signal options; then the form's command buttons. (The form's focus
// order is that of Control.)
constexpr Entry kEntries[] = {
    FrequencyBox(Control::StartFreq, "Sweep frequency from (Hz)", "Starting frequency of the sweep in Hz", "20",
                 "start_freq"),
    FrequencyBox(Control::EndFreq, "Sweep frequency to (Hz)", "Ending frequency of the sweep in Hz", "20000",
                 "end_freq"),
    NumberBox(Control::StartLevel, "Sweep amplitude from (dBFS)", "Starting amplitude of the sweep in dBFS", "0", -200,
              0, "dBFS", "start_level"),
    NumberBox(Control::EndLevel, "Sweep amplitude to (dBFS)", "Ending level of the sweep in dBFS", "0", -200, 0,
              "dBFS", "end_level"),
    NumberBox(Control::Steps, "Number of sweep steps", "Number of steps in the sweep (= tones - 1)", "10", 0, 1000, "",
              "steps"),
    Make(Control::Logsteps, Tick, Form, "Use log frequency steps", "Use log frequency steps",
         "Use logarithmic frequency intervals", "yes", "sweep", "log_steps"),
    NumberBox(Control::ToneTime, "Sweep step durations (ms)", "Minimum duration of each tone in milliseconds", "200",
              0, 10000, "ms", "tone_ms"),
    NumberBox(Control::ToneCycles, "Sweep step durations (cycles)", "Minimum duration of each tone in cycles", "20", 0,
              200000, "", "tone_cycles"),
    ListBox(Control::Shiftmode, "Shift mode",
            "Force clean zero crossing transitions between tones by adjusting freq or time", "2", kShiftModeItems,
            ItemName::Position, "sweep", "shift_mode"),
    SpacingList(),
    NominalTick(),
    FrequencyListText(),
    ListBox(Control::Samplerate, "Audio Data: sample rate", "Audio sample rate of the digital audio in the WAV file",
            "44100", kSampleRateItems, ItemName::Value, "file", "rate"),
    ListBox(Control::Wordlength, "Audio Data: word length", "The word length of the digital audio in the WAV file",
            "16", kWordLengthItems, ItemName::Value, "file", "bits"),
    ListBox(Control::Channels, "Audio Data: channels", "The number of channels of audio in the WAV file", "2",
            kChannelItems, ItemName::Count, "file", "channels"),
    Make(Control::Dither1, Tick, Form, "Apply TPDF dither", "On", "Apply TPDF dither at the WAV file word length ", "yes",
         "file", "dither"),
    MarkersTick(),
    Make(Control::FileName, Name, Form, "WAV file name", {}, "The name of the file to save the result to",
         "filename.wav", "file", "name"),
    Length(Control::LeadInMs, "Lead-in silence", "&Lead-in silence:",
           "Silence before the first tone, so that the analyser can find the onset", 60000, "lead_in_ms",
           "Lead-in silence", "lead-in", &SignalOptions::leadInMs),
    Length(Control::GapMs, "Gap between tones", "&Gap between tones:", "Silence between tones", 60000, "gap_ms",
           "Gap between tones", "gap", &SignalOptions::gapMs),
    Length(Control::TailMs, "Tail silence", "&Tail silence:", "Silence after the last tone", 60000, "tail_ms",
           "Tail silence", "tail", &SignalOptions::tailMs),
    Length(Control::RampMs, "Ramps where a tone meets silence", "&Ramps where a tone meets silence:",
           "Raised-cosine fades where a tone meets silence, at most half a tone long", 1000, "ramp_ms", "Ramp length",
           "ramps", &SignalOptions::rampMs),
    ChannelsChoice(),

    CommandButton(Control::ShowInfo, "Show &Info", "Show information about the resulting file from the current settings"),
    CommandButton(Control::AutoName, "&Make file name", "Make a file name based on the current settings"),
    CommandButton(Control::OK, "&Generate file", "Generate the WAV file"),
    CommandButton(Control::Play, "&Play", "Play the sweep on the default output device"),
    CommandButton(Control::Abort, "&Abort", "Abort generation of the WAV file"),
};

constexpr FormLabel kFormLabels[] = {
    {"titletext", "AUDIO SINE SWEEPS"},
    {"Label16", "WAV file digital test signal generation"},
    {"Status", "Sweep Configuration"},
    {"FreqLabel", "Sweep frequency from"},
    {"FreqToLabel", "to"},
    {"FreqUnitLabel", "Hz"},
    {"LevelLabel", "Sweep amplitude from"},
    {"LevelToLabel", "to"},
    {"LevelUnitLabel", "dBFS"},
    {"StepsLabel", "Number of sweep steps"},
    {"DurationLabel", "Sweep step durations"},
    {"DurationOrLabel", "ms or"},
    {"CyclesLabel", "cycles"},
    {"DitherLabel", "Apply TPDF dither"},
    {"ShiftLabel", "Shift mode:"},
    {"ParamsHeading", "WAV file parameters"},
    {"AudioDataLabel", "Audio Data"},
    {"FileNameLabel", "WAV file name"},
    {"Progress1", "Tone progress"},
    {"Progress2", "Sweep progress"},
};

using A = OptionAction;
using G = OptionGroup;

// An option that came after the first ones (Option::since).
constexpr Option Added(int since, Option option) {
    option.since = since;
    return option;
}

constexpr Option kOptions[] = {
    {"--start-freq", A::Set, Control::StartFreq, "HZ", "frequency of the first tone (default {default})", G::Sweep, 0, 0},
    {"--end-freq", A::Set, Control::EndFreq, "HZ", "frequency of the last tone (default {default})", G::Sweep, 0, 1},
    {"--start-level", A::Set, Control::StartLevel, "DB", "level of the first tone in dBFS (default {default})", G::Sweep, 0, 2},
    {"--end-level", A::Set, Control::EndLevel, "DB", "level of the last tone in dBFS (default {default})", G::Sweep, 0, 3},
    {"--steps", A::Set, Control::Steps, "N", "number of steps, that is tones - 1 (default {default})", G::Sweep, 0, 4},
    {"--linear", A::Clear, Control::Logsteps, {}, "linear frequency steps (default: logarithmic)", G::Sweep, 0, 12},
    {"--log-steps", A::Tick, Control::Logsteps, {}, "logarithmic frequency steps", G::Sweep, 0, 13},
    {"--tone-ms", A::Set, Control::ToneTime, "MS", "minimum length of every tone in ms (default {default})", G::Sweep, 0, 5},
    {"--tone-cycles", A::Set, Control::ToneCycles, "N", "minimum length of every tone in cycles (default {default})",
     G::Sweep, 0, 6},
    {"--shift-mode", A::Set, Control::Shiftmode, "N", "{items}", G::Sweep, 0, 8},
    {"--bands", A::Set, Control::Spacing, "N",
     "tones at the mid-band frequencies of IEC 61260-1\nof the 1/N-octave bands whose exact mid-band lies\n"
     "from --start-freq to --end-freq, ends included;\nN is {choices}",
     G::Sweep, 0, 33, "bands"},
    {"--nominal", A::Tick, Control::NominalBands, {},
     "the bands at their nominal frequencies (31.5,\n63, 125 ...; none for 1/24 octaves)", G::Sweep, 0, 34},
    {"--frequencies", A::Set, Control::FrequencyList, "LIST",
     "tones at these frequencies in Hz, in this order,\nsuch as 100,1000,10000", G::Sweep, 0, 35, {},
     Control::Spacing, "list"},
    {"--rate", A::Set, Control::Samplerate, "HZ", "{choices} (default {default})", G::File, 0, 9},
    {"--bits", A::Set, Control::Wordlength, "N", "{choices} (default {default})", G::File, 0, 10},
    {"--channels", A::Set, Control::Channels, "N", "{choices} (default {default})", G::File, 0, 11},
    {"--no-dither", A::Clear, Control::Dither1, {}, "no TPDF dither (default: dither on)", G::File, 0, 14},
    {"--dither", A::Tick, Control::Dither1, {}, "TPDF dither", G::File, 0, 15},
    {"--seed", A::Seed, std::nullopt, "N", "fixed dither seed, for reproducible files", G::File, 0, 17},
    {"--markers", A::Tick, Control::WriteMarkers, {},
     "mark every tone in the file with a cue point and\na labelled region (--no-markers: none)", G::File, 0, 19},
    {"--no-markers", A::Clear, Control::WriteMarkers, {}, {}, G::Other, 0, 20},
    {"--file", A::Set, Control::FileName, "NAME",
     "file name (default {default}); - writes the WAV\nto standard output", G::File, 0, 7},
    {"--output-dir", A::OutputDir, std::nullopt, "DIR", "write into DIR instead of the analyser's wavetable\nfolder",
     G::File, 'o', 16},
    {"--info", A::Info, std::nullopt, {}, "print the report of the planned sweep; write no WAV", G::Commands, 0, 31},
    {"--plan", A::Plan, std::nullopt, "FILE",
     "also write the tone plan as CSV (FILE.csv) or JSON\n(FILE.json); - prints CSV on standard output (the\n"
     "report of --info then goes to standard error)",
     G::Commands, 0, 18},
    {"--auto-name", A::AutoName, std::nullopt, {}, "propose a file name from the sweep, print it and\nuse it",
     G::Commands, 0, 32},
    Added(1, {"--play", A::Play, std::nullopt, {},
              "play the sweep on the default output device; with\n--file or --auto-name, also write the file",
              G::Commands, 0, 38}),
    {"--lead-in-ms", A::Set, Control::LeadInMs, "MS", "silence before the first tone ({range})", G::Signal, 0, 23},
    {"--tail-ms", A::Set, Control::TailMs, "MS", "silence after the last tone ({range})", G::Signal, 0, 24},
    {"--gap-ms", A::Set, Control::GapMs, "MS", "silence between tones ({range})", G::Signal, 0, 25},
    {"--ramp-ms", A::Set, Control::RampMs, "MS",
     "raised-cosine fades where a tone meets silence\n({range}, at most half a tone)", G::Signal, 0, 26},
    {"--signal-channels", A::Set, Control::SignalChannels, "LIST|each|all",
     "the channels that carry the signal, such as 1,3\n(the others are silent), or each in turn; all by\ndefault",
     G::Signal, 0, 27},
    {"--settings", A::Settings, std::nullopt, "FILE",
     "start from the sweep saved in FILE (.sweep); the\nother options then change single entries", G::SettingsFiles, 0, 21},
    {"--save-settings", A::SaveSettings, std::nullopt, "FILE",
     "save the sweep as the options make it into FILE\n(- for standard output); write no WAV",
     G::SettingsFiles, 0, 22},
    Added(1, {"--preset", A::Preset, std::nullopt, "NAME",
              "start from the preset NAME, one of the settings\nfiles that come with sweepwav", G::SettingsFiles, 0, 36}),
    Added(1, {"--list-presets", A::ListPresets, std::nullopt, {}, "list the presets and what they hold, and exit",
              G::SettingsFiles, 0, 37}),
    {"--quiet", A::Quiet, std::nullopt, {}, "print nothing but refusals and failures", G::Other, 'q', 28},
    {"--help", A::Help, std::nullopt, {}, "show this help and exit", G::Other, 'h', 29},
    {"--version", A::Version, std::nullopt, {}, "show the version and exit", G::Other, 'V', 30},
};

// Every option has a place of its own in the match order, from 0 on: a
// place given twice would leave another empty, and every mistyped option
// would then find nothing there.
constexpr bool MatchOrderIsAPermutation() {
    std::array<bool, std::size(kOptions)> taken{};
    for (const Option& o : kOptions) {
        const auto place = static_cast<std::size_t>(o.matchOrder);
        if (o.matchOrder < 0 || place >= taken.size() || taken[place]) return false;
        taken[place] = true;
    }
    return true;
}
static_assert(MatchOrderIsAPermutation(), "each option needs a matchOrder of its own, from 0 to the count - 1");

constexpr OptionAlias kOptionAliases[] = {
    {"--sample-rate", "--rate"},
    {"--samplerate", "--rate"},
    {"--sr", "--rate"},
    {"--bit-depth", "--bits"},
    {"--bitdepth", "--bits"},
    {"--freq", "--start-freq or --end-freq"},
    {"--frequency", "--start-freq or --end-freq"},
    {"--level", "--start-level or --end-level"},
    {"--amplitude", "--start-level or --end-level"},
    {"--duration", "--tone-ms"},
    {"--out-dir", "--output-dir"},
};

}  // namespace

std::span<const Entry> Entries() { return kEntries; }

std::span<const OptionAlias> OptionAliases() { return kOptionAliases; }

const Entry* FindEntry(Control c) {
    for (const Entry& e : kEntries) {
        if (e.control == c) return &e;
    }
    return nullptr;
}

const Entry& EntryOf(Control c) { return *FindEntry(c); }

std::span<const FormLabel> FormLabels() { return kFormLabels; }

std::span<const Option> Options() { return kOptions; }

std::span<const Option* const> OptionsInMatchOrder() {
    static const auto sorted = [] {
        std::array<const Option*, std::size(kOptions)> options{};
        for (const Option& o : kOptions) options[static_cast<std::size_t>(o.matchOrder)] = &o;
        return options;
    }();
    return sorted;
}

std::string_view OptionNameOf(Control entry) {
    for (const Option& o : kOptions) {
        if (o.entry == entry && o.action == OptionAction::Set) return o.name;
    }
    return {};
}

std::string ItemNameAt(const Entry& list, std::size_t position) {
    switch (list.itemName) {
        case ItemName::Value: return std::to_string(list.items[position].value);
        case ItemName::Count: return std::to_string(position + 1);
        case ItemName::Name: return list.items[position].name;
        case ItemName::Position: break;
    }
    return std::to_string(position);
}

SampleFormat WordLengthFormat(std::int32_t bits) {
    for (const ListItem& item : kWordLengthItems) {
        if (item.value == bits) return *item.sampleFormat;
    }
    return {};
}

std::optional<int> ItemPosition(const Entry& list, std::string_view name) {
    for (std::size_t i = 0; i < list.items.size(); ++i) {
        if (ItemNameAt(list, i) == name) return static_cast<int>(i);
    }
    return std::nullopt;
}

std::string ItemNames(const Entry& list, std::string_view prefix) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < list.items.size(); ++i) {
        const std::string name = ItemNameAt(list, i);
        if (name.starts_with(prefix)) names.push_back(name.substr(prefix.size()));
    }
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " or " : ", ";
        text += names[i];
    }
    return text;
}

double RangeHigh(const Entry& e, std::int32_t sampleRate) {
    return e.highIsFrequencyLimit ? FrequencyLimit(sampleRate) : e.high;
}

std::string RangeText(const Entry& e, std::int32_t sampleRate) {
    std::string range = NumberText(e.low) + " to " + NumberText(RangeHigh(e, sampleRate));
    if (!e.unit.empty()) range.append(" ").append(e.unit);
    return range;
}

double& OptionValue(SignalOptions& options, const Entry& e) { return options.*e.value; }
double OptionValue(const SignalOptions& options, const Entry& e) { return options.*e.value; }

namespace {

std::string JoinChannels(const std::vector<int>& channels, std::string_view between) {
    std::string list;
    for (int c : channels) {
        if (!list.empty()) list += between;
        list += std::to_string(c);
    }
    return list;
}

}  // namespace

std::vector<std::string> SignalOptionLines(const SignalOptions& options) {
    std::vector<std::string> lines;
    for (const Entry& e : kEntries) {
        if (e.kind == OptionNumber && OptionValue(options, e) != 0) {
            lines.push_back(std::string(e.reportLabel) + " = " + NumberText(OptionValue(options, e)) + std::string(e.unit));
        } else if (e.kind == Channels && options.channels.each) {
            lines.push_back(std::string(e.reportLabel) + " = one at a time");
        } else if (e.kind == Channels && !options.channels.channels.empty()) {
            lines.push_back(std::string(e.reportLabel) + " = " + JoinChannels(options.channels.channels, ", "));
        }
    }
    return lines;
}

std::vector<std::string> SignalOptionWords(const SignalOptions& options) {
    std::vector<std::string> words;
    for (const Entry& e : kEntries) {
        if (e.kind == OptionNumber && OptionValue(options, e) != 0) {
            words.push_back(std::string(e.statusLabel) + " " + NumberText(OptionValue(options, e)) + " " +
                            std::string(e.unit));
        } else if (e.kind == Channels && options.channels.each) {
            words.push_back("one channel at a time");
        } else if (e.kind == Channels && !options.channels.channels.empty()) {
            words.push_back(std::string(e.statusLabel) + " " + JoinChannels(options.channels.channels, ","));
        }
    }
    return words;
}

}  // namespace sweepwav
