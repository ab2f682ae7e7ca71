// The option parser, in-process: what it accepts, what it stores, and the
// message for everything it refuses.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "cli/options.h"
#include "settings/catalogue.h"

namespace {

using sweepwav::CliOptions;
using sweepwav::Control;
using sweepwav::ParseOptions;
using sweepwav::EntryTexts;
using sweepwav::Shell;
using sweepwav::UsageText;

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
        // Typos get the nearest option; abbreviations must be unambiguous.
        {{"--strat-freq", "20"}, "unknown option --strat-freq (did you mean --start-freq?)"},
        {{"--start-frequency=20"}, "unknown option --start-frequency (did you mean --start-freq?)"},
        {{"-start-freq", "20"}, "unknown option -start-freq (did you mean --start-freq?)"},
        {{"--chanels", "2"}, "unknown option --chanels (did you mean --channels?)"},
        {{"--ouptut-dir=x"}, "unknown option --ouptut-dir (did you mean --output-dir?)"},
        {{"-xyz"}, "unknown option -x (see --help)"},
        {{"--start", "20"}, "ambiguous option --start: --start-freq or --start-level?"},
        {{"--s"}, "ambiguous option --s: --start-freq, --start-level, --steps, --shift-mode, --seed, --settings, --save-settings or --signal-channels?"},
        {{"--no-dither-at-all"}, "unknown option --no-dither-at-all (did you mean --no-dither?)"},
        {{"--lin=1"}, "--linear takes no value"},
        // An option added later takes no shortened name from one that came before it.
        {{"--p"}, "--plan needs a value"},
        {{"--pl"}, "--plan needs a value"},
        {{"--pla"}, "--plan needs a value"},
        {{"--li=1"}, "--linear takes no value"},
        {{"--l"}, "ambiguous option --l: --linear, --log-steps or --lead-in-ms?"},
        {{"--pr"}, "--preset needs the name of a preset (--list-presets lists them)"},
        {{"--lis=1"}, "--list-presets takes no value"},
        {{"--play=1"}, "--play takes no value"},
        // An option is not taken as a value; "--" ends the options.
        {{"--start-freq", "-o", "."}, "--start-freq needs a value; -o is an option (write --start-freq=-o if it is the value)"},
        {{"-o", "--file"}, "-o needs a value; --file is an option (write --output-dir=--file if it is the value)"},
        {{"--file", "--"}, "--file needs a value; -- is an option (write --file=-- if it is the value)"},
        {{"--", "--steps", "3"}, "unexpected argument \"--steps\" (see --help)"},
        {{"--steps", "3", "--", "-"}, "unexpected argument \"-\" (see --help)"},
        // The name comes from --auto-name or from --file, and standard output holds one thing.
        {{"--auto-name", "--file", "x"}, "--auto-name chooses the file name; it cannot be used with --file"},
        {{"--file=", "--auto"}, "--auto-name chooses the file name; it cannot be used with --file"},
        {{"--auto-name", "--plan", "-"}, "--auto-name and --plan - cannot both use standard output"},
        {{"--preset"}, "--preset needs the name of a preset (--list-presets lists them)"},
        {{"--preset="}, "--preset needs the name of a preset (--list-presets lists them)"},
        {{"--preset=a", "--pres", "b"}, "--preset can be given once: the sweep starts from one preset"},
        {{"--settings", "a.sweep", "--preset", "b"},
         "--preset and --settings cannot go together: each starts the sweep from a settings file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0]);
        CliOptions out;
        EXPECT_EQ(ParseOptions(c.args, out), std::optional<std::string>(c.message));
    }
}

// Names from other tools: each is answered with the option meant, and no
// beginning of one is taken for another option (--freq and --fr are not
// --frequencies); a beginning of one that names the option meant is.
TEST(Options, NamesFromOtherToolsAreNoAbbreviations) {
    for (const sweepwav::OptionAlias& alias : sweepwav::OptionAliases()) {
        const std::string typed(alias.typed), meant(alias.meant);
        SCOPED_TRACE(typed);
        CliOptions out;
        EXPECT_EQ(ParseOptions({typed, "20"}, out), "unknown option " + typed + " (did you mean " + meant + "?)");
        for (std::size_t length = 3; length < typed.size(); ++length) {
            const std::string beginning = typed.substr(0, length);
            CliOptions o;
            (void)ParseOptions({beginning, "20"}, o);
            for (const auto& [entry, value] : o.values) {
                EXPECT_NE(meant.find(sweepwav::OptionNameOf(entry)), std::string::npos) << beginning << " took "
                                                                                       << sweepwav::OptionNameOf(entry);
            }
        }
    }
    struct Case {
        std::vector<std::string> args;
        std::optional<std::string> message;  // none: accepted
    };
    const Case cases[] = {
        {{"--fr", "20"}, "ambiguous option --fr: --frequencies, --start-freq or --end-freq?"},
        {{"--frequenc", "20"}, "ambiguous option --frequenc: --frequencies, --start-freq or --end-freq?"},
        {{"--frequenci", "20"}, std::nullopt},
        {{"--d"}, "ambiguous option --d: --dither or --tone-ms?"},
        {{"--bi", "24", "--o", "x", "--out", "y"}, std::nullopt},
        // Every option stands in the match order, so a mistyped one finds its answer.
        {{"--xyz"}, "unknown option --xyz (see --help)"},
        {{"--ver"}, std::nullopt},
        // A list may be given again; the last one counts.
        {{"--frequencies", "100", "--frequencies", "200,300"}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0]);
        CliOptions out;
        EXPECT_EQ(ParseOptions(c.args, out), c.message);
    }
    CliOptions twice;
    ASSERT_EQ(ParseOptions({"--frequencies", "100", "--frequencies", "200,300"}, twice), std::nullopt);
    EXPECT_EQ(twice.values, (EntryTexts{{Control::Spacing, "list"}, {Control::FrequencyList, "200,300"}}));
}

TEST(Options, AcceptedValuesAndWhereTheyGo) {
    CliOptions out;
    ASSERT_EQ(ParseOptions({"--rate", "192000", "--bits=24", "--channels", "8", "--shift-mode", "0",
                            "--start-level", "-20", "--file=", "--linear", "--no-dither", "--seed",
                            "18446744073709551615", "--output-dir", "out", "--quiet", "--info"},
                           out),
              std::nullopt);
    // A value that starts with "-" is still the value of the option before it.
    EXPECT_EQ(out.values, (EntryTexts{{Control::StartLevel, "-20"},
                                      {Control::Logsteps, "no"},
                                      {Control::Dither1, "no"},
                                      {Control::Shiftmode, "0"},
                                      {Control::Samplerate, "192000"},
                                      {Control::Wordlength, "24"},
                                      {Control::Channels, "8"},
                                      {Control::FileName, ""}}));
    EXPECT_EQ(out.seed, 18446744073709551615u);
    EXPECT_EQ(out.outputDir, "out");
    EXPECT_TRUE(out.quiet && out.info);
    EXPECT_FALSE(out.help || out.version || out.autoName || out.toStdout);

    // Short forms, grouped or not, and a value attached to -o.
    const std::vector<std::vector<std::string>> shortForms = {{"-qVh", "-o", "x"}, {"-q", "-V", "-h", "-ox"},
                                                              {"-hVqo", "x"}};
    for (const auto& args : shortForms) {
        CliOptions o;
        ASSERT_EQ(ParseOptions(args, o), std::nullopt) << args[0];
        EXPECT_TRUE(o.quiet && o.version && o.help) << args[0];
        EXPECT_EQ(o.outputDir, "x") << args[0];
    }
    // Unambiguous beginnings of long options, negative numbers as values, and "--" at the end.
    CliOptions a;
    ASSERT_EQ(ParseOptions({"--start-f", "-1e3", "--end-l=-3", "--ste", "-.5", "--no-d", "--out=-x", "--rat",
                            "48000", "--tone-c", "-20dB", "--mark", "--"},
                           a),
              std::nullopt);
    EXPECT_EQ(a.values, (EntryTexts{{Control::StartFreq, "-1e3"},
                                    {Control::EndLevel, "-3"},
                                    {Control::Steps, "-.5"},
                                    {Control::ToneCycles, "-20dB"},
                                    {Control::Samplerate, "48000"},
                                    {Control::Dither1, "no"},
                                    {Control::WriteMarkers, "yes"}}));
    EXPECT_EQ(a.outputDir, "-x");  // after "=", a value may be anything

    CliOptions o;
    ASSERT_EQ(ParseOptions({"--file", "-", "--markers", "--plan", "Plan.JSON"}, o), std::nullopt);
    EXPECT_TRUE(o.toStdout);
    EXPECT_EQ(o.plan, "Plan.JSON");
    // The WAV's name stays the default.
    EXPECT_EQ(o.values, (EntryTexts{{Control::WriteMarkers, "yes"}}));
}

// A POSIX shell's text with every continued line joined to the one before.
std::string Joined(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 3, " \\\n") != 0) {
            out += text[i];
            continue;
        }
        out += ' ';
        for (i += 2; i + 1 < text.size() && text[i + 1] == ' ';) ++i;
    }
    return out;
}

// cmd.exe has no line continuation that survives pasting: there each example
// is the POSIX one on a single line.
TEST(Options, HelpExamplesSuitTheShell) {
    const std::string posix = UsageText(Shell::Posix), cmd = UsageText(Shell::Cmd);
    EXPECT_EQ(cmd.find("\\\n"), std::string::npos);
    EXPECT_NE(posix.find(" \\\n               --bits 24"), std::string::npos);
    EXPECT_EQ(Joined(posix), cmd);
}

}  // namespace
