#include "commands/outputs.h"

#include "plan/signal_layout.h"
#include "plan/tone_frequencies.h"
#include "report/info_report.h"
#include "settings/auto_name.h"
#include "settings/catalogue.h"
#include "settings/form_data.h"

namespace sweepwav {

namespace {

// The text of the rate's item, and of the channel count's; empty when no
// item stands for them.
std::string RateText(std::int32_t rate) {
    for (const ListItem& item : EntryOf(Control::Samplerate).items) {
        if (item.value == rate) return item.text;
    }
    return {};
}

std::string ChannelsText(int channels) {
    const auto items = EntryOf(Control::Channels).items;
    if (channels < 1 || channels > static_cast<int>(items.size())) return {};
    return items[static_cast<std::size_t>(channels - 1)].text;
}

}  // namespace

std::string OutputFolder(const GeneratorState& s) { return s.outputFolder.path; }

std::string DestinationPath(const GeneratorState& s) { return OutputFolder(s) + s.sFileName; }

std::string FileNameFor(const std::string& typed) { return WavFileName(typed); }

const std::string& InfoReport(GeneratorState& s) {
    BuildInfoReport(s);
    return s.sReport;
}

std::string PlanFileText(const GeneratorState& s, PlanFormat format) { return PlanText(s, format); }

PlanFormat PlanFormatOf(std::string_view fileName) { return PlanFormatFor(fileName); }

std::string OptionsSummary(const GeneratorState& s) {
    std::string summary;
    if (const std::string words = SpacingWords(s); !words.empty()) summary = "Frequencies: " + words;
    std::string signal;
    for (const std::string& words : SignalOptionWords(s.signal)) signal += (signal.empty() ? "" : ", ") + words;
    if (!signal.empty()) summary += (summary.empty() ? "Signal: " : "; Signal: ") + signal;
    return summary;
}

std::string LastStepText(const GeneratorState& s) {
    return "sweep step " + std::to_string(s.iLastTone) + " of " + std::to_string(s.iSteps) + PassText(s, s.lastPass);
}

std::string PlanTitle(const GeneratorState& s) {
    std::string rate = RateText(s.iSampleRate);
    if (rate.empty()) rate = std::to_string(s.iSampleRate) + " Hz";
    std::string channels = ChannelsText(s.iChannels);
    if (channels.empty()) channels = std::to_string(s.iChannels) + " ch";
    const int tones = s.iSteps + 1;
    const std::string words = SpacingWords(s);
    const std::string spacing = words.empty() ? std::string(s.bLogSteps ? "log" : "linear") + " spacing" : words;
    return s.sFileName + ": " + FreqName(s.dStartFreq) + " to " + FreqName(s.dEndFreq) + ", " + std::to_string(tones) +
           (tones == 1 ? " tone, " : " tones, ") + spacing + ", " + rate + " " + std::to_string(s.iBits) + " bit " +
           channels;
}

}  // namespace sweepwav
