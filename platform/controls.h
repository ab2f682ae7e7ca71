// Names of the window's controls, shared by the engine procedures, the Qt
// window and the command-line front end.
#pragma once

#include <array>
#include <string_view>

namespace sweepwav {

enum class Control {
    // Interactive controls, in focus order.
    StartFreq,
    EndFreq,
    StartLevel,
    EndLevel,
    Steps,
    Logsteps,
    ToneTime,
    ToneCycles,
    Dither1,
    Shiftmode,
    Samplerate,
    Wordlength,
    Channels,
    ShowInfo,
    AutoName,
    FileName,
    OK,
    Abort,
    // Display controls.
    Status,
    Progress1,
    Progress2,
};

// The 17 controls that are locked and unlocked together around a run,
// in focus order (Abort is not among them).
inline constexpr std::array<Control, 17> kInputControls = {
    Control::StartFreq,  Control::EndFreq,    Control::StartLevel, Control::EndLevel,
    Control::Steps,      Control::Logsteps,   Control::ToneTime,   Control::ToneCycles,
    Control::Dither1,    Control::Shiftmode,  Control::Samplerate, Control::Wordlength,
    Control::Channels,   Control::ShowInfo,   Control::AutoName,   Control::FileName,
    Control::OK,
};

// The control's object name in the window (also used in test recordings).
std::string_view control_name(Control c);

}  // namespace sweepwav
