// The texts both windows show around the form: sizes, the bar under the
// form, the plan view's cells and the menu bar's table.
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "commands/window_texts.h"
#include "settings/catalogue.h"

namespace sweepwav {
namespace {

TEST(WindowTexts, SizesInBytesKilobytesAndMegabytes) {
    const std::pair<std::int64_t, const char*> sizes[] = {
        {0, "0 bytes"},
        {1023, "1023 bytes"},
        {1024, "1.00 KB, 1024 bytes"},
        {2468, "2.41 KB, 2468 bytes"},
        {1048575, "1024.00 KB, 1048575 bytes"},
        {1048576, "1.00 MB, 1048576 bytes"},
        {101376044, "96.68 MB, 101376044 bytes"},
    };
    for (const auto& [bytes, text] : sizes) EXPECT_EQ(SizeText(bytes), text) << bytes;
}

TEST(WindowTexts, TheBarSaysWhereFilesGoAndWhatWasWritten) {
    EXPECT_EQ(FolderBarText("D:\\A\\User Wavetables\\", FolderLookup::Found).whole(),
              "Output folder: D:\\A\\User Wavetables\\ (analyser folder)");
    EXPECT_EQ(FolderBarText("/x/", FolderLookup::Unreadable).whole(),
              "Output folder: /x/ (default folder: analyser settings unreadable)");
    EXPECT_EQ(FolderBarText("/x/", FolderLookup::NotDone).whole(), "Output folder: /x/");
    const BarText wrote = WrittenBarText("C:\\f.wav", 2468, true);
    EXPECT_EQ(wrote.path, "C:\\f.wav");
    EXPECT_EQ(wrote.whole(), "Wrote C:\\f.wav (2.41 KB, 2468 bytes), silent from the abort on");
    EXPECT_EQ(WrittenBarText("f.wav", 100, false).whole(), "Wrote f.wav (100 bytes)");
}

TEST(WindowTexts, TheOptionsDialogsComplaints) {
    EXPECT_EQ(LengthProblemText(Control::RampMs),
              "Ramps where a tone meets silence must be a number from 0 to 1000 ms.");
    EXPECT_EQ(LengthProblemText(Control::GapMs), "Gap between tones must be a number from 0 to 60000 ms.");
}

TEST(WindowTexts, PlanCellsRoundAndShowNoNegativeZero) {
    EXPECT_EQ(PlanCellText(1.23456, 3), "1.235");
    EXPECT_EQ(PlanCellText(-1.5, 1), "-1.5");
    EXPECT_EQ(PlanCellText(-0.0004, 3), "0.000");
    EXPECT_EQ(PlanCellText(-0.0, 0), "0");
    EXPECT_EQ(PlanCellText(88200, 0), "88200");
    EXPECT_EQ(PlanColumns().size(), 9u);
}

TEST(WindowTexts, EveryMenuCommandHasOneNameAndItsText) {
    std::set<std::string_view> names;
    for (const Menu& menu : MenuBar()) {
        for (const MenuCommand& command : menu.commands) {
            if (command.name.empty()) continue;
            EXPECT_TRUE(names.insert(command.name).second) << command.name;
            EXPECT_FALSE(MenuCommandNamed(command.name).text.empty()) << command.name;
        }
    }
    EXPECT_EQ(MenuCommandNamed("WriteMarkers").text, EntryOf(Control::WriteMarkers).text);
    EXPECT_EQ(MenuCommandNamed("SweepPlan").keys, "Ctrl+Shift+P");
    // The Options menu in the Qt window's order.
    std::vector<std::string_view> options;
    for (const MenuCommand& command : MenuBar()[1].commands) options.push_back(MenuCommandNamed(command.name).text);
    EXPECT_EQ(options, (std::vector<std::string_view>{"Write tone &markers", "&Signal options\u2026",
                                                       "&Frequencies\u2026"}));
    EXPECT_THROW(MenuCommandNamed("Nothing"), std::out_of_range);
    EXPECT_EQ(RecentFileText(0, "b&w.sweep", "C:\\Sweeps"), "&1 b&&w.sweep \u2014 C:\\Sweeps");
    EXPECT_EQ(PresetMenuText("bass", "Bass & treble"), "Bass && treble");
    EXPECT_EQ(PresetMenuText("bass", ""), "bass");
}

// Files dropped on the window: one settings file, its ending in any case.
TEST(WindowTexts, DroppedFiles) {
    const std::string notOne = " is not a settings file: the window opens a dropped file when its name ends in .sweep.";
    const std::pair<std::vector<std::string>, std::string> drops[] = {
        {{"C:\\S\\A.SWEEP"}, ""}, {{"/s/take.wav"}, "/s/take.wav" + notOne}, {{"/s.sweep/take"}, "/s.sweep/take" + notOne},
        {{"/a.sweep", "/b.sweep"}, "sweepwav opens one settings file at a time, and 2 files were dropped on the window."}};
    for (const auto& [paths, refusal] : drops) EXPECT_EQ(DropRefusalText(paths), refusal) << paths.front();
}

}  // namespace
}  // namespace sweepwav
