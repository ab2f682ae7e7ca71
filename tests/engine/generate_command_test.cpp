// The Generate command end to end against the recording fake: controls
// locking, validation messages and their order, the conversions of the
// controls into settings, the output folder, and the run's status reports.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/commands.h"
#include "settings/output_folder.h"
#include "tests/support/recording_fake.h"
#include "wav/generation_run.h"

namespace sweepwav {
namespace {

using testing::RecordingServices;
using testing::RecordingWindow;

const std::string kTitle = "Sweep WAV generation";
const std::string kOutput = "/data/analyser/User Wavetables/filename.wav";

// Puts the pauses into the window's log so that their order shows.
class LoggingServices : public RecordingServices {
public:
    explicit LoggingServices(RecordingWindow& w) : w_(w) {}
    void sleep_ms(int ms) override {
        RecordingServices::sleep_ms(ms);
        w_.log.push_back("sleep " + std::to_string(ms));
    }

private:
    RecordingWindow& w_;
};

class GenerateCommand : public ::testing::Test {
protected:
    void SetUp() override {
        Form_Load(s, w, sv);
        // A short sweep: 3 tones, the first 20 cycles of 20 Hz long.
        w.set_text(Control::Steps, "2");
        w.set_text(Control::ToneTime, "10");
        Forget();
    }

    void Forget() {
        w.log.clear();
        w.statuses.clear();
        w.progress1.clear();
        w.progress2.clear();
        w.boxes.clear();
    }

    void Run() { OK_Click(s, w, sv); }

    void ExpectControlsLockedThenUnlocked() {
        ASSERT_GE(w.log.size(), 34u);
        for (std::size_t i = 0; i < kInputControls.size(); ++i) {
            const std::string name(control_name(kInputControls[i]));
            EXPECT_EQ(w.log[i], "disable " + name);
            EXPECT_EQ(w.log[w.log.size() - 17 + i], "enable " + name);
            EXPECT_TRUE(w.enabled[kInputControls[i]]) << name;
        }
    }

    GeneratorState s;
    RecordingWindow w;
    LoggingServices sv{w};
};

TEST_F(GenerateCommand, CompletedRun) {
    sv.clockReadings = {36000.0, 36001.0};
    Run();
    EXPECT_TRUE(w.boxes.empty());
    EXPECT_EQ(w.statuses,
              (std::vector<std::string>{"Setting up calculations", "Generating sweep step 0 of 2",
                                        "Generating sweep step 1 of 2", "Generating sweep step 2 of 2",
                                        "Writing data to file...", "Done in 1 seconds",
                                        "Sweep Configuration"}));
    ASSERT_EQ(sv.files.size(), 1u);
    const auto& file = sv.files.at(kOutput);
    const std::size_t audio = static_cast<std::size_t>(s.iTotalBytes);
    EXPECT_EQ(file.size(), 44 + audio + (audio % 2));
    EXPECT_TRUE(std::equal(s.bHeader.begin(), s.bHeader.begin() + 44, file.begin()));
    EXPECT_TRUE(std::equal(s.bAudio.begin(), s.bAudio.begin() + s.iTotalBytes, file.begin() + 44));
    EXPECT_EQ(s.dSamples[0], 44100);  // 20 cycles of 20 Hz beat 10 ms

    // Report, full progress, the pause, then the idle look.
    const std::vector<std::string> tail = {
        "label Status=Writing data to file...", "label Status=Done in 1 seconds",
        "x2 Progress2=4660 redraw", "sleep 2000", "x2 Progress1=60", "x2 Progress2=60",
        "label Status=Sweep Configuration"};
    ASSERT_GE(w.log.size(), tail.size() + 17);
    EXPECT_TRUE(std::equal(tail.begin(), tail.end(), w.log.end() - 17 - tail.size()));
    EXPECT_EQ(sv.sleeps, std::vector<int>{2000});
    ExpectControlsLockedThenUnlocked();
    EXPECT_FALSE(w.enabled[Control::Abort]);
    EXPECT_EQ(w.caption, kTitle);
}

TEST(DoneText, Forms) {
    const std::pair<double, const char*> cases[] = {
        {12.3, "Done in 12.3 seconds"},    {5, "Done in 5 seconds"},
        {0, "Done in 0 seconds"},          {60, "Done in 60 seconds"},
        {60.1, "Done in 1min 0 seconds"},  {125.3, "Done in 2min 5 seconds"},
        {119.6, "Done in 1min 0 seconds"}, {90.5, "Done in 1min 30 seconds"},
        {91.5, "Done in 1min 32 seconds"}, {3599.9, "Done in 59min 0 seconds"},
    };
    for (const auto& [elapsed, text] : cases) { EXPECT_EQ(DoneText(elapsed), text) << elapsed; }
}

TEST_F(GenerateCommand, ElapsedTimeFromTheClock) {
    // The end of the run is read in single precision.
    struct Case {
        double start, end;
        const char* status;
    };
    const Case cases[] = {
        {36000, 36012.34, "Done in 12.3 seconds"},
        {36000, 36005.04, "Done in 5 seconds"},
        {36000, 36060.04, "Done in 60 seconds"},
        {36000, 36060.06, "Done in 1min 0 seconds"},
        {36000, 36125.3, "Done in 2min 5 seconds"},
        {36000, 36119.6, "Done in 1min 0 seconds"},
        {36000, 36090.5, "Done in 1min 30 seconds"},
        {36000, 36091.5, "Done in 1min 32 seconds"},
        {86399.5, 0.7, "Done in 1.2 seconds"},  // across midnight
        {86390, 125.3, "Done in 2min 15 seconds"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        Forget();
        sv.clockReadings = {c.start, c.end};
        Run();
        ASSERT_GE(w.statuses.size(), 2u);
        EXPECT_EQ(w.statuses[w.statuses.size() - 2], c.status);
        EXPECT_GT(s.dElapsed, 0);
    }
}

TEST_F(GenerateCommand, AbortedRunStillWritesTheFullFile) {
    w.onEvents = [&](int servicing) {
        if (servicing == 2) Abort_Click(s);
    };
    Run();
    EXPECT_EQ(w.statuses,
              (std::vector<std::string>{"Setting up calculations", "Generating sweep step 0 of 2",
                                        "Generating sweep step 1 of 2", "Writing data to file...",
                                        "Calculations aborted", "Sweep Configuration"}));
    const auto& file = sv.files.at(kOutput);
    EXPECT_EQ(file.size(), 44 + static_cast<std::size_t>(s.iTotalBytes) + s.iTotalBytes % 2);
    // The header states the planned size.
    EXPECT_EQ(file[40] | (file[41] << 8) | (file[42] << 16) | (file[43] << 24), s.iTotalBytes);
    // Silence after the first frame of tone 1.
    const std::size_t stop = 44 + (44100 + 1) * 4;
    EXPECT_TRUE(std::all_of(file.begin() + stop, file.end(), [](std::uint8_t b) { return b == 0; }));
    for (float x2 : w.progress2) { EXPECT_NE(x2, 4660); }
    EXPECT_EQ(w.progress2.back(), 60);
    EXPECT_EQ(w.progress1.back(), 60);
    EXPECT_EQ(sv.sleeps, std::vector<int>{2000});
    ExpectControlsLockedThenUnlocked();
}

TEST_F(GenerateCommand, FailedWriteIsReportedAndNothingIsDone) {
    sv.writeFailure = "No such file or directory";
    Run();
    ASSERT_EQ(w.boxes.size(), 1u);
    EXPECT_EQ(w.boxes[0].text, "Could not write the file " + kOutput + ": No such file or directory");
    EXPECT_EQ(w.boxes[0].title, kTitle);
    EXPECT_EQ(w.boxes[0].icon, Icon::Exclamation);
    EXPECT_TRUE(sv.files.empty());
    EXPECT_EQ(w.statuses.back(), "Sweep Configuration");
    EXPECT_EQ(w.statuses[w.statuses.size() - 2], "Writing data to file...");
    for (const auto& status : w.statuses) { EXPECT_EQ(status.find("Done"), std::string::npos) << status; }
    EXPECT_EQ(w.lines[Control::Progress1], 60);
    EXPECT_EQ(w.lines[Control::Progress2], 60);
    ExpectControlsLockedThenUnlocked();
}

TEST_F(GenerateCommand, OversizeSweepIsRefused) {
    ASSERT_TRUE(w.choose(Control::Samplerate, "192kHz"));
    ASSERT_TRUE(w.choose(Control::Wordlength, "24 bit"));
    ASSERT_TRUE(w.choose(Control::Channels, "8 ch"));
    ASSERT_TRUE(w.choose(Control::Shiftmode, "use frequency and time as entered"));
    w.set_text(Control::Steps, "1000");
    w.set_text(Control::ToneTime, "10000");
    Forget();
    Run();
    ASSERT_EQ(w.boxes.size(), 1u);
    EXPECT_EQ(w.boxes[0].text,
              "The resulting file would be larger than 2 GB. Please reduce the number of steps, the "
              "tone duration, the sample rate, the word length or the number of channels.");
    EXPECT_EQ(w.boxes[0].title, kTitle);
    EXPECT_EQ(w.boxes[0].icon, Icon::Exclamation);
    EXPECT_EQ(w.statuses, (std::vector<std::string>{"Setting up calculations", "Sweep Configuration"}));
    EXPECT_TRUE(sv.files.empty());
    EXPECT_LT(s.bAudio.capacity(), 1u << 20);
    ExpectControlsLockedThenUnlocked();
}

// ---- Validation -------------------------------------------------------------

struct Entry {
    Control box;
    const char* text;
};

struct ValidationCase {
    std::vector<Entry> entries;
    const char* list;  // a Samplerate item to choose, or nullptr
    const char* message;  // nullptr: both stages pass
};

std::string Limit(const char* which, const char* hz) {
    return std::string("Please check the sweep ") + which + hz + "Hz";
}

TEST_F(GenerateCommand, ValidationMessagesAndTheirOrder) {
    const std::string end = "end frequency is between 10 and ";
    const std::string start = "start frequency is is between 10 and ";
    const std::string r1 = Limit(end.c_str(), "21609");
    const std::string r2 = Limit(start.c_str(), "21609");
    const char* n1 = "Please check the End frequency is a valid number.";
    const char* n4 = "Please check the end amplitude is a valid number";
    const char* path = "The file name cannot contain path information.";
    const char* r3 = "Please check sweep end amplitude is between 0 and -200dBFS";
    const char* r4 = "Please check the number of steps is between 0 and 1000";
    const char* r5 = "Please check sweep start amplitude is between 0 and -200dBFS";
    const char* r6 = "Please check the tone duration is between 0 and 10000ms";
    const char* r7 = "Please check the number of cycles is between 0 and 200000";
    const std::string r1at32k = Limit(end.c_str(), "15680");

    const ValidationCase cases[] = {
        // First stage: numbers and separators.
        {{{Control::EndFreq, ""}, {Control::StartFreq, ""}, {Control::Steps, ""},
          {Control::EndLevel, ""}, {Control::StartLevel, ""}, {Control::ToneTime, ""},
          {Control::ToneCycles, ""}},
         nullptr, n1},
        {{{Control::EndFreq, "abc"}, {Control::StartFreq, "x"}}, nullptr, n1},
        {{{Control::StartFreq, "2O"}, {Control::EndFreq, "1e400"}}, nullptr,
         "Please check the start frequency is a valid number."},
        {{{Control::Steps, "ten"}, {Control::EndLevel, "-"}}, nullptr,
         "Please check the number of sweep steps is a valid number."},
        {{{Control::EndLevel, "-"}, {Control::StartLevel, "?"}}, nullptr, n4},
        {{{Control::StartLevel, "1,5"}, {Control::ToneTime, ""}}, nullptr,
         "Please check the start amplitude is a valid number."},
        {{{Control::ToneTime, "inf"}, {Control::ToneCycles, ""}}, nullptr,
         "Please check the tone time is a valid number."},
        {{{Control::ToneCycles, "2 0"}, {Control::FileName, "a/b"}}, nullptr,
         "Please check the number of cycles is a valid number."},
        {{{Control::FileName, "a\\b"}}, nullptr, path},
        {{{Control::FileName, "a/b"}}, nullptr, path},
        {{{Control::FileName, "c:name*?"}}, nullptr, nullptr},
        // Second stage: ranges, in their own order.
        {{{Control::StartFreq, "5"}, {Control::EndFreq, "50000"}}, nullptr, r1.c_str()},
        {{{Control::StartFreq, "5"}}, nullptr, r2.c_str()},
        {{{Control::EndFreq, "15680"}}, "32kHz", nullptr},
        {{{Control::EndFreq, "15680.001"}}, "32kHz", r1at32k.c_str()},
        {{{Control::EndFreq, "21609"}}, nullptr, nullptr},
        {{{Control::EndFreq, "21609.0005"}}, nullptr, nullptr},  // rounds to 21609
        {{{Control::StartFreq, "9.9996"}}, nullptr, nullptr},
        {{{Control::StartFreq, "9.9994"}}, nullptr, r2.c_str()},
        {{{Control::StartFreq, "20000"}, {Control::EndFreq, "20"}}, nullptr, nullptr},
        {{{Control::EndLevel, "-200"}, {Control::StartLevel, "-200"}}, nullptr, nullptr},
        {{{Control::EndLevel, "0.001"}, {Control::StartLevel, "0.001"}}, nullptr, r3},
        {{{Control::EndLevel, "-200.001"}}, nullptr, r3},
        {{{Control::StartLevel, "0.001"}, {Control::Steps, "-1"}}, nullptr, r4},
        {{{Control::StartLevel, "-200.001"}}, nullptr, r5},
        {{{Control::StartLevel, "-200.0004"}}, nullptr, nullptr},
        {{{Control::Steps, "1001"}}, nullptr, r4},
        {{{Control::Steps, "1000.5"}, {Control::ToneTime, "0"}, {Control::ToneCycles, "0"}}, nullptr,
         nullptr},
        {{{Control::Steps, "0"}}, nullptr, nullptr},
        {{{Control::ToneTime, "10000.5"}}, nullptr, r6},
        {{{Control::ToneTime, "-0.001"}}, nullptr, r6},
        {{{Control::ToneCycles, "200001"}}, nullptr, r7},
        {{{Control::ToneCycles, "-1"}}, nullptr, r7},
        {{{Control::ToneTime, "0"}, {Control::ToneCycles, "0"}}, nullptr, nullptr},
        // Whole numbers and values too large to store.
        {{{Control::Steps, "40000"}}, nullptr, r4},
        {{{Control::Steps, "-40000"}}, nullptr, r4},
        {{{Control::Steps, "1e300"}}, nullptr, r4},
        {{{Control::ToneCycles, "1e10"}, {Control::ToneTime, "5"}}, nullptr, r7},
        {{{Control::ToneCycles, "-1e10"}}, nullptr, r7},
        {{{Control::EndFreq, "1e400"}}, nullptr, r1.c_str()},
        {{{Control::StartFreq, "-1e400"}}, nullptr, r2.c_str()},
        {{{Control::EndLevel, "1e400"}}, nullptr, r3},
        {{{Control::StartLevel, "-1e400"}}, nullptr, r5},
        {{{Control::ToneTime, "1e400"}}, nullptr, r6},
        {{{Control::ToneTime, "1e308"}}, nullptr, r6},
        {{{Control::EndFreq, "1e308"}}, nullptr, r1.c_str()},
    };
    for (const auto& c : cases) {
        std::string label;
        for (const auto& e : c.entries) label += std::string(control_name(e.box)) + "=" + e.text + " ";
        if (c.list) label += c.list;
        SCOPED_TRACE(label);
        GeneratorState st;
        RecordingWindow win;
        RecordingServices services;
        Form_Load(st, win, services);
        win.set_text(Control::ToneTime, "1");  // keep the passing runs short
        win.set_text(Control::ToneCycles, "0");
        if (c.list) { ASSERT_TRUE(win.choose(Control::Samplerate, c.list)); }
        for (const auto& e : c.entries) win.set_text(e.box, e.text);
        OK_Click(st, win, services);
        if (c.message == nullptr) {
            EXPECT_TRUE(win.boxes.empty()) << win.boxes.front().text;
            EXPECT_EQ(services.binaryWrites, 1);
            EXPECT_TRUE(st.bDataOK);
        } else {
            ASSERT_EQ(win.boxes.size(), 1u);
            EXPECT_EQ(win.boxes[0].text, c.message);
            EXPECT_EQ(win.boxes[0].title, kTitle);
            EXPECT_EQ(win.boxes[0].icon, Icon::Exclamation);
            EXPECT_FALSE(st.bDataOK);
            EXPECT_EQ(services.binaryWrites, 0);
            EXPECT_TRUE(win.statuses.empty());
        }
        for (Control ctl : kInputControls) { EXPECT_TRUE(win.enabled[ctl]) << control_name(ctl); }
    }
}

TEST_F(GenerateCommand, FirstStageRefusalLeavesTextsAndSettingsAlone) {
    w.set_text(Control::StartFreq, "1000.12345");
    w.set_text(Control::EndLevel, "x");
    const double before = s.dStartFreq;
    Forget();
    Run();
    EXPECT_EQ(w.texts[Control::StartFreq], "1000.12345");
    EXPECT_EQ(s.dStartFreq, before);
    EXPECT_TRUE(w.logged("text ").empty());
}

TEST_F(GenerateCommand, RangeRefusalKeepsTheNormalisedValues) {
    w.set_text(Control::StartFreq, "5.00001");
    Forget();
    Run();
    EXPECT_EQ(w.texts[Control::StartFreq], "5");
    EXPECT_EQ(s.dStartFreq, 5);
}

// ---- Conversions of the controls into settings -------------------------------

TEST_F(GenerateCommand, NumbersAreRoundedAndShownBack) {
    struct Case {
        Control box;
        const char* typed;
        const char* shown;  // nullptr: the box is not rewritten
        double GeneratorState::*field;
        double value;
    };
    const Case cases[] = {
        {Control::StartFreq, "1000.12345", "1000.123", &GeneratorState::dStartFreq, 1000.123},
        {Control::EndFreq, "20.0004", "20", &GeneratorState::dEndFreq, 20},
        {Control::EndFreq, " 2e3 ", "2000", &GeneratorState::dEndFreq, 2000},
        {Control::StartLevel, "-0.5", "-0.5", &GeneratorState::dStartLevel, -0.5},
        {Control::StartLevel, "-0.0004", "0", &GeneratorState::dStartLevel, 0},
        {Control::EndLevel, "-3.0005", "-3", &GeneratorState::dEndLevel, -3},  // half to even
        {Control::EndLevel, "-3.0015", "-3.002", &GeneratorState::dEndLevel, -3.002},
        {Control::ToneTime, "1000.12345", nullptr, &GeneratorState::dToneTime, 1000.12345},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        w.set_text(c.box, c.typed);
        Forget();
        Get_Data_From_Form(s, w);
        EXPECT_EQ(s.*c.field, c.value);
        EXPECT_EQ(w.texts[c.box], c.shown ? c.shown : c.typed);
        if (!c.shown) {
            for (const auto& e : w.logged("text ")) {
                EXPECT_NE(e.rfind("text " + std::string(control_name(c.box)), 0), 0u);
            }
        }
    }
    // The rewrites happen in a fixed order: levels, then frequencies, then steps.
    Forget();
    Get_Data_From_Form(s, w);
    const auto rewrites = w.logged("text ");
    ASSERT_EQ(rewrites.size(), 5u);
    const char* order[] = {"text StartLevel=", "text EndLevel=", "text StartFreq=", "text EndFreq=",
                           "text Steps="};
    for (int i = 0; i < 5; ++i) { EXPECT_EQ(rewrites[i].rfind(order[i], 0), 0u) << rewrites[i]; }
}

TEST_F(GenerateCommand, WholeNumbersRoundHalfToEven) {
    const std::pair<const char*, int> steps[] = {{"11.5", 12}, {"10.5", 10}, {" 7 ", 7}, {"2.4999", 2}};
    for (const auto& [typed, value] : steps) {
        w.set_text(Control::Steps, typed);
        Get_Data_From_Form(s, w);
        EXPECT_EQ(s.iSteps, value) << typed;
        EXPECT_EQ(w.texts[Control::Steps], std::to_string(value));
    }
    const std::pair<const char*, std::int32_t> cycles[] = {
        {"30000", 30000}, {"150000", 150000}, {"20.5", 20}, {"21.5", 22}};
    for (const auto& [typed, value] : cycles) {
        w.set_text(Control::ToneCycles, typed);
        Get_Data_From_Form(s, w);
        EXPECT_EQ(s.iToneCycles, value) << typed;
        EXPECT_EQ(w.texts[Control::ToneCycles], typed);
    }
}

TEST_F(GenerateCommand, FileNameGetsWavInPlaceOfItsExtension) {
    const std::pair<const char*, const char*> cases[] = {
        {"my.sweep.wav", "my.wav"}, {"sweep", "sweep.wav"}, {"sweep.", "sweep.wav"},
        {".wav", ".wav"},           {"", ".wav"},           {" a b ", " a b .wav"},
        {"x.WAV", "x.wav"},
    };
    for (const auto& [typed, name] : cases) {
        w.set_text(Control::FileName, typed);
        Get_Data_From_Form(s, w);
        EXPECT_EQ(s.sFileName, name) << '"' << typed << '"';
        EXPECT_EQ(w.texts[Control::FileName], typed);
    }
}

TEST_F(GenerateCommand, ListsAndCheckBoxes) {
    struct Case {
        const char* rate;
        const char* bits;
        const char* channels;
        const char* mode;
        bool dither, log;
        std::int32_t iSampleRate;
        std::int16_t iBits, iChannels, iShiftMode;
    };
    const Case cases[] = {
        {"44.1kHz", "24 bit", "mono", "shift frequency to fit time", false, true, 44100, 24, 1, 1},
        {"192kHz", "18 bit", "8 ch", "use frequency and time as entered", true, false, 192000, 18, 8, 0},
        {"32kHz", "22 bit", "stereo", "shift time to fit frequency", true, true, 32000, 22, 2, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rate);
        ASSERT_TRUE(w.choose(Control::Samplerate, c.rate));
        ASSERT_TRUE(w.choose(Control::Wordlength, c.bits));
        ASSERT_TRUE(w.choose(Control::Channels, c.channels));
        ASSERT_TRUE(w.choose(Control::Shiftmode, c.mode));
        w.set_checked(Control::Dither1, c.dither);
        w.set_checked(Control::Logsteps, c.log);
        Get_Data_From_Form(s, w);
        EXPECT_EQ(s.iSampleRate, c.iSampleRate);
        EXPECT_EQ(s.iBits, c.iBits);
        EXPECT_EQ(s.iChannels, c.iChannels);
        EXPECT_EQ(s.iShiftMode, c.iShiftMode);
        EXPECT_EQ(s.bDither, c.dither);
        EXPECT_EQ(s.bLogSteps, c.log);
    }
}

// ---- Output folder ---------------------------------------------------------------

TEST(OutputFolder, AnalyserSettingsLookup) {
    struct Case {
        SettingRead read;
        bool message;
        const char* directory;
        const char* subfolder;
    };
    const Case cases[] = {
        {{true, "/srv/Analyser", {}}, false, "/srv/Analyser", "/User Wavetables/"},
        {{true, "/srv/Analyser/", {}}, false, "/srv/Analyser/", "/User Wavetables/"},
        {{true, "", {}}, false, "", "/User Wavetables/"},
        {{false, {}, "Invalid root in settings key"}, true, "/home/user/", ""},
        {{false, {}, "INVALID"}, true, "/home/user/", ""},
        {{false, {}, "invalid"}, true, "/home/user/", ""},
        {{false, {}, "InVaLiD path"}, true, "/home/user/", ""},
        {{false, {}, " invalid"}, false, "/opt/analyser", "/User Wavetables/"},
        {{false, {}, "Invali"}, false, "/opt/analyser", "/User Wavetables/"},
        {{false, {}, "Unable to read the settings"}, false, "/opt/analyser", "/User Wavetables/"},
        {{false, {}, ""}, false, "/opt/analyser", "/User Wavetables/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.read.ok ? c.read.value : c.read.description);
        GeneratorState s;
        RecordingWindow w;
        RecordingServices sv;
        sv.setting = c.read;
        Form_Load(s, w, sv);
        EXPECT_EQ(sv.settingReads,
                  std::vector<std::string>{"HKCU\\Software\\Corvalis\\Olvane\\Paths\\Application directory"});
        EXPECT_EQ(s.sAppDirectory, c.directory);
        EXPECT_EQ(s.sWavetableFolder, c.subfolder);
        EXPECT_EQ(OutputFolder(s), std::string(c.directory) + c.subfolder);
        if (c.message) {
            ASSERT_EQ(w.boxes.size(), 1u);
            EXPECT_EQ(w.boxes[0].text, "Couldn't find Olvane installation path");
            EXPECT_EQ(w.boxes[0].title, "");
            EXPECT_EQ(w.boxes[0].icon, Icon::None);
        } else {
            EXPECT_TRUE(w.boxes.empty());
        }
    }
}

TEST(OutputFolder, FallbackWritesIntoTheRootFolder) {
    GeneratorState s;
    RecordingWindow w;
    RecordingServices sv;
    sv.setting = {false, {}, "Invalid root in settings key"};
    Form_Load(s, w, sv);
    w.set_text(Control::Steps, "0");
    w.set_text(Control::ToneTime, "1");
    OK_Click(s, w, sv);
    ASSERT_EQ(sv.files.size(), 1u);
    EXPECT_EQ(sv.files.begin()->first, "/home/user/filename.wav");
}

}  // namespace
}  // namespace sweepwav
