// Show Info's settings report and Make file name's proposed name.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "commands/commands.h"
#include "report/info_report.h"
#include "settings/auto_name.h"
#include "support/recording_fake.h"

namespace sweepwav {
namespace {

using testing::RecordingServices;
using testing::RecordingWindow;

// The defaults give the three-tone example: 1000 Hz to 3000 Hz linear at
// -20 dBFS, 200 ms per tone, 48 kHz stereo.
struct Entries {
    std::string startFreq = "1000", endFreq = "3000", startLevel = "-20", endLevel = "-20";
    std::string steps = "2", toneMs = "200";
    bool logSteps = false;
    int shiftMode = 0;
};

class Commands : public ::testing::Test {
protected:
    void Load(const Entries& e) {
        s = GeneratorState{};
        w = RecordingWindow{};
        Form_Load(s, w, sv, false);
        s.outputFolder.path = "/data/analyser/User Wavetables/";
        w.texts[Control::StartFreq] = e.startFreq;
        w.texts[Control::EndFreq] = e.endFreq;
        w.texts[Control::StartLevel] = e.startLevel;
        w.texts[Control::EndLevel] = e.endLevel;
        w.texts[Control::Steps] = e.steps;
        w.texts[Control::ToneTime] = e.toneMs;
        w.texts[Control::ToneCycles] = "0";
        w.texts[Control::FileName] = "mine.wav";
        w.checks[Control::Logsteps] = e.logSteps;
        w.select_index(Control::Shiftmode, e.shiftMode);
        ASSERT_TRUE(w.choose(Control::Samplerate, "48kHz"));
        w.log.clear();
    }
    void ShowInfo(const Entries& e) {
        Load(e);
        ShowInfo_Click(s, w, sv);
    }
    std::vector<std::string> ReportLines() const {
        std::vector<std::string> lines;
        std::size_t from = 0;
        for (std::size_t end; (end = s.sReport.find("\r\n", from)) != std::string::npos; from = end + 2) {
            lines.push_back(s.sReport.substr(from, end - from));
        }
        EXPECT_EQ(from, s.sReport.size()) << "every line ends in CR LF";
        return lines;
    }

    GeneratorState s;
    RecordingWindow w;
    RecordingServices sv;
    const std::string kReportPath = "/data/analyser/User Wavetables/wav_info.txt";
};

TEST_F(Commands, ShortReportGoesToAnInformationBox) {
    ShowInfo({});
    const std::vector<std::string> expected = {
        "The current settings will result a sweep ", "with 2 steps / 3 tones as follows:", "",
        "0:   1000Hz at -20dBFS for 200ms",          "1:   2000Hz at -20dBFS for 200ms",
        "2:   3000Hz at -20dBFS for 200ms",          "",
        "Nominal frequency step = 1000Hz",           "Amplitude step size = 0dB",
        "Total Duration = 0.6s",                     "File size = 112.54KB (115244 bytes)",
    };
    EXPECT_EQ(ReportLines(), expected);
    EXPECT_EQ(s.sReport.size(), 305u);
    ASSERT_EQ(w.boxes.size(), 1u);
    EXPECT_EQ(w.boxes[0].text, s.sReport);
    EXPECT_EQ(w.boxes[0].title, "Sweep WAV generation - file info");
    EXPECT_EQ(w.boxes[0].icon, Icon::Information);
    EXPECT_TRUE(sv.textFiles.empty() && sv.viewerOpens.empty());
}

TEST_F(Commands, FrequencyLineFollowsSpacingAndShiftMode) {
    const std::pair<Entries, const char*> cases[] = {
        {{.startFreq = "20", .endFreq = "20000", .steps = "10", .logSteps = true}, "Frequency factor = 2"},
        {{.startFreq = "20", .endFreq = "20000", .steps = "10", .logSteps = true, .shiftMode = 1},
         "Frequency factor = 2 (Nominal)"},
        {{.startFreq = "20", .endFreq = "20000", .steps = "10", .logSteps = true, .shiftMode = 2},
         "Frequency factor = 2"},
        {{.shiftMode = 1}, "Nominal frequency step = 1000Hz (Nominal)"},
        {{.shiftMode = 2}, "Nominal frequency step = 1000Hz"},
        {{.endFreq = "20", .steps = "3"}, "Nominal frequency step = -326.67Hz"},
        {{.steps = "0", .logSteps = true}, "Frequency factor = 1"},
        {{.steps = "0"}, "Nominal frequency step = 0Hz"},
    };
    for (const auto& [entries, line] : cases) {
        ShowInfo(entries);
        const auto lines = ReportLines();
        ASSERT_GE(lines.size(), 4u);
        EXPECT_EQ(lines[lines.size() - 4], line);
    }
}

TEST_F(Commands, FileSizeIsTheSizeOfTheFileWritten) {
    // Mono 24 bit over an odd number of frames: the audio ends with a pad byte,
    // which the size counts only when tone markers follow it.
    for (bool markers : {false, true}) {
        SCOPED_TRACE(markers);
        Load({.steps = "2", .toneMs = "200.0208"});  // 9601 frames a tone
        w.select_index(Control::Channels, 0);
        ASSERT_TRUE(w.choose(Control::Wordlength, "24 bit"));
        s.markers = markers;
        ShowInfo_Click(s, w, sv);
        const std::string sizeLine = ReportLines().back();
        OK_Click(s, w, sv);
        const auto& file = sv.files.at("/data/analyser/User Wavetables/mine.wav");
        const std::size_t stated = markers ? file.size() : file.size() - 1;
        EXPECT_EQ(sizeLine, FileSizeLine(static_cast<std::int32_t>(stated)));
    }
}

TEST(FileSizeLine, SwitchesUnitAtPowersOfTwo) {
    EXPECT_EQ(FileSizeLine(1023), "File size = 1023 bytes");
    EXPECT_EQ(FileSizeLine(1024), "File size = 1KB (1024 bytes)");
    EXPECT_EQ(FileSizeLine(1048575), "File size = 1024KB (1048575 bytes)");
    EXPECT_EQ(FileSizeLine(1048576), "File size = 1MB (1048576 bytes)");
}

TEST_F(Commands, LongReportGoesToTheFileAndTheViewer) {
    // 22 tones from 110 Hz to 1024 Hz; the tone time moves the length across 1024.
    for (const auto& [toneMs, length] : {std::pair{"205", 1024u}, std::pair{"201", 1025u}}) {
        sv = RecordingServices{};
        ShowInfo({.startFreq = "110", .endFreq = "1024", .steps = "21", .toneMs = toneMs});
        ASSERT_EQ(s.sReport.size(), length);
        const bool inBox = length <= 1024;
        EXPECT_EQ(w.boxes.size(), inBox ? 1u : 0u);
        EXPECT_EQ(sv.textFiles.size(), inBox ? 0u : 1u);
        EXPECT_EQ(sv.viewerOpens, inBox ? std::vector<std::string>{} : std::vector<std::string>{kReportPath});
        if (!inBox) {
            EXPECT_EQ(sv.textFiles[kReportPath], s.sReport);
        }
    }
}

TEST_F(Commands, ReportsAFileThatCannotBeWrittenOrOpened) {
    const std::pair<std::optional<std::string>, std::string> cases[] = {
        {"Permission denied", "Could not write the file " + kReportPath + ": Permission denied"},
        {std::nullopt, "Could not open " + kReportPath + " in a text viewer."},
    };
    for (const auto& [writeFailure, message] : cases) {
        sv = RecordingServices{};
        sv.writeFailure = writeFailure;
        sv.viewerWorks = false;
        ShowInfo({.steps = "100"});
        ASSERT_EQ(w.boxes.size(), 1u);
        EXPECT_EQ(w.boxes[0].text, message);
        EXPECT_EQ(w.boxes[0].title, "Sweep WAV generation");
        EXPECT_EQ(w.boxes[0].icon, Icon::Exclamation);
        EXPECT_EQ(sv.viewerOpens.size(), writeFailure ? 0u : 1u);
    }
}

TEST_F(Commands, MakeFileName) {
    const std::pair<Entries, const char*> names[] = {
        {{"20", "20000", "-20", "-20"}, "SW 20Hz to 20kHz at -20dBFS.wav"},
        {{"1000", "1000", "0", "-60"}, "SW 0 to -60dBFS at 1kHz.wav"},
        {{"20", "20000", "0", "-60"}, "SW 20Hz,0dBFS to 20kHz,-60dBFS.wav"},
        // Every value is rounded to one decimal before it is compared.
        {{"1234.56", "20000", "-20", "-20"}, "SW 1.235kHz to 20kHz at -20dBFS.wav"},
        {{"999.94", "20000", "-20", "-20"}, "SW 999.9Hz to 20kHz at -20dBFS.wav"},
        {{"999.96", "20000", "-20", "-20"}, "SW 1kHz to 20kHz at -20dBFS.wav"},
        {{"20", "20000", "-20.04", "-20"}, "SW 20Hz to 20kHz at -20dBFS.wav"},
    };
    for (const auto& [entries, name] : names) {
        Load(entries);
        AutoName_Click(s, w);
        EXPECT_EQ(w.logged("text "), std::vector<std::string>{"text FileName=" + std::string(name)});
        EXPECT_TRUE(w.boxes.empty());
    }
    EXPECT_EQ(FreqName(999.96), "1000Hz");  // the unit is chosen before rounding

    // The numbers are checked in this order; the first failure is shown.
    const std::pair<Entries, const char*> refusals[] = {
        {{.startFreq = "y", .endFreq = "x"}, "Please check the end frequency is a valid number."},
        {{.startFreq = "", .steps = "ten"}, "Please check the start frequency is a valid number."},
        {{.endLevel = "-", .steps = "1,5"}, "Please check the number of sweep steps is a valid number."},
        {{.startLevel = "?", .endLevel = "-3dB"}, "Please check the end amplitude is a valid number"},
        {{.startLevel = "0 dB"}, "Please check the start amplitude is a valid number."},
    };
    for (const auto& [entries, message] : refusals) {
        Load(entries);
        AutoName_Click(s, w);
        ASSERT_EQ(w.boxes.size(), 1u);
        EXPECT_EQ(w.boxes[0].text, message);
        EXPECT_EQ(w.boxes[0].icon, Icon::Exclamation);
        EXPECT_EQ(w.texts[Control::FileName], "mine.wav");
    }
}

}  // namespace
}  // namespace sweepwav
