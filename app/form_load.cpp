#include <cmath>
#include <string>

#include "app/commands.h"
#include "settings/number_text.h"
#include "settings/output_folder.h"

namespace sweepwav {

namespace {

struct Item {
    const char* text;
    std::int32_t value;
};

constexpr Item kSampleRates[] = {
    {"32kHz", 32000}, {"44.1kHz", 44100}, {"48kHz", 48000}, {"96kHz", 96000}, {"192kHz", 192000},
};
constexpr Item kWordLengths[] = {
    {"16 bit", 16}, {"18 bit", 18}, {"20 bit", 20}, {"22 bit", 22}, {"24 bit", 24},
};
constexpr const char* kChannelItems[] = {"mono", "stereo", "3 ch", "4 ch",
                                         "5 ch", "6 ch",   "7 ch", "8 ch"};
constexpr const char* kShiftModeItems[] = {"use frequency and time as entered",
                                           "shift frequency to fit time",
                                           "shift time to fit frequency"};

// Fills a list with valued items and selects the first whose value matches.
template <std::size_t N>
void FillAndSelect(WindowOps& w, Control list, const Item (&items)[N], std::int32_t wanted) {
    for (std::size_t i = 0; i < N; ++i) w.add_item(list, items[i].text, static_cast<int>(i), items[i].value);
    for (int i = 0; i < w.item_count(list); ++i) {
        if (w.item_value(list, i) == wanted) {
            w.select_index(list, i);
            break;
        }
    }
}

template <std::size_t N>
void FillPlain(WindowOps& w, Control list, const char* const (&items)[N]) {
    for (std::size_t i = 0; i < N; ++i) w.add_item(list, items[i], static_cast<int>(i), 0);
}

}  // namespace

void Form_Load(GeneratorState& s, WindowOps& w, Services& sv, bool lookUpFolder) {
    s.dPi = 4 * std::atan(1.0);
    s.sAppTitle = "Sweep WAV generation";

    const FolderDefaults folders = sv.folder_defaults();
    s.sRegistryKey = "HKCU\\Software\\Corvalis\\Olvane\\Paths\\";
    s.sAppDirectory = folders.appDirectory;
    s.sWavetableFolder = folders.wavetableFolder;

    s.iShiftMode = 2;
    s.sFileName = "testing.wav";
    s.dStartLevel = 0;
    s.dEndLevel = 0;
    s.dStartFreq = 20;
    s.dEndFreq = 20000;
    s.dToneTime = 200;
    s.iSampleRate = 44100;
    s.iChannels = 2;
    s.iBits = 16;
    s.iSteps = 10;
    s.bLogSteps = true;
    s.iToneCycles = 20;
    s.bDither = true;

    FillAndSelect(w, Control::Samplerate, kSampleRates, s.iSampleRate);
    FillAndSelect(w, Control::Wordlength, kWordLengths, s.iBits);
    FillPlain(w, Control::Channels, kChannelItems);
    w.select_index(Control::Channels, s.iChannels - 1);
    FillPlain(w, Control::Shiftmode, kShiftModeItems);
    w.select_index(Control::Shiftmode, s.iShiftMode);

    w.set_text(Control::StartFreq, NumberText(s.dStartFreq));
    w.set_text(Control::EndFreq, NumberText(s.dEndFreq));
    w.set_text(Control::StartLevel, NumberText(s.dStartLevel));
    w.set_text(Control::EndLevel, NumberText(s.dEndLevel));
    w.set_text(Control::Steps, std::to_string(s.iSteps));
    w.set_checked(Control::Logsteps, s.bLogSteps);
    w.set_text(Control::ToneTime, NumberText(s.dToneTime));
    w.set_text(Control::ToneCycles, std::to_string(s.iToneCycles));
    w.set_checked(Control::Dither1, s.bDither);

    w.set_line_x2(Control::Progress1, 60, false);
    w.set_line_x2(Control::Progress2, 60, false);
    w.set_text(Control::FileName, "filename.wav");
    w.set_caption(s.sAppTitle);
    w.set_enabled(Control::Abort, false);

    if (lookUpFolder) Get_Olvane_Path(s, w, sv);
}

void Enable_form(WindowOps& w, bool enabled) {
    for (Control c : kInputControls) w.set_enabled(c, enabled);
}

}  // namespace sweepwav
