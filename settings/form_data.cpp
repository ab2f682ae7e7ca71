#include "settings/form_data.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

#include "core/text.h"
#include "numbers/number_text.h"
#include "settings/catalogue.h"
#include "settings/validation.h"

namespace sweepwav {

namespace {

// The number in a box that the first check has accepted.
double BoxNumber(WindowOps& w, Control box) { return ParseNumber(w.text(box)).value_or(0.0); }

// A level or frequency, rounded to 3 decimals and shown back in its box.
// A value too large for a double keeps the typed text; the range check
// refuses it.
double TakeRounded(WindowOps& w, Control box) {
    const double v = RoundDecimals(BoxNumber(w, box), 3);
    if (std::isfinite(v)) w.set_text(box, NumberText(v));
    return v;
}

}  // namespace

std::string WavFileName(std::string typed) {
    // The system reads a name only up to a NUL character: the name ends
    // there, so that the ".wav" below is never cut off.
    typed.erase(std::min(typed.find('\0'), typed.size()));
    // A trailing ".wav" in any letter case, then any trailing full stops.
    static constexpr std::string_view kWav = ".wav";
    if (EndsWithNoCase(typed, kWav)) typed.erase(typed.size() - kWav.size());
    while (!typed.empty() && typed.back() == '.') typed.pop_back();
    return typed + std::string(kWav);
}

void Get_Data_From_Form(GeneratorState& s, WindowOps& w) {
    s.dStartLevel = TakeRounded(w, Control::StartLevel);
    s.dEndLevel = TakeRounded(w, Control::EndLevel);
    // Boxes that do not count keep their text: the tones' frequencies and
    // number then come from the bands or the list.
    if (EntryCounts(s, Control::StartFreq)) s.dStartFreq = TakeRounded(w, Control::StartFreq);
    if (EntryCounts(s, Control::EndFreq)) s.dEndFreq = TakeRounded(w, Control::EndFreq);
    if (EntryCounts(s, Control::Steps)) {
        const double steps = std::nearbyint(BoxNumber(w, Control::Steps));
        s.iSteps = SaturatedRound<std::int16_t>(steps);
        if (steps == s.iSteps) w.set_text(Control::Steps, std::to_string(s.iSteps));
    }

    s.dToneTime = BoxNumber(w, Control::ToneTime);
    s.iToneCycles = SaturatedRound<std::int32_t>(BoxNumber(w, Control::ToneCycles));
    s.bDither = w.checked(Control::Dither1);
    // Band mid-bands lie at even ratios, and a list is drawn on the same
    // logarithmic scale: the tick counts only for the form's steps.
    s.bLogSteps = !EntryCounts(s, Control::Logsteps) || w.checked(Control::Logsteps);
    s.iShiftMode = static_cast<std::int16_t>(w.selected_index(Control::Shiftmode));
    s.iSampleRate = w.item_value(Control::Samplerate, w.selected_index(Control::Samplerate));
    s.iBits = static_cast<std::int16_t>(
        w.item_value(Control::Wordlength, w.selected_index(Control::Wordlength)));
    s.sampleFormat = WordLengthFormat(s.iBits);
    s.iChannels = static_cast<std::int16_t>(w.selected_index(Control::Channels) + 1);

    s.sFileName = WavFileName(w.text(Control::FileName));
}

}  // namespace sweepwav
