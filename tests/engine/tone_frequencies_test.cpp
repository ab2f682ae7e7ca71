// Tones at band centres or at listed frequencies: the centres against a
// table computed apart from the program (to 60 digits, then rounded), the
// bands an interval takes, the refusals, and the tones as synthesised.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "commands/commands.h"
#include "plan/tone_frequencies.h"
#include "support/planned_sweep.h"

namespace sweepwav {
namespace {

using testing::RecordingServices;
using testing::RecordingWindow;

TEST(ToneFrequencies, BandsBetweenTwoFrequencies) {
    const struct {
        int n;
        bool nominal;
        double from, to;
        std::vector<double> centres;  // all of them, or with count the first, second, one more and the last
        std::size_t count = 0;
    } cases[] = {
        // The third-octave bands from 20 Hz to 20 kHz, by their exact mid-band:
        // the 20 Hz band's (19.953 Hz) lies below. Exact, then nominal.
        {3, false, 20, 20000, {25.118864315095802, 31.622776601683793, 15848.931924611135, 19952.623149688796}, 30},
        {3, true, 20, 20000, {25, 31.5, 40, 50, 63, 80, 100, 125, 160, 200, 250, 315, 400, 500, 630,
                              800, 1000, 1250, 1600, 2000, 2500, 3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000,
                              20000}},
        // Octaves, the ends on nominal frequencies; and just past the exact ones.
        {1, true, 31.5, 16000, {31.5, 63, 125, 250, 500, 1000, 2000, 4000, 8000, 16000}},
        {1, false, 31.5, 16000,
         {31.622776601683793, 63.09573444801932, 125.89254117941672, 251.188643150958, 501.1872336272723, 1000,
          1995.2623149688795, 3981.0717055349724, 7943.282347242815, 15848.931924611135}},
        {1, true, 31.623, 15848.931, {63, 125, 250, 500, 1000, 2000, 4000, 8000}},
        // Falling from the start to the end frequency.
        {3, true, 1000, 790, {1000, 800}},
        // The even fractions, half a band off 1 kHz: odd members of R40 and R80.
        {6, true, 10, 20, {10.6, 11.8, 13.2, 15, 17, 19}},
        {12, true, 100, 125, {103, 109, 115, 122}},
        {24, false, 1000, 1030, {1014.4952080687361}},
        {3, true, 30, 31, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "1/" << c.n << " from " << c.from << " to " << c.to);
        const std::vector<double> got = BandCentres(c.n, c.nominal, c.from, c.to);
        if (c.count == 0) {
            EXPECT_EQ(got, c.centres);
            continue;
        }
        ASSERT_EQ(got.size(), c.count);
        EXPECT_EQ((std::vector<double>{got[0], got[1], got[got.size() - 2], got.back()}), c.centres);
    }
}

// The state after a command's checks and planning, with its messages.
struct Planned {
    GeneratorState s;
    RecordingWindow w;
    bool ok = false;
    Planned(const std::string& spacing, const std::string& list, const std::vector<std::pair<Control, std::string>>& boxes = {}) {
        RecordingServices sv;
        Form_Load(s, w, sv, false);
        for (const auto& [box, text] : boxes) w.set_text(box, text);
        s.toneSpacing = spacing;
        s.toneList = list;
        ok = PlanFromEntries(s, w);
    }
};

TEST(ToneFrequencies, RefusalsNameTheProblem) {
    std::string thousandAndOne = "100";
    for (int i = 0; i < 1000; ++i) thousandAndOne += ",100";
    const struct {
        std::string spacing, list;
        std::vector<std::pair<Control, std::string>> boxes;
        std::string message;
    } cases[] = {
        {"bands3", "", {{Control::StartFreq, "30"}, {Control::EndFreq, "31"}},
         "no third-octave centre lies between 30 and 31 Hz"},
        {"bands1", "", {{Control::StartFreq, "1500"}, {Control::EndFreq, "1900"}},
         "no octave centre lies between 1500 and 1900 Hz"},
        {"list", "100, 1k", {}, "entry 2 of the list, \" 1k\", is not a number"},
        {"list", "100,25000.0004", {}, "entry 2 of the list, 25000 Hz, is outside 10 to 21609 Hz"},
        {"list", "9.9994,100", {}, "entry 1 of the list, 9.999 Hz, is outside 10 to 21609 Hz"},
        {"list", "", {}, "entry 1 of the list, \"\", is not a number"},
        {"list", thousandAndOne, {}, "1001 tones are more than the 1000 a sweep may have"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        Planned p(c.spacing, c.list, c.boxes);
        EXPECT_FALSE(p.ok);
        ASSERT_EQ(p.w.boxes.size(), 1u);
        EXPECT_EQ(p.w.boxes[0].text, "Please check the frequencies: " + c.message);
        EXPECT_EQ(p.s.refusedEntry, c.spacing == "list" ? Control::FrequencyList : Control::Spacing);
    }
    // The ends of the limits are in them.
    EXPECT_TRUE(Planned("list", "10, 21609").ok);
}

TEST(ToneFrequencies, TonesPlayAtThePlannedFrequencies) {
    // Listed tones, levels from the start to the end level across them, and
    // the frequencies moved to fit 100 ms as the shift mode asks.
    Planned p("list", "997, 1500.0004, 150", {{Control::StartLevel, "-20"}, {Control::EndLevel, "-10"},
                                               {Control::ToneTime, "100"}, {Control::Steps, "0"}});
    p.w.select_index(Control::Shiftmode, 1);
    p.w.select_index(Control::Samplerate, 2);  // 48 kHz
    p.w.set_checked(Control::Dither1, false);
    ASSERT_TRUE(PlanFromEntries(p.s, p.w));
    GeneratorState& s = p.s;
    EXPECT_EQ(s.dFreq, (std::vector<double>{1000, 1500, 150}));
    EXPECT_EQ(s.dLevel, (std::vector<double>{-20, -15, -10}));
    const auto audio = testing::SynthesisedAudio(s, p.w, 1, 2);
    // Every sample of every tone, against the sine at the planned frequency.
    std::size_t at = 0;
    for (std::size_t tone = 0; tone < 3; ++tone) {
        for (int n = 0; n < 4800; ++n, at += 4) {
            const auto v = static_cast<std::int16_t>(audio[at] | audio[at + 1] << 8);
            const double expected = std::sin(n * s.dPhaseScale * s.dFreq[tone]) * s.dAmplitude[tone];
            ASSERT_NEAR(v, expected, 0.5 + 1e-6) << "tone " << tone << " frame " << n;
        }
    }
}

}  // namespace
}  // namespace sweepwav
