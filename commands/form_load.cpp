#include <string>

#include "commands/commands.h"
#include "numbers/exact_math.h"
#include "numbers/number_text.h"
#include "settings/catalogue.h"
#include "settings/output_folder.h"

namespace sweepwav {

namespace {

// Fills a list with its items and their values.
void Fill(WindowOps& w, Control list) {
    const std::span<const ListItem> items = EntryOf(list).items;
    for (std::size_t i = 0; i < items.size(); ++i) {
        w.add_item(list, items[i].text, static_cast<int>(i), items[i].value);
    }
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

// An entry's start-up value as a number: a box's number, a list's item
// name (the rate, the word length, the channel count, the shift mode).
double Startup(Control c) { return ParseNumber(std::string(EntryOf(c).startup)).value_or(0); }

bool StartupTick(Control c) { return EntryOf(c).startup == "yes"; }

}  // namespace

void Form_Load(GeneratorState& s, WindowOps& w, Services& sv, bool lookUpFolder) {
    s.dPi = 4 * ExactAtan(1.0);  // the double nearest pi
    s.sAppTitle = "Sweep WAV generation";

    const FolderDefaults folders = sv.folder_defaults();
    s.sRegistryKey = "HKCU\\Software\\Corvalis\\Olvane\\Paths\\";
    s.outputFolder = {folders.appDirectory + folders.wavetableFolder, FolderLookup::NotDone};

    s.iShiftMode = static_cast<std::int16_t>(Startup(Control::Shiftmode));
    s.sFileName = "testing.wav";
    s.dStartLevel = Startup(Control::StartLevel);
    s.dEndLevel = Startup(Control::EndLevel);
    s.dStartFreq = Startup(Control::StartFreq);
    s.dEndFreq = Startup(Control::EndFreq);
    s.dToneTime = Startup(Control::ToneTime);
    s.iSampleRate = static_cast<std::int32_t>(Startup(Control::Samplerate));
    s.iChannels = static_cast<std::int16_t>(Startup(Control::Channels));
    s.iBits = static_cast<std::int16_t>(Startup(Control::Wordlength));
    s.iSteps = static_cast<std::int16_t>(Startup(Control::Steps));
    s.bLogSteps = StartupTick(Control::Logsteps);
    s.iToneCycles = static_cast<std::int32_t>(Startup(Control::ToneCycles));
    s.bDither = StartupTick(Control::Dither1);

    Fill(w, Control::Samplerate);
    SelectByValue(w, Control::Samplerate, s.iSampleRate);
    Fill(w, Control::Wordlength);
    SelectByValue(w, Control::Wordlength, s.iBits);
    Fill(w, Control::Channels);
    w.select_index(Control::Channels, s.iChannels - 1);
    Fill(w, Control::Shiftmode);
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
    w.set_text(Control::FileName, std::string(EntryOf(Control::FileName).startup));
    w.set_caption(s.sAppTitle);
    w.set_enabled(Control::Abort, false);

    if (lookUpFolder) Get_Olvane_Path(s, w, sv);
}

void Enable_form(WindowOps& w, bool enabled) {
    for (Control c : kInputControls) w.set_enabled(c, enabled);
}

}  // namespace sweepwav
