#include "platform/controls.h"

namespace sweepwav {

std::string_view control_name(Control c) {
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
        case Control::Abort: return "Abort";
        case Control::Status: return "Status";
        case Control::Progress1: return "Progress1";
        case Control::Progress2: return "Progress2";
    }
    return "?";
}

}  // namespace sweepwav
