#include "cli/entry_hint.h"

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

}  // namespace

std::optional<std::string> EntryHint(const GeneratorState& state, WindowOps& window, const CliOptions& options) {
    if (!state.refusedEntry) return std::nullopt;
    const Control box = *state.refusedEntry;
    const auto typed = options.values.find(box);
    const std::string shown = std::string(OptionNameOf(box)) + " \"" +
                              (typed != options.values.end() ? typed->second + "\"" : window.text(box) + "\" (the default)");
    if (box == Control::FileName) {
        return shown + " holds a folder: give the folder with -o DIR and only the name with --file";
    }
    if (!IsNumber(window.text(box))) {
        return shown + " is not a number: write it with a \".\" as decimal point and no units, as in 20, 1000 or 1e3";
    }
    return shown + " is outside " + RangeOf(box, state);
}

}  // namespace sweepwav
