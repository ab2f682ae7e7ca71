#include "settings/auto_name.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "numbers/number_text.h"
#include "settings/validation.h"

namespace sweepwav {

namespace {

// The first five checks of a Generate run, in the same order; only the
// first message differs, with a lower-case "end".
constexpr NumberCheck kNameChecks[] = {
    {Control::EndFreq, "Please check the end frequency is a valid number."},
    {Control::StartFreq, "Please check the start frequency is a valid number."},
    {Control::Steps, "Please check the number of sweep steps is a valid number."},
    {Control::EndLevel, "Please check the end amplitude is a valid number"},
    {Control::StartLevel, "Please check the start amplitude is a valid number."},
};

// The name describes the sweep to one decimal.
double NameValue(WindowOps& w, Control box) {
    return RoundDecimals(ParseNumber(w.text(box)).value_or(0.0), 1);
}

// Where the tones are, as the name says it: " 1-3 oct" for third-octave
// bands, " oct" for octaves, " list" for a list; nothing for the form's steps.
std::string SpacingTag(const GeneratorState& s) {
    if (s.toneSpacing == "list") return " list";
    if (!s.toneSpacing.starts_with("bands")) return {};
    const std::string n = s.toneSpacing.substr(5);
    return n == "1" ? " oct" : " 1-" + n + " oct";
}

// A list's first and last frequencies, as the name describes them, in place
// of the boxes' (which the list does not use).
void TakeListEnds(GeneratorState& s) {
    const std::string& list = s.toneList;
    const auto first = ParseNumber(list.substr(0, list.find(',')));
    const auto last = ParseNumber(list.substr(list.rfind(',') + 1));
    if (first && last) {
        s.dStartFreq = RoundDecimals(*first, 1);
        s.dEndFreq = RoundDecimals(*last, 1);
    }
}

}  // namespace

std::string FreqName(double freq) {
    if (freq >= 1000) return NumberText(RoundDecimals(freq / 1000, 3)) + "kHz";
    return NumberText(RoundDecimals(freq, 1)) + "Hz";
}

bool CheckNameEntries(GeneratorState& s, WindowOps& w) { return CheckNumbers(s, w, kNameChecks); }

void TakeNameEntries(GeneratorState& s, WindowOps& w) {
    s.dStartLevel = NameValue(w, Control::StartLevel);
    s.dEndLevel = NameValue(w, Control::EndLevel);
    s.dStartFreq = NameValue(w, Control::StartFreq);
    s.dEndFreq = NameValue(w, Control::EndFreq);
    s.iSteps = SaturatedRound<std::int16_t>(ParseNumber(w.text(Control::Steps)).value_or(0.0));
    if (s.toneSpacing == "list") TakeListEnds(s);
}

std::string ProposedFileName(const GeneratorState& s) {
    const std::string tag = SpacingTag(s);
    if (s.dStartLevel == s.dEndLevel && s.dStartFreq != s.dEndFreq) {
        // A frequency sweep at one level.
        return "SW " + FreqName(s.dStartFreq) + " to " + FreqName(s.dEndFreq) + tag + " at " +
               NumberText(s.dStartLevel) + "dBFS.wav";
    }
    if (s.dStartLevel != s.dEndLevel && s.dStartFreq == s.dEndFreq) {
        // A level sweep at one frequency.
        return "SW " + NumberText(s.dStartLevel) + " to " + NumberText(s.dEndLevel) + "dBFS at " +
               FreqName(s.dStartFreq) + tag + ".wav";
    }
    // Both change, or neither does.
    return "SW " + FreqName(s.dStartFreq) + "," + NumberText(s.dStartLevel) + "dBFS to " +
           FreqName(s.dEndFreq) + "," + NumberText(s.dEndLevel) + "dBFS" + tag + ".wav";
}

}  // namespace sweepwav
