#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/commands.h"
#include "settings/auto_name.h"
#include "support/recording_fake.h"

namespace sweepwav {
namespace {

using testing::RecordingServices;
using testing::RecordingWindow;

class MakeFileName : public ::testing::Test {
protected:
    // Starts from the start-up entries, changes the given boxes and clicks.
    void Click(const std::map<Control, std::string>& texts) {
        s = GeneratorState{};
        w = RecordingWindow{};
        Form_Load(s, w, sv, false);
        w.texts[Control::FileName] = "mine.wav";
        for (const auto& [box, text] : texts) w.texts[box] = text;
        w.log.clear();
        AutoName_Click(s, w);
    }

    GeneratorState s;
    RecordingWindow w;
    RecordingServices sv;
};

TEST_F(MakeFileName, NamesTheSweepInOneOfThreeForms) {
    struct Case {
        const char *startFreq, *endFreq, *startLevel, *endLevel, *name;
    };
    const Case cases[] = {
        {"20", "20000", "-20", "-20", "SW 20Hz to 20kHz at -20dBFS.wav"},
        {"1000", "1000", "0", "-60", "SW 0 to -60dBFS at 1kHz.wav"},
        {"20", "20000", "0", "-60", "SW 20Hz,0dBFS to 20kHz,-60dBFS.wav"},
        {"1000", "1000", "-20", "-20", "SW 1kHz,-20dBFS to 1kHz,-20dBFS.wav"},
        // Every value is rounded to one decimal before it is compared.
        {"1234.56", "20000", "-20", "-20", "SW 1.235kHz to 20kHz at -20dBFS.wav"},
        {"999.94", "20000", "-20", "-20", "SW 999.9Hz to 20kHz at -20dBFS.wav"},
        {"999.96", "20000", "-20", "-20", "SW 1kHz to 20kHz at -20dBFS.wav"},
        {"20", "20000", "-20.04", "-20", "SW 20Hz to 20kHz at -20dBFS.wav"},
        {"1000.04", "1000", "-0.04", "-3.25", "SW 0 to -3.2dBFS at 1kHz.wav"},
        // No range test.
        {"5", "96000", "10", "10", "SW 5Hz to 96kHz at 10dBFS.wav"},
    };
    for (const auto& c : cases) {
        Click({{Control::StartFreq, c.startFreq}, {Control::EndFreq, c.endFreq},
               {Control::StartLevel, c.startLevel}, {Control::EndLevel, c.endLevel}});
        EXPECT_EQ(w.texts[Control::FileName], c.name);
        EXPECT_TRUE(w.boxes.empty());
    }
}

TEST_F(MakeFileName, StoresTheRoundedValuesButRewritesOnlyTheName) {
    Click({{Control::StartFreq, "1234.56"}, {Control::EndLevel, "-3.25"}, {Control::Steps, "11.5"}});
    EXPECT_EQ(s.dStartFreq, 1234.6);
    EXPECT_EQ(s.dEndLevel, -3.2);
    EXPECT_EQ(s.iSteps, 12);
    EXPECT_FALSE(s.bDataOK);  // never set by a successful click
    EXPECT_EQ(w.logged("text "),
              std::vector<std::string>{"text FileName=SW 1.235kHz,0dBFS to 20kHz,-3.2dBFS.wav"});

    // A step count beyond 16 bits is held at the limit; the name is still made.
    Click({{Control::Steps, "40000"}});
    EXPECT_EQ(s.iSteps, 32767);
    EXPECT_EQ(w.texts[Control::FileName], "SW 20Hz to 20kHz at 0dBFS.wav");
}

TEST_F(MakeFileName, ChecksTheNumbersInOrderAndStopsAtTheFirstFailure) {
    const std::pair<std::map<Control, std::string>, const char*> cases[] = {
        {{{Control::EndFreq, "x"}, {Control::StartFreq, "y"}},
         "Please check the end frequency is a valid number."},
        {{{Control::StartFreq, ""}, {Control::Steps, "ten"}},
         "Please check the start frequency is a valid number."},
        {{{Control::Steps, "1,5"}, {Control::EndLevel, "-"}},
         "Please check the number of sweep steps is a valid number."},
        {{{Control::EndLevel, "-3dB"}, {Control::StartLevel, "?"}},
         "Please check the end amplitude is a valid number"},
        {{{Control::StartLevel, "0 dB"}}, "Please check the start amplitude is a valid number."},
    };
    for (const auto& [texts, message] : cases) {
        Click(texts);
        ASSERT_EQ(w.boxes.size(), 1u);
        EXPECT_EQ(w.boxes[0].text, message);
        EXPECT_EQ(w.boxes[0].title, "Sweep WAV generation");
        EXPECT_EQ(w.boxes[0].icon, Icon::Exclamation);
        EXPECT_EQ(w.texts[Control::FileName], "mine.wav");
    }
    // The tone time, the cycle count and the file name are not checked.
    Click({{Control::ToneTime, "long"}, {Control::ToneCycles, ""}, {Control::FileName, "a/b"}});
    EXPECT_TRUE(w.boxes.empty());
    EXPECT_EQ(w.texts[Control::FileName], "SW 20Hz to 20kHz at 0dBFS.wav");
}

TEST(FreqName, ChoosesTheUnitBeforeRounding) {
    const std::pair<double, const char*> cases[] = {
        {999.96, "1000Hz"}, {999.94, "999.9Hz"},  {1000, "1kHz"},   {1234.56, "1.235kHz"},
        {20000, "20kHz"},   {10.25, "10.2Hz"},    {10.75, "10.8Hz"}, {0.04, "0Hz"},
    };
    for (const auto& [freq, text] : cases) EXPECT_EQ(FreqName(freq), text) << freq;
}

}  // namespace
}  // namespace sweepwav
