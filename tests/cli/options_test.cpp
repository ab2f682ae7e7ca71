// The option parser, in-process: what it accepts, what it stores, and the
// message for everything it refuses.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "cli/options.h"

namespace {

using sweepwav::CliOptions;
using sweepwav::Control;
using sweepwav::ParseOptions;

TEST(Options, Refusals) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{"--linear=1"}, "option --linear takes no value"},
        {{"--info=yes"}, "option --info takes no value"},
        {{"--seed", "42x"}, "option --seed needs a whole number from 0 to 18446744073709551615, not \"42x\""},
        {{"--seed="}, "option --seed needs a whole number from 0 to 18446744073709551615, not \"\""},
        {{"--seed", "-1"}, "option --seed needs a whole number from 0 to 18446744073709551615, not \"-1\""},
        {{"--seed", "18446744073709551616"},
         "option --seed needs a whole number from 0 to 18446744073709551615, not \"18446744073709551616\""},
        {{"--output-dir", ""}, "option --output-dir needs a folder"},
        {{"--output-dir="}, "option --output-dir needs a folder"},
        {{"--steps"}, "option --steps needs a value"},
        {{"--bogus"}, "unknown option --bogus (see --help)"},
        {{"-x"}, "unknown option -x (see --help)"},
        {{"--rate", "44000"}, "--rate must be 32000, 44100, 48000, 96000 or 192000, not \"44000\""},
        {{"--rate", "44.1kHz"}, "--rate must be 32000, 44100, 48000, 96000 or 192000, not \"44.1kHz\""},
        {{"--bits", "17"}, "--bits must be 16, 18, 20, 22 or 24, not \"17\""},
        {{"--bits", " 16"}, "--bits must be 16, 18, 20, 22 or 24, not \" 16\""},
        {{"--channels", "0"}, "--channels must be 1, 2, 3, 4, 5, 6, 7 or 8, not \"0\""},
        {{"--channels=9"}, "--channels must be 1, 2, 3, 4, 5, 6, 7 or 8, not \"9\""},
        {{"--shift-mode", "3"}, "--shift-mode must be 0, 1 or 2, not \"3\""},
        {{"--shift-mode", "-1"}, "--shift-mode must be 0, 1 or 2, not \"-1\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0]);
        CliOptions out;
        EXPECT_EQ(ParseOptions(c.args, out), std::optional<std::string>(c.message));
    }
}

TEST(Options, AcceptedValuesAndWhereTheyGo) {
    CliOptions out;
    ASSERT_EQ(ParseOptions({"--rate", "192000", "--bits=24", "--channels", "8", "--shift-mode", "0",
                            "--start-level", "-20", "--file=", "--linear", "--no-dither", "--seed",
                            "18446744073709551615", "--output-dir", "out", "--quiet", "--info"},
                           out),
              std::nullopt);
    EXPECT_EQ(out.selections, (std::map<Control, int>{
                                  {Control::Samplerate, 4}, {Control::Wordlength, 4},
                                  {Control::Channels, 7}, {Control::Shiftmode, 0}}));
    // A value that starts with "-" is still the value of the option before it.
    EXPECT_EQ(out.texts, (std::map<Control, std::string>{{Control::StartLevel, "-20"},
                                                         {Control::FileName, ""}}));
    EXPECT_EQ(out.checks, (std::map<Control, bool>{{Control::Logsteps, false}, {Control::Dither1, false}}));
    EXPECT_EQ(out.seed, 18446744073709551615u);
    EXPECT_EQ(out.outputDir, "out");
    EXPECT_TRUE(out.quiet && out.info);
    EXPECT_FALSE(out.help || out.version || out.autoName);
}

}  // namespace
