#include "cli/entry_hint.h"

#include "core/text.h"
#include "settings/catalogue.h"
#include "numbers/number_text.h"

namespace sweepwav {

namespace {

// What a box accepts once its text is a number; for a frequency, at the
// rate, and whether a higher rate would take it.
std::string RangeOf(Control box, const GeneratorState& s) {
    const Entry& e = EntryOf(box);
    std::string range = RangeText(e, s.iSampleRate);
    if (!e.highIsFrequencyLimit) return range;
    range += " (at --rate " + std::to_string(s.iSampleRate) + ")";
    const double value = box == Control::StartFreq ? s.dStartFreq : s.dEndFreq;
    const double limit = RangeHigh(e, s.iSampleRate);
    if (value > limit && s.iSampleRate < EntryOf(Control::Samplerate).items.back().value) {
        range += "; a higher --rate raises the " + NumberText(limit) + " Hz limit";
    }
    return range;
}

// The option and value the refusal was about: as typed, as the settings
// file gave it, or the start-up value.
std::string Shown(Control box, const GeneratorState& state, WindowOps& window, const CliOptions& options) {
    const std::string option(OptionNameOf(box));
    const auto typed = options.values.find(box);
    std::string value = typed != options.values.end() ? typed->second : ReadEntries(window, state)[box];
    // As the option writes it: --bands 3 for the spacing "bands3".
    for (const Option& o : Options()) {
        if (o.entry == box && o.action == OptionAction::Set && value.starts_with(o.valuePrefix)) {
            value.erase(0, o.valuePrefix.size());
        }
    }
    // In double quotes, or quoted for a shell where it holds a control character.
    const std::string shown = option + " " + (ShownName(value) == value ? "\"" + value + "\"" : ShownName(value));
    if (typed != options.values.end()) return shown;
    if (options.preset) return shown + " (from the preset " + *options.preset + ")";
    if (options.settings) return shown + " (from the settings file " + ShownName(*options.settings) + ")";
    return shown + " (the default)";
}

// The channel of the list that the file does not have.
int MissingChannel(const GeneratorState& state) {
    for (int c : state.signal.channels.channels) {
        if (c > state.iChannels) return c;
    }
    return 0;
}

// What of the signal options counts toward a file too large.
std::optional<std::string> SizeHint(const GeneratorState& state, WindowOps& window) {
    const EntryTexts values = ReadEntries(window, state);
    std::string on;
    for (const Entry& e : Entries()) {
        if (e.place != Place::SignalDialog || values.at(e.control) == e.startup) continue;
        if (e.kind == EntryKind::Channels && !state.signal.channels.each) continue;
        on += std::string(on.empty() ? "" : ", ") + std::string(OptionNameOf(e.control)) + " " + values.at(e.control);
    }
    if (on.empty()) return std::nullopt;
    return "the signal options count toward the 2 GB too: " + on;
}

}  // namespace

std::optional<std::string> EntryHint(const GeneratorState& state, WindowOps& window, const CliOptions& options) {
    if (state.refusedAsTooLarge) return SizeHint(state, window);
    if (!state.refusedEntry) return std::nullopt;
    const Control box = *state.refusedEntry;
    const std::string shown = Shown(box, state, window, options);
    switch (box) {
        case Control::FileName:
            return shown + " holds a folder: give the folder with -o DIR and only the name with --file";
        case Control::SignalChannels:
            return shown + " names channel " + std::to_string(MissingChannel(state)) + ", which a file of " +
                   std::to_string(state.iChannels) + (state.iChannels == 1 ? " channel" : " channels") +
                   " (--channels " + std::to_string(state.iChannels) + ") does not have";
        case Control::Spacing:
            return shown + ": the bands are those whose nominal centre lies from --start-freq to --end-freq (" +
                   NumberText(state.dStartFreq) + " to " + NumberText(state.dEndFreq) + " Hz), at most 1000";
        case Control::FrequencyList:
            return shown + ": give the frequencies in Hz separated by commas, each from " +
                   RangeText(EntryOf(Control::StartFreq), state.iSampleRate) + " (at --rate " +
                   std::to_string(state.iSampleRate) + "), at most 1000";
        case Control::RampMs:
            return shown + " is longer than half the shortest tone it shapes: give a shorter --ramp-ms, or longer " +
                   "tones with --tone-ms or --tone-cycles";
        default: break;
    }
    if (!IsNumber(window.text(box))) {
        return shown + " is not a number: write it with a \".\" as decimal point and no units, as in 20, 1000 or 1e3";
    }
    return shown + " is outside " + RangeOf(box, state);
}

}  // namespace sweepwav
