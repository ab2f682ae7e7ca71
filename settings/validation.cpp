#include "settings/validation.h"

#include <cmath>
#include <string>

#include "numbers/number_text.h"

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

}  // namespace

bool CheckNumbers(GeneratorState& s, WindowOps& w, std::span<const NumberCheck> checks) {
    s.refusedEntry.reset();
    for (const auto& check : checks) {
        if (!IsNumber(w.text(check.box))) {
            Refuse(s, w, check.box, check.message);
            return false;
        }
    }
    return true;
}

std::int32_t FrequencyLimit(std::int32_t sampleRate) {
    return static_cast<std::int32_t>(std::nearbyint(sampleRate * 0.49));
}

void Check_Entered_data(GeneratorState& s, WindowOps& w) {
    s.bDataOK = false;
    s.refusedEntry.reset();
    if (!CheckNumbers(s, w, kNumberChecks)) return;
    const std::string name = w.text(Control::FileName);
    if (name.find('\\') != std::string::npos || name.find('/') != std::string::npos) {
        Refuse(s, w, Control::FileName, kPathMessage);
        return;
    }
    s.bDataOK = true;
}

void Check_Data_Ranges(GeneratorState& s, WindowOps& w) {
    const std::int32_t limit = FrequencyLimit(s.iSampleRate);
    const std::string hz = std::to_string(limit) + "Hz";
    if (!Within(s.dEndFreq, 10, limit)) {
        Refuse(s, w, Control::EndFreq, "Please check the sweep end frequency is between 10 and " + hz);
    } else if (!Within(s.dStartFreq, 10, limit)) {
        Refuse(s, w, Control::StartFreq, "Please check the sweep start frequency is is between 10 and " + hz);
    } else if (!Within(s.dEndLevel, -200, 0)) {
        Refuse(s, w, Control::EndLevel, "Please check sweep end amplitude is between 0 and -200dBFS");
    } else if (!(s.iSteps >= 0 && s.iSteps <= 1000)) {
        Refuse(s, w, Control::Steps, "Please check the number of steps is between 0 and 1000");
    } else if (!Within(s.dStartLevel, -200, 0)) {
        Refuse(s, w, Control::StartLevel, "Please check sweep start amplitude is between 0 and -200dBFS");
    } else if (!Within(s.dToneTime, 0, 10000)) {
        Refuse(s, w, Control::ToneTime, "Please check the tone duration is between 0 and 10000ms");
    } else if (!(s.iToneCycles >= 0 && s.iToneCycles <= 200000)) {
        Refuse(s, w, Control::ToneCycles, "Please check the number of cycles is between 0 and 200000");
    } else {
        s.bDataOK = true;
    }
}

}  // namespace sweepwav
