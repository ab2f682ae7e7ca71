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
        {{"--linear=1"}, "--linear takes no value"},
        {{"--info=yes"}, "--info takes no value"},
        {{"--seed", "42x"}, "--seed needs a whole number from 0 to 18446744073709551615, not \"42x\""},
        {{"--seed="}, "--seed needs a whole number from 0 to 18446744073709551615, not \"\""},
        {{"--seed", "-1"}, "--seed needs a whole number from 0 to 18446744073709551615, not \"-1\""},
        {{"--seed", "18446744073709551616"},
         "--seed needs a whole number from 0 to 18446744073709551615, not \"18446744073709551616\""},
        {{"--output-dir", ""}, "--output-dir needs a folder"},
        {{"--output-dir="}, "--output-dir needs a folder"},
        {{"--steps"}, "--steps needs a value"},
        {{"-o"}, "-o needs a value"},
        {{"-qx"}, "unknown option -x (see --help)"},
        {{"stray"}, "unexpected argument \"stray\" (see --help)"},
        {{"--plan", "plan.txt"},
         "--plan needs a file name ending in .csv or .json, or - for CSV on standard output, not \"plan.txt\""},
        {{"--file", "-", "--info"}, "--info prints on standard output; it cannot be used with --file -"},
        {{"--auto-name", "--file=-"}, "--auto-name prints on standard output; it cannot be used with --file -"},
        {{"--file", "-", "--plan", "-"}, "--plan - and --file - cannot both use standard output"},
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
    EXPECT_FALSE(out.help || out.version || out.autoName || out.toStdout || out.markers);

    // Short forms, grouped or not, and a value attached to -o.
    const std::vector<std::vector<std::string>> shortForms = {{"-qVh", "-o", "x"}, {"-q", "-V", "-h", "-ox"},
                                                              {"-hVqo", "x"}};
    for (const auto& args : shortForms) {
        CliOptions o;
        ASSERT_EQ(ParseOptions(args, o), std::nullopt) << args[0];
        EXPECT_TRUE(o.quiet && o.version && o.help) << args[0];
        EXPECT_EQ(o.outputDir, "x") << args[0];
    }
    CliOptions o;
    ASSERT_EQ(ParseOptions({"--file", "-", "--markers", "--plan", "Plan.JSON"}, o), std::nullopt);
    EXPECT_TRUE(o.toStdout && o.markers);
    EXPECT_EQ(o.plan, "Plan.JSON");
    EXPECT_TRUE(o.texts.empty());  // the WAV's name stays the default
}

}  // namespace
