#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/commands.h"
#include "plan/tone_plan.h"
#include "report/info_report.h"
#include "support/recording_fake.h"

namespace sweepwav {
namespace {

using testing::RecordingServices;
using testing::RecordingWindow;

// The entries of one Show Info click; the defaults give the three-tone
// example: 1000 Hz to 3000 Hz linear at -20 dBFS, 200 ms per tone, 48 kHz.
struct Entries {
    std::string startFreq = "1000", endFreq = "3000", startLevel = "-20", endLevel = "-20";
    std::string steps = "2", toneMs = "200";
    bool logSteps = false;
    int shiftMode = 0;
    std::string rate = "48kHz", bits = "16 bit", channels = "stereo";
};

class ShowInfo : public ::testing::Test {
protected:
    void Click(const Entries& e, RecordingServices& services) {
        s = GeneratorState{};
        w = RecordingWindow{};
        Form_Load(s, w, services, false);
        s.sAppDirectory = "/data/analyser";
        s.sWavetableFolder = "/User Wavetables/";
        w.texts[Control::StartFreq] = e.startFreq;
        w.texts[Control::EndFreq] = e.endFreq;
        w.texts[Control::StartLevel] = e.startLevel;
        w.texts[Control::EndLevel] = e.endLevel;
        w.texts[Control::Steps] = e.steps;
        w.texts[Control::ToneTime] = e.toneMs;
        w.texts[Control::ToneCycles] = "0";
        w.checks[Control::Logsteps] = e.logSteps;
        w.select_index(Control::Shiftmode, e.shiftMode);
        ASSERT_TRUE(w.choose(Control::Samplerate, e.rate) && w.choose(Control::Wordlength, e.bits) &&
                    w.choose(Control::Channels, e.channels));
        w.log.clear();
        ShowInfo_Click(s, w, services);
    }
    void Click(const Entries& e) { Click(e, sv); }

    // The report's lines; every one must end in CR LF.
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::string joined;
        for (std::size_t from = 0, end; (end = s.sReport.find("\r\n", from)) != std::string::npos;
             from = end + 2) {
            lines.push_back(s.sReport.substr(from, end - from));
            joined += lines.back() + "\r\n";
        }
        EXPECT_EQ(joined, s.sReport);
        return lines;
    }

    GeneratorState s;
    RecordingWindow w;
    RecordingServices sv;
    const std::string kReportPath = "/data/analyser/User Wavetables/wav_info.txt";
};

TEST_F(ShowInfo, ShortReportGoesToAnInformationBox) {
    Click({});
    const std::vector<std::string> expected = {
        "The current settings will result a sweep ", "with 2 steps / 3 tones as follows:", "",
        "0:   1000Hz at -20dBFS for 200ms",          "1:   2000Hz at -20dBFS for 200ms",
        "2:   3000Hz at -20dBFS for 200ms",          "",
        "Nominal frequency step = 1000Hz",           "Amplitude step size = 0dB",
        "Total Duration = 0.6s",                     "File size = 112.54KB (115244 bytes)",
    };
    EXPECT_EQ(Lines(), expected);
    EXPECT_EQ(s.sReport.size(), 305u);
    EXPECT_EQ(s.iFileSize, 115244);
    ASSERT_EQ(w.boxes.size(), 1u);
    EXPECT_EQ(w.boxes[0].text, s.sReport);
    EXPECT_EQ(w.boxes[0].title, "Sweep WAV generation - file info");
    EXPECT_EQ(w.boxes[0].icon, Icon::Information);
    EXPECT_TRUE(sv.textFiles.empty() && sv.viewerOpens.empty());
    // Show Info neither locks the controls nor resets the status line.
    EXPECT_TRUE(w.logged("disable").empty());
    EXPECT_EQ(w.statuses.back(), "Setting up calculations");
}

TEST_F(ShowInfo, RoundsTheToneLinesAndTotals) {
    Click({.startFreq = "1000.12345", .endFreq = "2000", .startLevel = "-10.5", .steps = "3",
           .toneMs = "100", .rate = "44.1kHz", .channels = "mono"});
    const std::vector<std::string> expected = {
        "0:   1000.123Hz at -10.5dBFS for 100ms",   "1:   1333.415Hz at -13.667dBFS for 100ms",
        "2:   1666.708Hz at -16.833dBFS for 100ms", "3:   2000Hz at -20dBFS for 100ms",
        "",                                         "Nominal frequency step = 333.29Hz",
        "Amplitude step size = -3.17dB",            "Total Duration = 0.4s",
        "File size = 34.5KB (35324 bytes)",
    };
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 3, lines.end()), expected);
}

TEST_F(ShowInfo, FrequencyLineFollowsSpacingAndShiftMode) {
    struct Case {
        const char *startFreq, *endFreq, *steps;
        bool log;
        int mode;
        const char* line;
    };
    const Case cases[] = {
        {"20", "20000", "10", true, 0, "Frequency factor = 2"},
        {"20", "20000", "10", true, 1, "Frequency factor = 2 (Nominal)"},
        {"20", "20000", "10", true, 2, "Frequency factor = 2"},
        {"2000", "1000", "3", true, 0, "Frequency factor = 0.79"},
        {"1000", "3000", "2", false, 1, "Nominal frequency step = 1000Hz (Nominal)"},
        {"1000", "3000", "2", false, 2, "Nominal frequency step = 1000Hz"},
        {"1000", "20", "3", false, 0, "Nominal frequency step = -326.67Hz"},
        // A single tone has no step to divide by.
        {"1000", "3000", "0", true, 0, "Frequency factor = 1"},
        {"1000", "3000", "0", true, 1, "Frequency factor = 1 (Nominal)"},
        {"1000", "3000", "0", false, 0, "Nominal frequency step = 0Hz"},
        {"1000", "3000", "0", false, 1, "Nominal frequency step = 0Hz (Nominal)"},
    };
    for (const auto& c : cases) {
        Click({.startFreq = c.startFreq, .endFreq = c.endFreq, .steps = c.steps, .logSteps = c.log,
               .shiftMode = c.mode});
        const auto lines = Lines();
        ASSERT_GE(lines.size(), 4u);
        EXPECT_EQ(lines[lines.size() - 4], c.line);
    }
}

TEST(FileSizeLine, SwitchesUnitAtPowersOfTwo) {
    const std::pair<std::int32_t, const char*> cases[] = {
        {1023, "File size = 1023 bytes"},
        {1024, "File size = 1KB (1024 bytes)"},
        {1048575, "File size = 1024KB (1048575 bytes)"},
        {1048576, "File size = 1MB (1048576 bytes)"},
        {2147483647, "File size = 2048MB (2147483647 bytes)"},
    };
    for (const auto& [bytes, line] : cases) EXPECT_EQ(FileSizeLine(bytes), line);
}

TEST_F(ShowInfo, LongReportGoesToTheFileAndTheViewer) {
    // 21 steps from 110 Hz to 1024 Hz; the tone time moves the length across
    // the largest report a box shows.
    for (const auto& [toneMs, length] : {std::pair{"205", 1024u}, std::pair{"201", 1025u}}) {
        RecordingServices services;
        Click({.startFreq = "110", .endFreq = "1024", .steps = "21", .toneMs = toneMs}, services);
        ASSERT_EQ(s.sReport.size(), length);
        const bool inBox = length <= 1024;
        EXPECT_EQ(w.boxes.size(), inBox ? 1u : 0u);
        EXPECT_EQ(services.textFiles.size(), inBox ? 0u : 1u);
        EXPECT_EQ(services.viewerOpens.size(), inBox ? 0u : 1u);
        if (!inBox) {
            EXPECT_EQ(services.textFiles[kReportPath], s.sReport);
            EXPECT_EQ(services.viewerOpens[0], kReportPath);
        }
    }
}

TEST_F(ShowInfo, ReportsAFileThatCannotBeWrittenOrOpened) {
    struct Case {
        std::optional<std::string> writeFailure;
        bool viewerWorks;
        std::string message;
        std::size_t viewerOpens;
    };
    const Case cases[] = {
        {"Permission denied", true, "Could not write the file " + kReportPath + ": Permission denied", 0},
        {std::nullopt, false, "Could not open " + kReportPath + " in a text viewer.", 1},
    };
    for (const auto& c : cases) {
        RecordingServices services;
        services.writeFailure = c.writeFailure;
        services.viewerWorks = c.viewerWorks;
        Click({.steps = "100"}, services);
        ASSERT_EQ(w.boxes.size(), 1u);
        EXPECT_EQ(w.boxes[0].text, c.message);
        EXPECT_EQ(w.boxes[0].title, "Sweep WAV generation");
        EXPECT_EQ(w.boxes[0].icon, Icon::Exclamation);
        EXPECT_EQ(services.viewerOpens.size(), c.viewerOpens);
    }
}

TEST_F(ShowInfo, RefusedEntriesBuildNoReport) {
    const std::pair<Entries, const char*> cases[] = {
        {{.steps = "many"}, "Please check the number of sweep steps is a valid number."},
        {{.startFreq = "5"}, "Please check the sweep start frequency is is between 10 and 23520Hz"},
        {{.steps = "1000", .toneMs = "10000", .rate = "192kHz", .bits = "24 bit", .channels = "8 ch"},
         kOversizeMessage},
    };
    for (const auto& [entries, message] : cases) {
        Click(entries);
        ASSERT_EQ(w.boxes.size(), 1u);
        EXPECT_EQ(w.boxes[0].text, message);
        EXPECT_EQ(s.sReport, "");
        EXPECT_EQ(s.iFileSize, 0);
        EXPECT_TRUE(sv.textFiles.empty() && sv.viewerOpens.empty());
        EXPECT_FALSE(Build_Info_Report(s, w));
    }
}

}  // namespace
}  // namespace sweepwav
