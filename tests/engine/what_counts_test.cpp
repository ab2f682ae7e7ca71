// What the checks look at: the entries that count for the sweep (with bands
// or a list, not the steps and their spacing, and with a list not the start
// and end frequencies), and each range's two ends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/commands.h"
#include "settings/catalogue.h"
#include "settings/entry_values.h"
#include "numbers/number_text.h"
#include "support/recording_fake.h"

namespace sweepwav {
namespace {

using testing::RecordingServices;
using testing::RecordingWindow;

// The form at start-up with a few entries changed, as a command finds it.
struct Form {
    GeneratorState s;
    RecordingWindow w;
    Form(const std::string& spacing, const std::vector<std::pair<Control, std::string>>& boxes) {
        RecordingServices sv;
        Form_Load(s, w, sv, false);
        s.toneSpacing = spacing;
        s.toneList = "1000, 2000";
        // A list at the lowest rate, whose limit the default end frequency
        // (20000 Hz) passes.
        if (spacing == "list") w.select_index(Control::Samplerate, 0);
        for (const auto& [box, text] : boxes) {
            if (box == Control::Logsteps) {
                w.set_checked(box, text == "yes");
            } else {
                w.set_text(box, text);
            }
        }
    }
    bool plan() { return PlanFromEntries(s, w); }
    std::string name() {
        s.bDataOK = true;  // Make file name only ever clears it
        AutoName_Click(s, w);
        return s.bDataOK ? w.text(Control::FileName) : "refused: " + w.boxes.back().text;
    }
};

TEST(WhatCounts, EntriesThatDoNotCountAreNeitherCheckedNorUsed) {
    const struct {
        std::string spacing;
        Control entry;
        std::string rubbish;
    } cases[] = {
        {"bands3", Control::Steps, "abc"},      {"bands3", Control::Steps, "5000"},
        {"bands3", Control::Logsteps, "no"},    {"list", Control::Steps, "abc"},
        {"list", Control::Steps, "-1"},         {"list", Control::Logsteps, "no"},
        {"list", Control::StartFreq, "abc"},    {"list", Control::StartFreq, "5"},
        {"list", Control::EndFreq, "20k"},      {"list", Control::EndFreq, "30000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.spacing + " " + std::string(control_name(c.entry)) + " " + c.rubbish);
        Form clean(c.spacing, {}), rubbish(c.spacing, {{c.entry, c.rubbish}});
        ASSERT_TRUE(clean.plan());
        EXPECT_TRUE(rubbish.plan()) << rubbish.w.boxes.front().text;
        EXPECT_EQ(rubbish.s.dFreq, clean.s.dFreq);
        EXPECT_EQ(rubbish.s.dSamples, clean.s.dSamples);
        EXPECT_EQ(Form(c.spacing, {{c.entry, c.rubbish}}).name(), Form(c.spacing, {}).name());
        // A box that does not count keeps what was typed; with the form's
        // steps the same box counts, and is refused.
        if (c.entry != Control::Logsteps) {
            EXPECT_EQ(rubbish.w.text(c.entry), c.rubbish);
            EXPECT_FALSE(Form("steps", {{c.entry, c.rubbish}}).plan());
        }
    }
    // A list's tones make its range: Make file name names them, and refuses
    // an entry that is not a number as it refuses a box.
    EXPECT_EQ(Form("list", {}).name(), "SW 1kHz to 2kHz list at 0dBFS.wav");
    Form list("list", {{Control::FileName, "kept.wav"}});
    list.s.toneList = "100, 1k, 200";
    EXPECT_EQ(list.name(), "refused: Please check the frequencies: entry 2 of the list, \" 1k\", is not a number");
    EXPECT_EQ(list.w.text(Control::FileName), "kept.wav");
    EXPECT_EQ(list.s.refusedEntry, Control::FrequencyList);
}

// Every range takes its two ends and refuses what lies just beyond them, at
// every rate for the frequencies: the boxes when a command plans, the
// options beside the form as they are given.
TEST(WhatCounts, EveryRangeTakesBothEndsAndNothingBeyond) {
    for (const Entry& e : Entries()) {
        if (e.kind != EntryKind::Number && e.kind != EntryKind::OptionNumber && e.kind != EntryKind::Channels) continue;
        // Counts are rounded to whole numbers, the others used to 3 decimals.
        const double beyond = e.kind == EntryKind::Channels || (e.kind == EntryKind::Number && e.unit.empty()) ? 1 : 0.001;
        for (const ListItem& rate : EntryOf(Control::Samplerate).items) {
            if (!e.highIsFrequencyLimit && rate.value != 44100) continue;
            const double high = RangeHigh(e, rate.value);
            for (const auto& [value, inside] : {std::pair{e.low, true}, {high, true}, {e.low - beyond, false},
                                                {high + beyond, false}}) {
                const std::string text = NumberText(value);
                SCOPED_TRACE(std::string(control_name(e.control)) + " " + text + " at " + std::to_string(rate.value));
                if (e.kind != EntryKind::Number) {
                    EXPECT_EQ(CheckedValue(e, text).has_value(), inside);
                    continue;
                }
                // One tone at the top of the range, so that the longest tones fit.
                Form f("steps", {{Control::Steps, "0"}, {Control::StartFreq, "10000"}, {Control::EndFreq, "10000"}, {e.control, text}});
                f.w.select_index(Control::Samplerate, *ItemPosition(EntryOf(Control::Samplerate), std::to_string(rate.value)));
                EXPECT_EQ(f.plan(), inside) << (f.w.boxes.empty() ? "" : f.w.boxes.front().text);
            }
        }
    }
}

}  // namespace
}  // namespace sweepwav
