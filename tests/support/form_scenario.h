// The form's behaviour as one table of steps: what a person does, and how
// the form looks afterwards (or, for a run left going, while it runs). The
// same table drives the form model alone and each window through its
// driver, so that a window that decides anything itself, or forgets to pass
// an event on, fails. Plain C++: the Windows driver includes it too.
#pragma once

#include <initializer_list>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/controls.h"

namespace sweepwav::testing {

enum class FormAct {
    Start,         // the window opens; with a text, started on that settings file (sweepwav FILE),
                   // or with "no device" without a sound output
    Type,          // text typed into a box
    Press,         // a button pressed (for Abort and Stop: during the run left going)
    Options,       // an options dialog closed with OK: "Spacing=bands3;GapMs=20"
    SaveSettings,  // File > Save settings as..., once for each name ("a b": a.sweep, then b.sweep)
    RunWatched,    // the button pressed (Generate file, Play); the step's look is checked while it runs
    Close,         // the window closed while the run goes on
    Open,          // "open 2.sweep", "recent 3.sweep", "drop 1.sweep 2.sweep", "preset octave-bands"
    Reset,         // File > Reset to start-up values
};

struct FormStep {
    FormAct act;
    Control control = Control::Status;
    std::string_view text = {};
    // The look afterwards. Type checks nothing.
    std::optional<Control> focus = std::nullopt;  // none: not checked
    bool selected = false;                        // the focused box's text selected
    std::string_view grey = {};                   // the input controls that are grey; "all"
    bool abortOn = false;                         // Abort enabled
    std::string_view play = "Play";               // the Play button: "Play", "Stop" or "grey"
    std::string_view bar = {};                    // how the bar's line begins
    const char* options = nullptr;                // the options line; nullptr: not checked
    int boxes = 0;                                // message boxes the step showed
    std::string_view suggested = {};              // the name Save settings offered
    std::string_view recent = {};                 // the recent settings files' names
    std::string_view fileName = {};               // the FileName box's text; empty: not checked
    bool closed = false;                          // the window has closed
};

inline constexpr FormStep kFormScenario[] = {
    // At start-up the first entry, ready to be typed over.
    {.act = FormAct::Start, .focus = Control::StartFreq, .selected = true, .bar = "Output folder: ", .options = ""},
    // A refused entry takes the focus, its text selected, whichever command refused it.
    {.act = FormAct::Type, .control = Control::EndLevel, .text = "x"},
    {.act = FormAct::Press, .control = Control::OK, .focus = Control::EndLevel, .selected = true,
     .bar = "Output folder: ", .boxes = 1},
    {.act = FormAct::Type, .control = Control::EndLevel, .text = "-20"},
    {.act = FormAct::Type, .control = Control::Steps, .text = "5000"},
    {.act = FormAct::Press, .control = Control::ShowInfo, .focus = Control::Steps, .selected = true, .boxes = 1},
    {.act = FormAct::Type, .control = Control::Steps, .text = "2"},
    {.act = FormAct::Type, .control = Control::StartFreq, .text = "1k"},
    {.act = FormAct::Press, .control = Control::AutoName, .focus = Control::StartFreq, .selected = true, .boxes = 1},
    {.act = FormAct::Type, .control = Control::StartFreq, .text = "20"},
    // Otherwise the focus goes back to the button that started the command.
    {.act = FormAct::Press, .control = Control::AutoName, .focus = Control::AutoName},
    {.act = FormAct::Type, .control = Control::ToneTime, .text = "10"},
    {.act = FormAct::Press, .control = Control::OK, .focus = Control::OK, .bar = "Wrote "},
    // Band centres in place of the steps grey Steps and Log steps, also after a run.
    {.act = FormAct::Options, .text = "Spacing=bands3", .grey = "Steps Logsteps",
     .options = "Frequencies: third-octave bands"},
    {.act = FormAct::Press, .control = Control::OK, .focus = Control::OK, .grey = "Steps Logsteps", .bar = "Wrote "},
    {.act = FormAct::Options, .text = "Spacing=steps;GapMs=20;RampMs=2", .options = "Signal: gap 20 ms, ramps 2 ms"},
    {.act = FormAct::Options, .text = "GapMs=0;RampMs=0", .options = ""},
    // Recent settings: newest first, each once, five at the most; the name
    // offered is the file name's.
    {.act = FormAct::Type, .control = Control::FileName, .text = "bench.wav"},
    {.act = FormAct::SaveSettings, .text = "1 2 3 4 5 6 5", .suggested = "bench.sweep",
     .recent = "5.sweep 6.sweep 4.sweep 3.sweep 2.sweep"},
    // A run locks the form and puts the keyboard on Abort; after it the
    // form is unlocked and the focus is back on Generate file.
    {.act = FormAct::Type, .control = Control::Steps, .text = "400"},
    {.act = FormAct::Type, .control = Control::ToneTime, .text = "2000"},
    {.act = FormAct::RunWatched, .control = Control::OK, .focus = Control::Abort, .grey = "all", .abortOn = true,
     .play = "grey"},
    {.act = FormAct::Press, .control = Control::Abort, .focus = Control::OK, .bar = "Wrote "},
    // Closing during a run aborts it; the window closes once it has ended.
    {.act = FormAct::RunWatched, .control = Control::OK, .focus = Control::Abort, .grey = "all", .abortOn = true,
     .play = "grey"},
    {.act = FormAct::Close, .closed = true},
    // Play locks the form as a run does, and the button pressed becomes
    // Stop and keeps the keyboard; stopped, the form is unlocked and the
    // focus back on Play. Closing while it plays stops it, then closes.
    {.act = FormAct::Start, .focus = Control::StartFreq, .selected = true, .bar = "Output folder: "},
    {.act = FormAct::Type, .control = Control::Steps, .text = "400"},
    {.act = FormAct::Type, .control = Control::ToneTime, .text = "2000"},
    {.act = FormAct::RunWatched, .control = Control::Play, .focus = Control::Play, .grey = "all", .play = "Stop"},
    {.act = FormAct::Press, .control = Control::Play, .focus = Control::Play, .bar = "Output folder: "},
    {.act = FormAct::RunWatched, .control = Control::Play, .focus = Control::Play, .grey = "all", .play = "Stop"},
    {.act = FormAct::Close, .closed = true},
    // Every way of opening a settings file: what the form shows, and what
    // Recent holds afterwards. The program started on a file, as the
    // desktop opens it:
    {.act = FormAct::Start, .text = "4.sweep", .options = "", .recent = "4.sweep 5.sweep 6.sweep 3.sweep 2.sweep",
     .fileName = "bench.wav"},
    {.act = FormAct::Type, .control = Control::FileName, .text = "typed.wav"},
    {.act = FormAct::Open, .text = "open 2.sweep", .recent = "2.sweep 4.sweep 5.sweep 6.sweep 3.sweep",
     .fileName = "bench.wav"},
    // A preset fills the form but stays out of Recent; Reset brings the
    // start-up values back, the options off.
    {.act = FormAct::Open, .text = "preset octave-bands", .grey = "Steps Logsteps",
     .options = "Frequencies: octave bands at nominal frequencies", .recent = "2.sweep 4.sweep 5.sweep 6.sweep 3.sweep",
     .fileName = "octave bands 31.5Hz to 16kHz at -20dBFS.wav"},
    {.act = FormAct::Reset, .options = "", .recent = "2.sweep 4.sweep 5.sweep 6.sweep 3.sweep",
     .fileName = "filename.wav"},
    {.act = FormAct::Open, .text = "recent 3.sweep", .recent = "3.sweep 2.sweep 4.sweep 5.sweep 6.sweep",
     .fileName = "bench.wav"},
    // Dropped on the window: one settings file, not several.
    {.act = FormAct::Type, .control = Control::FileName, .text = "typed.wav"},
    {.act = FormAct::Open, .text = "drop 1.sweep 2.sweep", .boxes = 1, .fileName = "typed.wav"},
    {.act = FormAct::Open, .text = "drop 1.sweep", .recent = "1.sweep 3.sweep 2.sweep 4.sweep 5.sweep",
     .fileName = "bench.wav"},
    // Without a sound output: the message, and the form unlocked with the
    // focus back on Play (a window of its own).
    {.act = FormAct::Start, .text = "no device", .focus = Control::StartFreq, .selected = true},
    {.act = FormAct::Press, .control = Control::Play, .focus = Control::Play, .bar = "Output folder: ", .boxes = 1},
};

// The 17 input controls, by name, for the grey ones.
inline constexpr Control kScenarioInputs[] = {
    Control::StartFreq, Control::EndFreq, Control::StartLevel, Control::EndLevel, Control::Steps,
    Control::Logsteps,  Control::ToneTime, Control::ToneCycles, Control::Dither1,  Control::Shiftmode,
    Control::Samplerate, Control::Wordlength, Control::Channels, Control::ShowInfo, Control::AutoName,
    Control::FileName,  Control::OK,
};

// A Start step without a sound output, and the settings file a Start step
// opens (none: empty).
inline bool WithoutSound(const FormStep& step) { return step.act == FormAct::Start && step.text == "no device"; }
inline std::string_view StartedOn(const FormStep& step) { return WithoutSound(step) ? std::string_view{} : step.text; }

// How the Play button looks: grey, or its text without the &.
inline std::string PlayButton(bool enabled, std::string text) {
    std::erase(text, '&');
    return enabled ? text : "grey";
}

// What a run of the table saw of the form after a step.
struct SeenForm {
    std::optional<Control> focus;
    bool selected = false;
    std::set<Control> grey;  // of the input controls
    bool abortOn = false;
    std::string play;  // "Play", "Stop" (its text without the &) or "grey"
    std::string bar;
    std::string options;
    int boxes = 0;
    std::string suggested;
    std::vector<std::string> recent;  // the files' names
    std::string fileName;
    bool closed = false;
};

// The words of a text, split at blanks.
inline std::vector<std::string> Words(std::string_view text) {
    std::istringstream in{std::string(text)};
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

// "Spacing=bands3;GapMs=20" as controls (by name) and values.
inline std::vector<std::pair<Control, std::string>> OptionValues(std::string_view text) {
    std::vector<std::pair<Control, std::string>> values;
    while (!text.empty()) {
        const std::string_view item = text.substr(0, text.find(';'));
        const std::string_view name = item.substr(0, item.find('='));
        for (int c = 0; c <= static_cast<int>(Control::SignalChannels); ++c) {
            if (control_name(static_cast<Control>(c)) == name) {
                values.emplace_back(static_cast<Control>(c), std::string(item.substr(name.size() + 1)));
            }
        }
        text.remove_prefix(std::min(text.size(), item.size() + 1));
    }
    return values;
}

// Texts put together (GCC 12 warns wrongly of "text" + std::string).
inline std::string Joined(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts) text.append(part);
    return text;
}

// How what was seen differs from what the step expects; empty when not.
inline std::vector<std::string> Differences(const FormStep& step, const SeenForm& seen) {
    std::vector<std::string> out;
    const auto differ = [&](bool same, std::initializer_list<std::string_view> what) {
        if (!same) out.push_back(Joined(what));
    };
    if (step.act == FormAct::Type) return out;
    if (step.closed || seen.closed) {
        differ(seen.closed == step.closed, {seen.closed ? "the window closed" : "the window is still open"});
        return out;
    }
    if (step.focus) {
        differ(seen.focus == step.focus,
               {"the focus is on ", seen.focus ? control_name(*seen.focus) : "nothing", ", not on ", control_name(*step.focus)});
        differ(seen.selected == step.selected, {"the text is ", seen.selected ? "" : "not ", "selected"});
    }
    std::set<Control> grey;
    for (Control c : kScenarioInputs) {
        for (const std::string& name : Words(step.grey)) {
            if (name == "all" || name == control_name(c)) grey.insert(c);
        }
    }
    std::string seenGrey;
    for (Control c : seen.grey) seenGrey.append(" ").append(control_name(c));
    differ(seen.grey == grey, {"grey:", seenGrey, " instead of ", step.grey});
    differ(seen.abortOn == step.abortOn, {"Abort is ", seen.abortOn ? "enabled" : "grey"});
    differ(seen.play == step.play, {"the Play button is ", seen.play});
    differ(seen.bar.starts_with(step.bar), {"the bar says \"", seen.bar, "\""});
    if (step.options) differ(seen.options == step.options, {"the options line says \"", seen.options, "\""});
    differ(seen.boxes == step.boxes, {std::to_string(seen.boxes), " message boxes"});
    if (!step.suggested.empty()) differ(seen.suggested == step.suggested, {"Save settings offered ", seen.suggested});
    if (!step.recent.empty()) differ(seen.recent == Words(step.recent), {"other recent files"});
    if (!step.fileName.empty()) differ(seen.fileName == step.fileName, {"the file name is ", seen.fileName});
    return out;
}

}  // namespace sweepwav::testing
