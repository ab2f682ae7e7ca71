// Names of the window's controls, shared by the engine procedures, the
// windows and the command-line front end: the form's, then those of the
// Options menu and the Signal options dialog, which set options kept in the
// state rather than in the form.
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
    Play,
    Abort,
    // Display controls.
    Status,
    Progress1,
    Progress2,
    // Options beside the form.
    WriteMarkers,
    Spacing,
    NominalBands,
    FrequencyList,
    LeadInMs,
    GapMs,
    TailMs,
    RampMs,
    SignalChannels,
};

// The 17 controls that are locked and unlocked together around a run,
// in focus order (Play and Abort, which stop what runs, are not among them).
inline constexpr std::array<Control, 17> kInputControls = {
    Control::StartFreq,  Control::EndFreq,    Control::StartLevel, Control::EndLevel,
    Control::Steps,      Control::Logsteps,   Control::ToneTime,   Control::ToneCycles,
    Control::Dither1,    Control::Shiftmode,  Control::Samplerate, Control::Wordlength,
    Control::Channels,   Control::ShowInfo,   Control::AutoName,   Control::FileName,
    Control::OK,
};

// The control's object name in the window, by which the window finds its
// widget (also used in test recordings).
constexpr std::string_view control_name(Control c) {
    switch (c) {
        case Control::StartFreq: return "StartFreq";
        case Control::EndFreq: return "EndFreq";
        case Control::StartLevel: return "StartLevel";
        case Control::EndLevel: return "EndLevel";
        case Control::Steps: return "Steps";
        case Control::Logsteps: return "Logsteps";
        case Control::ToneTime: return "ToneTime";
        case Control::ToneCycles: return "ToneCycles";
        case Control::Dither1: return "Dither1";
        case Control::Shiftmode: return "Shiftmode";
        case Control::Samplerate: return "Samplerate";
        case Control::Wordlength: return "Wordlength";
        case Control::Channels: return "Channels";
        case Control::ShowInfo: return "ShowInfo";
        case Control::AutoName: return "AutoName";
        case Control::FileName: return "FileName";
        case Control::OK: return "OK";
        case Control::Play: return "Play";
        case Control::Abort: return "Abort";
        case Control::Status: return "Status";
        case Control::Progress1: return "Progress1";
        case Control::Progress2: return "Progress2";
        case Control::WriteMarkers: return "WriteMarkers";
        case Control::Spacing: return "Spacing";
        case Control::NominalBands: return "NominalBands";
        case Control::FrequencyList: return "FrequencyList";
        case Control::LeadInMs: return "LeadInMs";
        case Control::GapMs: return "GapMs";
        case Control::TailMs: return "TailMs";
        case Control::RampMs: return "RampMs";
        case Control::SignalChannels: return "SignalChannels";
    }
    return "?";
}

// The form's controls, for tables indexed by control.
inline constexpr int kFormControlCount = static_cast<int>(Control::Progress2) + 1;

}  // namespace sweepwav
