#include "cli/entry_hint.h"

#include "commands/form_items.h"
#include "numbers/number_text.h"
#include "settings/validation.h"

namespace sweepwav {

namespace {

// What a box accepts once its text is a number.
std::string RangeOf(Control box, const GeneratorState& s) {
    switch (box) {
        case Control::StartFreq:
        case Control::EndFreq: {
            const std::string limit = std::to_string(FrequencyLimit(s.iSampleRate)) + " Hz";
            const double value = box == Control::StartFreq ? s.dStartFreq : s.dEndFreq;
            std::string range = "10 to " + limit + " (at --rate " + std::to_string(s.iSampleRate) + ")";
            if (value > FrequencyLimit(s.iSampleRate) && s.iSampleRate < kSampleRateItems.back().value) {
                range += "; a higher --rate raises the " + limit + " limit";
            }
            return range;
        }
        case Control::StartLevel:
        case Control::EndLevel: return "-200 to 0 dBFS";
        case Control::Steps: return "0 to 1000";
        case Control::ToneTime: return "0 to 10000 ms";
        default: return "0 to 200000";  // ToneCycles
    }
}

}  // namespace

std::optional<std::string> EntryHint(const GeneratorState& state, WindowOps& window, const CliOptions& options) {
    if (!state.refusedEntry) return std::nullopt;
    const Control box = *state.refusedEntry;
    const auto typed = options.texts.find(box);
    const std::string shown = std::string(OptionNameOf(box)) + " \"" +
                              (typed != options.texts.end() ? typed->second + "\"" : window.text(box) + "\" (the default)");
    if (box == Control::FileName) {
        return shown + " holds a folder: give the folder with -o DIR and only the name with --file";
    }
    if (!IsNumber(window.text(box))) {
        return shown + " is not a number: write it with a \".\" as decimal point and no units, as in 20, 1000 or 1e3";
    }
    return shown + " is outside " + RangeOf(box, state);
}

}  // namespace sweepwav
