// The Generate command against the recording fake: the run's reports, the
// checks of the entries, their conversion into settings and the output folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "commands/commands.h"
#include "commands/outputs.h"
#include "plan/tone_plan.h"
#include "settings/form_data.h"
#include "settings/output_folder.h"
#include "support/planned_sweep.h"
#include "support/recording_fake.h"
#include "synth/synthesis.h"

namespace sweepwav {
namespace {

using testing::RecordingServices;
using testing::RecordingWindow;

const std::string kTitle = "Sweep WAV generation";
const std::string kOutput = "/data/analyser/User Wavetables/filename.wav";

// The audio a run of the same plan makes without an abort.
std::vector<std::uint8_t> WholeAudio(const GeneratorState& planned, std::uint64_t seed, unsigned workers) {
    GeneratorState again = planned;
    RecordingWindow quiet;
    return testing::SynthesisedAudio(again, quiet, seed, workers);
}

class GenerateCommand : public ::testing::Test {
protected:
    // One 1 ms tone unless the texts say otherwise.
    void Run(const std::vector<std::pair<Control, const char*>>& texts = {}) {
        s = GeneratorState{};
        auto hook = w.onEvents;
        w = RecordingWindow{};
        w.onEvents = hook;
        sv.files.clear();
        sv.sleeps.clear();
        sv.binaryWrites = 0;
        sv.sleepLog = &w.log;
        Form_Load(s, w, sv);
        w.set_text(Control::ToneTime, "1");
        w.set_text(Control::ToneCycles, "0");
        w.set_text(Control::Steps, "0");
        for (const auto& [box, text] : texts) {
            if (box == Control::Samplerate) w.choose(box, text);
            else w.set_text(box, text);
        }
        w.log.clear();
        OK_Click(s, w, sv);
    }

    void ExpectControlsLockedThenUnlocked() {
        ASSERT_GE(w.log.size(), 2 * kInputControls.size());
        for (std::size_t i = 0; i < kInputControls.size(); ++i) {
            const std::string name(control_name(kInputControls[i]));
            EXPECT_EQ(w.log[i], "disable " + name);
            EXPECT_EQ(w.log[w.log.size() - kInputControls.size() + i], "enable " + name);
        }
    }

    GeneratorState s;
    RecordingWindow w;
    RecordingServices sv;
};

TEST_F(GenerateCommand, CompletedRun) {
    sv.clockReadings = {36000.0, 36001.0};
    Run({{Control::Steps, "2"}, {Control::ToneTime, "10"}});
    EXPECT_TRUE(w.boxes.empty());
    EXPECT_EQ(w.statuses,
              (std::vector<std::string>{"Setting up calculations", "Generating sweep step 0 of 2",
                                        "Generating sweep step 1 of 2", "Generating sweep step 2 of 2",
                                        "Writing data to file...", "Done in 1 seconds", "Sweep Configuration"}));
    const auto& file = sv.files.at(kOutput);
    const std::size_t audio = static_cast<std::size_t>(s.iTotalBytes);
    EXPECT_EQ(file.size(), 44 + audio + (audio % 2));
    ASSERT_EQ(s.bHeader.size(), 44u);
    EXPECT_TRUE(std::equal(s.bHeader.begin(), s.bHeader.end(), file.begin()));
    // The audio as one pass of synthesis on a single thread makes it.
    const auto expected = WholeAudio(s, sv.seed, 0);
    ASSERT_EQ(expected.size(), audio);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), file.begin() + 44));
    // Report, full progress, the pause, then the idle look.
    const std::vector<std::string> tail = {
        "label Status=Writing data to file...", "label Status=Done in 1 seconds", "x2 Progress2=4660 redraw",
        "sleep 2000", "x2 Progress1=60", "x2 Progress2=60", "label Status=Sweep Configuration"};
    ASSERT_GE(w.log.size(), tail.size() + 17);
    EXPECT_TRUE(std::equal(tail.begin(), tail.end(), w.log.end() - 17 - tail.size()));
    EXPECT_EQ(sv.sleeps, std::vector<int>{2000});
    ExpectControlsLockedThenUnlocked();
}

TEST_F(GenerateCommand, ElapsedTimeFromTheClock) {
    // The end of the run is read in single precision; a run may pass midnight.
    const struct {
        double start, end;
        const char* status;
    } cases[] = {
        {36000, 36012.34, "Done in 12.3 seconds"},  {36000, 36005.04, "Done in 5 seconds"},
        {36000, 36060.04, "Done in 60 seconds"},    {36000, 36060.06, "Done in 1min 0 seconds"},
        {36000, 36125.3, "Done in 2min 5 seconds"}, {36000, 36119.6, "Done in 1min 0 seconds"},
        {36000, 36090.5, "Done in 1min 30 seconds"}, {36000, 36091.5, "Done in 1min 32 seconds"},
        {86399.5, 0.7, "Done in 1.2 seconds"},      {86390, 125.3, "Done in 2min 15 seconds"},
        // The end read in single precision falls before the start: no day is added.
        {36000.001, 36000.0015, "Done in 0 seconds"}, {43200.002, 43200.001, "Done in 0 seconds"},
    };
    for (const auto& c : cases) {
        sv.clockReadings = {c.start, c.end};
        Run();
        ASSERT_GE(w.statuses.size(), 2u);
        EXPECT_EQ(w.statuses[w.statuses.size() - 2], c.status);
    }
}

TEST_F(GenerateCommand, AbortedRunStillWritesTheFullFile) {
    // Abort seen at the start of the first, the second and the last tone:
    // everything before that tone and its first frame, then silence.
    for (int seenAt : {1, 2, 3}) {
        SCOPED_TRACE(seenAt);
        w.onEvents = [&](int servicing) {
            if (servicing == seenAt) Abort_Click(s);
        };
        Run({{Control::Steps, "2"}, {Control::ToneTime, "10"}, {Control::ToneCycles, "20"}});
        std::vector<std::string> statuses = {"Setting up calculations"};
        for (int k = 0; k < seenAt; ++k) statuses.push_back("Generating sweep step " + std::to_string(k) + " of 2");
        statuses.insert(statuses.end(), {"Writing data to file...", "Calculations aborted", "Sweep Configuration"});
        EXPECT_EQ(w.statuses, statuses);
        const auto& file = sv.files.at(kOutput);
        EXPECT_EQ(file.size(), 44 + static_cast<std::size_t>(s.iTotalBytes) + s.iTotalBytes % 2);

        const auto whole = WholeAudio(s, sv.seed, 1);
        std::size_t kept = 4;  // one stereo 16-bit frame of the aborted tone
        for (int k = 0; k + 1 < seenAt; ++k) kept += static_cast<std::size_t>(s.dSamples[k]) * 4;
        EXPECT_TRUE(std::equal(whole.begin(), whole.begin() + kept, file.begin() + 44));
        EXPECT_TRUE(std::all_of(file.begin() + 44 + kept, file.end(), [](std::uint8_t b) { return b == 0; }));
        EXPECT_EQ(s.iWritePos, kept);
        EXPECT_EQ(std::count(w.progress2.begin(), w.progress2.end(), 4660.0f), 0);  // never shown full
        EXPECT_EQ(sv.sleeps, std::vector<int>{2000});
        ExpectControlsLockedThenUnlocked();
    }
}

TEST_F(GenerateCommand, FailedWriteIsReportedAndNothingIsDone) {
    // The file fails when it is opened, in the middle of the first tone,
    // or when it is put in place. The run stops there with the same message, and no file
    // appears.
    using FailAt = RecordingServices::FailAt;
    const struct {
        FailAt at;
        std::uint64_t afterBytes;
        std::vector<std::string> statuses;
    } cases[] = {
        {FailAt::Open, 0, {"Setting up calculations", "Sweep Configuration"}},
        {FailAt::Write, 44 + 10, {"Setting up calculations", "Generating sweep step 0 of 2", "Sweep Configuration"}},
        {FailAt::Commit, 0,
         {"Setting up calculations", "Generating sweep step 0 of 2", "Generating sweep step 1 of 2",
          "Generating sweep step 2 of 2", "Writing data to file...", "Sweep Configuration"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.statuses.size());
        sv.writeFailure = "No space left on device";
        sv.failAt = c.at;
        sv.failAfterBytes = c.afterBytes;
        Run({{Control::Steps, "2"}});
        ASSERT_EQ(w.boxes.size(), 1u);
        EXPECT_EQ(w.boxes[0].text, "Could not write the file " + kOutput + ": No space left on device");
        EXPECT_EQ(w.boxes[0].title, kTitle);
        EXPECT_EQ(w.boxes[0].icon, Icon::Exclamation);
        EXPECT_EQ(w.statuses, c.statuses);
        EXPECT_TRUE(sv.files.empty());
        EXPECT_FALSE(s.bFileWritten);
        EXPECT_TRUE(sv.sleeps.empty());
        EXPECT_EQ(w.caption, kTitle);
        EXPECT_EQ(w.log[w.log.size() - 17 - 3], "x2 Progress1=60");  // then the idle look
        ExpectControlsLockedThenUnlocked();
    }
}

TEST_F(GenerateCommand, EntryChecksInTheirOrder) {
    const std::string r1 = "Please check the sweep end frequency is between 10 and 21609Hz",
                      r2 = "Please check the sweep start frequency is is between 10 and 21609Hz",
                      r3 = "Please check sweep end amplitude is between 0 and -200dBFS",
                      r4 = "Please check the number of steps is between 0 and 1000",
                      r5 = "Please check sweep start amplitude is between 0 and -200dBFS",
                      r6 = "Please check the tone duration is between 0 and 10000ms",
                      r7 = "Please check the number of cycles is between 0 and 200000",
                      path = "The file name cannot contain path information.";
    using C = Control;
    const struct {
        std::vector<std::pair<Control, const char*>> texts;
        std::string message;  // empty: the entries are accepted
    } cases[] = {
        // Numbers and file name, in this order.
        {{{C::EndFreq, ""}, {C::StartFreq, ""}, {C::Steps, ""}, {C::EndLevel, ""}, {C::StartLevel, ""},
          {C::ToneTime, ""}, {C::ToneCycles, ""}}, "Please check the End frequency is a valid number."},
        {{{C::StartFreq, "2O"}, {C::EndFreq, "1e400"}}, "Please check the start frequency is a valid number."},
        {{{C::Steps, "ten"}, {C::EndLevel, "-"}}, "Please check the number of sweep steps is a valid number."},
        {{{C::EndLevel, "-"}, {C::StartLevel, "?"}}, "Please check the end amplitude is a valid number"},
        {{{C::StartLevel, "1,5"}, {C::ToneTime, ""}}, "Please check the start amplitude is a valid number."},
        {{{C::ToneTime, "inf"}, {C::ToneCycles, ""}}, "Please check the tone time is a valid number."},
        {{{C::ToneCycles, "2 0"}, {C::FileName, "a/b"}},
         "Please check the number of cycles is a valid number."},
        {{{C::FileName, "a\\b"}}, path},
        {{{C::FileName, "a/b"}}, path},
        {{{C::FileName, "c:name*?"}}, ""},
        // Ranges, in their own order.
        {{{C::StartFreq, "5"}, {C::EndFreq, "50000"}}, r1},
        {{{C::StartFreq, "5"}}, r2},
        {{{C::Samplerate, "32kHz"}, {C::EndFreq, "15680"}}, ""},
        {{{C::Samplerate, "32kHz"}, {C::EndFreq, "15680.001"}},
         "Please check the sweep end frequency is between 10 and 15680Hz"},
        {{{C::StartFreq, "9.9996"}}, ""},
        {{{C::StartFreq, "9.9994"}}, r2},
        {{{C::EndLevel, "-200"}, {C::StartLevel, "0"}}, ""},
        {{{C::EndLevel, "0.001"}, {C::StartLevel, "0.001"}}, r3},
        {{{C::EndLevel, "-200.001"}}, r3},
        {{{C::StartLevel, "0.001"}, {C::Steps, "-1"}}, r4},
        {{{C::StartLevel, "-200.001"}}, r5},
        {{{C::Steps, "1000"}}, ""},
        {{{C::Steps, "1001"}}, r4},
        {{{C::ToneTime, "10000"}}, ""},
        {{{C::ToneTime, "10000.5"}}, r6},
        {{{C::StartFreq, "20000"}, {C::ToneCycles, "200000"}}, ""},
        {{{C::ToneCycles, "200001"}}, r7},
        // Whole numbers and values too large to store.
        {{{C::Steps, "40000"}}, r4},
        {{{C::Steps, "-1e300"}}, r4},
        {{{C::ToneCycles, "1e10"}}, r7},
        {{{C::EndFreq, "1e400"}}, r1},
        {{{C::StartLevel, "-1e400"}}, r5},
        {{{C::ToneTime, "1e400"}}, r6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "row " << &c - cases << ": " << c.texts[0].second);
        Run(c.texts);
        if (c.message.empty()) {
            EXPECT_TRUE(w.boxes.empty()) << w.boxes.front().text;
            EXPECT_EQ(sv.binaryWrites, 1);
        } else {
            ASSERT_EQ(w.boxes.size(), 1u);
            EXPECT_EQ(w.boxes[0].text, c.message);
            EXPECT_EQ(w.boxes[0].title, kTitle);
            EXPECT_EQ(w.boxes[0].icon, Icon::Exclamation);
            EXPECT_FALSE(s.bDataOK);
            EXPECT_EQ(sv.binaryWrites, 0);
            EXPECT_TRUE(w.statuses.empty());
        }
        ExpectControlsLockedThenUnlocked();
    }
}

TEST(GetDataFromForm, ConvertsTheEntries) {
    GeneratorState s;
    RecordingWindow w;
    RecordingServices sv;
    Form_Load(s, w, sv, false);
    w.set_text(Control::StartFreq, "1000.12345");
    w.set_text(Control::EndLevel, "-3.0005");
    w.set_text(Control::ToneTime, "1000.12345");
    w.set_text(Control::Steps, "11.5");
    w.log.clear();
    Get_Data_From_Form(s, w);
    EXPECT_EQ(s.dStartFreq, 1000.123);
    EXPECT_EQ(w.texts[Control::StartFreq], "1000.123");
    EXPECT_EQ(s.dEndLevel, -3);  // half to even
    EXPECT_EQ(w.texts[Control::EndLevel], "-3");
    EXPECT_EQ(s.dToneTime, 1000.12345);
    EXPECT_TRUE(w.logged("text ToneTime").empty());  // the tone time is never rewritten
    EXPECT_EQ(s.iSteps, 12);
    EXPECT_EQ(w.texts[Control::Steps], "12");
    w.set_text(Control::Steps, "10.5");
    Get_Data_From_Form(s, w);
    EXPECT_EQ(s.iSteps, 10);
    const std::pair<std::string, const char*> names[] = {
        {"my.sweep.wav", "my.sweep.wav"}, {"Take.WAV", "Take.wav"}, {"sweep.", "sweep.wav"},
        {"test.txt", "test.txt.wav"}, {"a..wav", "a.wav"}, {"x.wav.wav", "x.wav.wav"}, {"x.wave", "x.wave.wav"},
        {"SW 20Hz to 1.5kHz at 0dBFS.wav", "SW 20Hz to 1.5kHz at 0dBFS.wav"}, {".wav", ".wav"}, {"", ".wav"},
        {" a b ", " a b .wav"}, {"wav", "wav.wav"},
        // A name ends at a NUL, as the system reads it: the ending follows.
        {std::string("victim.txt\0", 11), "victim.txt.wav"}, {std::string("a.wav\0.txt", 10), "a.wav"},
    };
    for (const auto& [typed, name] : names) {
        w.set_text(Control::FileName, typed);
        Get_Data_From_Form(s, w);
        EXPECT_EQ(s.sFileName, name) << '"' << typed << '"';
        EXPECT_EQ(w.texts[Control::FileName], typed);
    }
}

TEST(PlanFromEntries, TheFileMustFitAWavFile) {
    struct Case {
        const char *rate, *steps, *toneMs;
        int channels;
        bool markers, refused;
    } const cases[] = {
        // 2147483640 bytes of 16-bit audio fit; with the header they do not.
        {"32kHz", "564", "9898.0625", 6, false, true},
        // 2147481856 bytes leave room for the header, not for 871 markers.
        {"32kHz", "870", "9631", 4, false, false},
        {"32kHz", "870", "9631", 4, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.steps << " x " << c.toneMs << " ms, markers " << c.markers);
        GeneratorState s;
        RecordingWindow w;
        RecordingServices sv;
        Form_Load(s, w, sv, false);
        ASSERT_TRUE(w.choose(Control::Samplerate, c.rate));
        w.select_index(Control::Channels, c.channels - 1);
        w.select_index(Control::Shiftmode, 0);
        w.set_text(Control::Steps, c.steps);
        w.set_text(Control::ToneTime, c.toneMs);
        w.set_text(Control::ToneCycles, "0");
        w.set_text(Control::EndFreq, "15000");
        s.markers = c.markers;
        EXPECT_EQ(PlanFromEntries(s, w), !c.refused);
        EXPECT_EQ(s.iCalcResult == 1, !c.refused);
        ASSERT_EQ(w.boxes.size(), c.refused ? 1u : 0u);
        if (c.refused) {
            EXPECT_EQ(w.boxes[0].text, kOversizeMessage);
            EXPECT_FALSE(s.bDataOK);
        }
    }
}

TEST(WriterWarning, ShownAndTheCommandSucceeds) {
    // The file was written without something the old one had: one message,
    // and the command goes on as after any good write.
    const std::string warning = "Could not keep the group of the file x: Operation not permitted";
    const struct {
        const char* command;
        void (*click)(GeneratorState&, RecordingWindow&, RecordingServices&);
        const char* steps;  // a long report goes to a file
    } cases[] = {
        {"Generate file", [](GeneratorState& s, RecordingWindow& w, RecordingServices& sv) { OK_Click(s, w, sv); },
         "0"},
        {"Show Info", [](GeneratorState& s, RecordingWindow& w, RecordingServices& sv) { ShowInfo_Click(s, w, sv); },
         "100"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        GeneratorState s;
        RecordingWindow w;
        RecordingServices sv;
        sv.writeWarning = warning;
        Form_Load(s, w, sv);
        w.set_text(Control::Steps, c.steps);
        w.set_text(Control::ToneTime, "1");
        c.click(s, w, sv);
        ASSERT_EQ(w.boxes.size(), 1u);
        EXPECT_EQ(w.boxes[0].text, warning);
        EXPECT_EQ(w.boxes[0].title, kTitle);
        EXPECT_EQ(w.boxes[0].icon, Icon::Exclamation);
        // The WAV file counts as written; the report is opened in the viewer.
        EXPECT_EQ(sv.files.size(), s.bFileWritten ? 1u : 0u);
        EXPECT_EQ(sv.textFiles.size() + sv.files.size(), 1u);
        EXPECT_EQ(sv.viewerOpens.size(), sv.textFiles.size());
    }
}

TEST(OutputFolder, AnalyserSettingsLookup) {
    const struct {
        Result<std::string> read;
        bool message;
        const char *directory, *subfolder;
        FolderLookup lookup;
        const char* home = "/home/user/";  // the fallback; empty: the user has no home folder
    } cases[] = {
        {std::string("/srv/Analyser"), false, "/srv/Analyser", "/User Wavetables/", FolderLookup::Found},
        {Status::Failure(FailureKind::Missing, "Invalid root in settings key"), true, "/home/user/", "",
         FolderLookup::NotFound},
        // The kind decides, not the words.
        {Status::Failure(FailureKind::Missing, "no such value"), true, "/home/user/", "", FolderLookup::NotFound},
        {Status::Failure(FailureKind::Unusable, "Invalid value"), false, "/opt/analyser", "/User Wavetables/",
         FolderLookup::Unreadable},
        {Status::Failure("Invalid settings"), false, "/opt/analyser", "/User Wavetables/", FolderLookup::Unreadable},
        // A folder is made of the value: a control character in it makes it
        // no text (a NUL would cut the folder short).
        {std::string("/srv/a\0b", 8), false, "/opt/analyser", "/User Wavetables/", FolderLookup::Unreadable},
        {std::string("/srv/a\tb"), false, "/opt/analyser", "/User Wavetables/", FolderLookup::Unreadable},
        {std::string("/srv/a\nb"), false, "/opt/analyser", "/User Wavetables/", FolderLookup::Unreadable},
        {std::string("/srv/a\x7f"), false, "/opt/analyser", "/User Wavetables/", FolderLookup::Unreadable},
        {std::string("/srv/a\xC2\x9B"), false, "/opt/analyser", "/User Wavetables/", FolderLookup::Unreadable},
        {std::string("/srv/../Grüße ☺\\x"), false, "/srv/../Grüße ☺\\x", "/User Wavetables/", FolderLookup::Found},
        // No folder at all, rather than the root folder: the front ends refuse to go on.
        {Status::Failure(FailureKind::Missing, "Invalid root in settings key"), true, "", "", FolderLookup::NotFound,
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.read.ok() ? c.read.value() : c.read.reason());
        GeneratorState s;
        RecordingWindow w;
        RecordingServices sv;
        sv.setting = c.read;
        sv.defaults.fallbackDirectory = c.home;
        Form_Load(s, w, sv);
        EXPECT_EQ(sv.settingReads,
                  std::vector<std::string>{"HKCU\\Software\\Corvalis\\Olvane\\Paths\\Application directory"});
        EXPECT_EQ(OutputFolder(s), std::string(c.directory) + c.subfolder);
        EXPECT_EQ(s.outputFolder.lookup, c.lookup);
        ASSERT_EQ(w.boxes.size(), c.message ? 1u : 0u);
        if (c.message) {
            EXPECT_EQ(w.boxes[0].text, "Couldn't find Olvane installation path");
            EXPECT_EQ(w.boxes[0].title, "");
            EXPECT_EQ(w.boxes[0].icon, Icon::None);
        }
    }
}

}  // namespace
}  // namespace sweepwav
