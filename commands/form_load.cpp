#include <cmath>
#include <string>

#include "commands/commands.h"
#include "commands/form_items.h"
#include "numbers/number_text.h"
#include "settings/output_folder.h"

namespace sweepwav {

namespace {

// Fills a list with its items and their values.
template <std::size_t N>
void Fill(WindowOps& w, Control list, const std::array<ListItem, N>& items) {
    for (std::size_t i = 0; i < N; ++i) w.add_item(list, items[i].text, static_cast<int>(i), items[i].value);
}

// Selects the first item whose value matches, searching from position 0.
void SelectByValue(WindowOps& w, Control list, std::int32_t wanted) {
    for (int i = 0; i < w.item_count(list); ++i) {
        if (w.item_value(list, i) == wanted) {
            w.select_index(list, i);
            break;
        }
    }
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

    Fill(w, Control::Samplerate, kSampleRateItems);
    SelectByValue(w, Control::Samplerate, s.iSampleRate);
    Fill(w, Control::Wordlength, kWordLengthItems);
    SelectByValue(w, Control::Wordlength, s.iBits);
    Fill(w, Control::Channels, kChannelItems);
    w.select_index(Control::Channels, s.iChannels - 1);
    Fill(w, Control::Shiftmode, kShiftModeItems);
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

    w.set_progress(Control::Progress1, 0, false);
    w.set_progress(Control::Progress2, 0, false);
    w.set_text(Control::FileName, "filename.wav");
    w.set_caption(s.sAppTitle);
    w.set_enabled(Control::Abort, false);

    if (lookUpFolder) Get_Olvane_Path(s, w, sv);
}

void Enable_form(WindowOps& w, bool enabled) {
    for (Control c : kInputControls) w.set_enabled(c, enabled);
}

}  // namespace sweepwav
