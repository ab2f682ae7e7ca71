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
    const std::string shown = option + " " + ShownValue(value);
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

// What counts toward a file too large: the tones and their length with the
// format, or the signal options where some are on.
std::string SizeHint(const GeneratorState& state, WindowOps& window) {
    const EntryTexts values = ReadEntries(window, state);
    std::string on;
    for (const Entry& e : Entries()) {
        if (e.place != Place::SignalDialog || values.at(e.control) == e.startup) continue;
        if (e.kind == EntryKind::Channels && !state.signal.channels.each) continue;
        on += std::string(on.empty() ? "" : ", ") + std::string(OptionNameOf(e.control)) + " " + values.at(e.control);
    }
    if (!on.empty()) return "the signal options count toward the 2 GB too: " + on;
    const std::string spacing = values.at(Control::Spacing);
    const std::string tones =
        spacing == "list" ? "--frequencies"
        : spacing.starts_with("bands") ? "--bands " + spacing.substr(5)
                                       : "--steps " + std::to_string(state.iSteps);
    // The cycles count only where the tone time is fitted to whole cycles.
    const std::string length = state.iShiftMode == 2 ? "at least " + NumberText(state.dToneTime) + " ms (--tone-ms) and " +
                                                           std::to_string(state.iToneCycles) + " cycles (--tone-cycles)"
                                                     : NumberText(state.dToneTime) + " ms (--tone-ms)";
    return std::to_string(state.iSteps + 1) + " tones (" + tones + ") of " + length + " each at --rate " +
           std::to_string(state.iSampleRate) + ", --bits " + std::to_string(state.iBits) + " and --channels " +
           std::to_string(state.iChannels) + " come to more than the 2 GB a WAV file can hold";
}

}  // namespace

std::string SettingsValueHint(const RefusedValue& refused, const std::string& settingsFile) {
    std::string name(OptionNameOf(refused.entry));
    std::string value = refused.text;
    for (const Option& o : Options()) {
        if (o.name == name && value.starts_with(o.valuePrefix)) value.erase(0, o.valuePrefix.size());
    }
    if (name.empty()) name = EntryOf(refused.entry).key;
    return name + " " + ShownValue(value) + " (from the settings file " + ShownName(settingsFile) + ") must be " +
           AcceptedValues(refused.entry);
}

std::optional<std::string> NominalWithoutBands(const GeneratorState& state, const CliOptions& options) {
    const auto nominal = options.values.find(Control::NominalBands);
    if (nominal == options.values.end() || nominal->second != "yes" || state.toneSpacing.starts_with("bands")) {
        return std::nullopt;
    }
    return std::string("--nominal is for bands, but no --bands is given\n") +
           "--nominal: give --bands 1, 3, 6 or 12 with it, or leave it out (the tones now follow " +
           (state.toneSpacing == "list" ? "--frequencies)" : "--start-freq, --end-freq and --steps)");
}

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
            return shown + ": the bands are those whose exact mid-band frequency lies from --start-freq to --end-freq (" +
                   NumberText(state.dStartFreq) + " to " + NumberText(state.dEndFreq) + " Hz), at most 1000";
        case Control::NominalBands:
            return Shown(Control::Spacing, state, window, options) + " with --nominal: the standard gives nominal " +
                   "frequencies for --bands 1, 3, 6 and 12 only; leave out --nominal for the exact mid-band frequencies";
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
