#include "settings/validation.h"

#include <cmath>
#include <string>

#include "numbers/number_text.h"
#include "settings/catalogue.h"

namespace sweepwav {

namespace {

// Order and texts of the first stage; the end amplitude text has no final
// full stop.
constexpr NumberCheck kNumberChecks[] = {
    {Control::EndFreq, "Please check the End frequency is a valid number."},
    {Control::StartFreq, "Please check the start frequency is a valid number."},
    {Control::Steps, "Please check the number of sweep steps is a valid number."},
    {Control::EndLevel, "Please check the end amplitude is a valid number"},
    {Control::StartLevel, "Please check the start amplitude is a valid number."},
    {Control::ToneTime, "Please check the tone time is a valid number."},
    {Control::ToneCycles, "Please check the number of cycles is a valid number."},
};

constexpr const char* kPathMessage = "The file name cannot contain path information.";

void Refuse(GeneratorState& s, WindowOps& w, Control entry, const std::string& message) {
    s.bDataOK = false;
    s.refusedEntry = entry;
    w.message_box(message, s.sAppTitle, Icon::Exclamation);
}

bool Within(double v, double low, double high) { return v >= low && v <= high; }

// The second stage, in the order of its checks: the setting, the message
// before its range, and whether the range is said from the top (the levels).
struct RangeCheck {
    Control box;
    double (*value)(const GeneratorState&);
    const char* message;
    bool highFirst;
};

constexpr RangeCheck kRangeChecks[] = {
    {Control::EndFreq, [](const GeneratorState& s) { return s.dEndFreq; },
     "Please check the sweep end frequency is between ", false},
    {Control::StartFreq, [](const GeneratorState& s) { return s.dStartFreq; },
     "Please check the sweep start frequency is is between ", false},
    {Control::EndLevel, [](const GeneratorState& s) { return s.dEndLevel; },
     "Please check sweep end amplitude is between ", true},
    {Control::Steps, [](const GeneratorState& s) { return double(s.iSteps); },
     "Please check the number of steps is between ", false},
    {Control::StartLevel, [](const GeneratorState& s) { return s.dStartLevel; },
     "Please check sweep start amplitude is between ", true},
    {Control::ToneTime, [](const GeneratorState& s) { return s.dToneTime; },
     "Please check the tone duration is between ", false},
    {Control::ToneCycles, [](const GeneratorState& s) { return double(s.iToneCycles); },
     "Please check the number of cycles is between ", false},
};

}  // namespace

bool CheckNumbers(GeneratorState& s, WindowOps& w, std::span<const NumberCheck> checks) {
    s.refusedEntry.reset();
    for (const auto& check : checks) {
        if (EntryCounts(s, check.box) && !IsNumber(w.text(check.box))) {
            Refuse(s, w, check.box, check.message);
            return false;
        }
    }
    return true;
}

bool EntryCounts(const GeneratorState& s, Control entry) {
    const bool list = s.toneSpacing == "list", bands = s.toneSpacing.starts_with("bands");
    switch (entry) {
        case Control::Steps:
        case Control::Logsteps: return !list && !bands;
        case Control::StartFreq:
        case Control::EndFreq: return !list;
        default: return true;
    }
}

std::int32_t FrequencyLimit(std::int32_t sampleRate) {
    return static_cast<std::int32_t>(std::nearbyint(sampleRate * 0.49));
}

void Check_Entered_data(GeneratorState& s, WindowOps& w) {
    s.bDataOK = false;
    s.refusedEntry.reset();
    s.refusedAsTooLarge = false;
    if (!CheckNumbers(s, w, kNumberChecks)) return;
    const std::string name = w.text(Control::FileName);
    if (name.find('\\') != std::string::npos || name.find('/') != std::string::npos) {
        Refuse(s, w, Control::FileName, kPathMessage);
        return;
    }
    s.bDataOK = true;
}

void Check_Data_Ranges(GeneratorState& s, WindowOps& w) {
    for (const RangeCheck& check : kRangeChecks) {
        if (!EntryCounts(s, check.box)) continue;
        const Entry& e = EntryOf(check.box);
        const double high = RangeHigh(e, s.iSampleRate);
        if (Within(check.value(s), e.low, high)) continue;
        const double first = check.highFirst ? high : e.low;
        const double second = check.highFirst ? e.low : high;
        Refuse(s, w, check.box,
               check.message + NumberText(first) + " and " + NumberText(second) + std::string(e.unit));
        return;
    }
    s.bDataOK = true;
}

}  // namespace sweepwav
