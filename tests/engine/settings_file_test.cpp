// Settings files: saved and opened again, and every file that is refused.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "commands/commands.h"
#include "commands/settings_file.h"
#include "support/recording_fake.h"

namespace sweepwav {
namespace {

using testing::RecordingServices;
using testing::RecordingWindow;

struct Form {
    GeneratorState s;
    RecordingWindow w;
    RecordingServices sv;
    Form() { Form_Load(s, w, sv, false); }
    // Everything the form shows, to compare two forms by.
    std::string Shown() { return SettingsText(ReadEntries(w, s)); }
};

TEST(SettingsFile, SavedThenOpenedGivesTheSameForm) {
    const std::vector<std::vector<std::pair<Control, std::string>>> cases = {
        {},  // the start-up values
        {{Control::StartFreq, " 1e3 "}, {Control::EndLevel, "-20.5"}, {Control::Steps, ""},
         {Control::FileName, "my.sweep..wav"}},
        // Any text in a box that must hold a number (a file name with such
        // characters is refused).
        {{Control::StartFreq, "Süß \"test\" \\ C:\\x\t\x01 ☺"}, {Control::ToneTime, "abc"},
         {Control::FileName, "Süß ☺ \"test\".wav"}},
    };
    for (const auto& texts : cases) {
        Form saved;
        for (const auto& [box, text] : texts) saved.w.set_text(box, text);
        saved.w.set_checked(Control::Logsteps, false);
        ASSERT_TRUE(saved.w.choose(Control::Samplerate, "96kHz"));
        saved.w.select_index(Control::Channels, 7);
        saved.s.markers = true;
        ASSERT_TRUE(SaveSettingsFile(saved.s, saved.w, saved.sv, "/x/a.sweep"));

        Form opened;
        opened.sv.textFiles = saved.sv.textFiles;
        ASSERT_TRUE(OpenSettingsFile(opened.s, opened.w, opened.sv, "/x/a.sweep"));
        EXPECT_EQ(opened.Shown(), saved.Shown());
        for (const auto& [box, text] : texts) EXPECT_EQ(opened.w.text(box), text);
        EXPECT_TRUE(opened.w.boxes.empty());
    }
}

TEST(SettingsFile, EverySignalOptionKeepsItsOwnValue) {
    Form saved;
    saved.s.signal = {1.5, 2.5, 3.5, 0.25, {{2, 1}, false}};
    ASSERT_TRUE(SaveSettingsFile(saved.s, saved.w, saved.sv, "/x/a.sweep"));
    Form opened;
    opened.sv.textFiles = saved.sv.textFiles;
    ASSERT_TRUE(OpenSettingsFile(opened.s, opened.w, opened.sv, "/x/a.sweep"));
    EXPECT_EQ(opened.s.signal, saved.s.signal);
    saved.s.signal = {0, 0, 0, 0, {{}, true}};
    ASSERT_TRUE(SaveSettingsFile(saved.s, saved.w, saved.sv, "/x/a.sweep"));
    opened.sv.textFiles = saved.sv.textFiles;
    ASSERT_TRUE(OpenSettingsFile(opened.s, opened.w, opened.sv, "/x/a.sweep"));
    EXPECT_EQ(opened.s.signal, saved.s.signal);
}

// A value for every entry that is not its start-up one.
EntryTexts AwayFromStartup() {
    EntryTexts values;
    for (const Entry& e : Entries()) {
        if (e.key.empty()) continue;
        switch (e.kind) {
            case EntryKind::Tick: values[e.control] = e.startup == "yes" ? "no" : "yes"; break;
            case EntryKind::List:
                values[e.control] = ItemNameAt(e, ItemNameAt(e, 0) == e.startup ? 1 : 0);
                break;
            case EntryKind::Name: values[e.control] = "x.wav"; break;
            case EntryKind::Channels: values[e.control] = "2"; break;
            default: values[e.control] = "7"; break;
        }
    }
    return values;
}

TEST(SettingsFile, ResetGivesEveryEntryItsStartUpValue) {
    Form changed;
    const EntryTexts away = AwayFromStartup();
    FillEntries(changed.w, changed.s, away);
    const EntryTexts filled = ReadEntries(changed.w, changed.s);
    for (const auto& [control, startup] : StartupEntries()) {
        EXPECT_NE(filled.at(control), startup) << EntryOf(control).key << " was not changed";
    }
    const std::string folder = changed.s.outputFolder.path;
    ResetToStartup(changed.s, changed.w);
    EXPECT_EQ(changed.Shown(), Form().Shown());
    EXPECT_EQ(ReadEntries(changed.w, changed.s), StartupEntries());
    EXPECT_EQ(changed.s.outputFolder.path, folder);
}

TEST(SettingsFile, DescriptionIsTheFirstLinesComment) {
    const std::pair<std::string, std::string> cases[] = {
        {"# Octave bands: 10 tones\n[sweepwav]\n", "Octave bands: 10 tones"},
        {"\xEF\xBB\xBF#  Levels \r\n[sweepwav]", "Levels"},
        {"#", ""},
        {"[sweepwav]\n# not the first line\n", ""},
        {"", ""},
    };
    for (const auto& [text, description] : cases) EXPECT_EQ(SettingsDescription(text), description) << text;
}

TEST(SettingsFile, TheToneFrequenciesAreKeptOnlyWhenSetAndInTheNewerFormat) {
    const struct {
        std::string spacing, list;
        bool nominal;
        const char* format;
    } cases[] = {{"steps", "", false, "format = 1\n"}, {"bands6", "", true, "format = 2\n"},
                 {"list", " 100, 1e3 ", false, "format = 2\n"}};
    for (const auto& c : cases) {
        Form saved;
        saved.s.toneSpacing = c.spacing, saved.s.toneList = c.list, saved.s.nominalBands = c.nominal;
        ASSERT_TRUE(SaveSettingsFile(saved.s, saved.w, saved.sv, "/x/f.sweep"));
        const std::string text = saved.sv.textFiles["/x/f.sweep"];
        EXPECT_NE(text.find(c.format), std::string::npos) << text;
        EXPECT_EQ(text.find("spacing") != std::string::npos, c.spacing != "steps");
        Form opened;
        opened.sv.textFiles = saved.sv.textFiles;
        ASSERT_TRUE(OpenSettingsFile(opened.s, opened.w, opened.sv, "/x/f.sweep"));
        EXPECT_EQ(std::tie(opened.s.toneSpacing, opened.s.toneList, opened.s.nominalBands),
                  std::tie(c.spacing, c.list, c.nominal));
    }
}

TEST(SettingsFile, FilesWrittenElsewhereAreRead) {
    Form f;
    f.s.signal = {10, 20, 30, 1, {{}, true}};
    const std::string good = f.Shown();
    const auto crlf = [&] {
        std::string text;
        for (char c : good) text += c == '\n' ? std::string("\r\n") : std::string(1, c);
        return text;
    };
    const auto withoutSignal = good.substr(0, good.find("\n[signal]")) + "\n";
    const struct {
        std::string text;
        SignalOptions signal;
    } cases[] = {
        {crlf(), f.s.signal},                         // Windows line ends
        {withoutSignal, SignalOptions{}},              // written before the signal options: all off
        {"; a comment\n" + good, f.s.signal},
    };
    for (const auto& c : cases) {
        Form opened;
        opened.s.signal = {5, 5, 5, 5, {{1}, false}};
        opened.sv.textFiles["/x/c.sweep"] = c.text;
        ASSERT_TRUE(OpenSettingsFile(opened.s, opened.w, opened.sv, "/x/c.sweep")) << c.text;
        EXPECT_EQ(opened.s.signal, c.signal) << c.text;
        EXPECT_EQ(opened.w.text(Control::FileName), "filename.wav");
    }
}

TEST(SettingsFile, RefusedFilesLeaveTheFormAsItWas) {
    const std::string good = [] {
        Form f;
        return f.Shown();
    }();
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const std::pair<std::optional<std::string>, std::string> cases[] = {
        {std::nullopt, "No such file or directory"},
        {"", "it is not a sweepwav settings file"},
        {"[Paths]\nApplication directory=/x\n", "it is not a sweepwav settings file"},
        {replaced("format = 1", "format = 3"),
         "it was written in settings format 3 by a newer sweepwav; this one reads format 2"},
        {replaced("rate = 44100", "rate = 12345"),
         "line 17: rate 12345 is not one of 32000, 44100, 48000, 96000 or 192000"},
        {replaced("channels = 2", "channels = 9"), "line 19: channels 9 is not one of 1, 2, 3, 4, 5, 6, 7 or 8"},
        {replaced("shift_mode = 2", "shift_mode = x"), "line 14: shift_mode x is not one of 0, 1 or 2"},
        {replaced("dither = yes", "dither = 1"), "line 20: dither must be yes or no"},
        {replaced("steps = \"10\"", "steps = 10"), "line 10: steps must be a text in double quotes"},
        {replaced("start_freq = \"20\"\n", ""), "it has no start_freq"},
        {replaced("[file]", "[file]\nlevel = 3"), "line 17: \"level\" is not a setting of [file]"},
        {replaced("bits = 16", "bits = 16\nbits = 24"), "line 19: bits is given twice"},
        {replaced("channels = \"all\"", "channels = \"1, 2,1\""), "line 29: channels names channel 1 twice"},
        {replaced("format = 1", "format = 99999999999"),
         "it was written in settings format 99999999999 by a newer sweepwav; this one reads format 2"},
    };
    for (const auto& [file, problem] : cases) {
        SCOPED_TRACE(problem);
        Form f;
        f.w.set_text(Control::StartFreq, "not touched");
        const std::string before = f.Shown();
        if (file) f.sv.textFiles["/x/b.sweep"] = *file;
        EXPECT_FALSE(OpenSettingsFile(f.s, f.w, f.sv, "/x/b.sweep"));
        EXPECT_EQ(f.Shown(), before);
        ASSERT_EQ(f.w.boxes.size(), 1u);
        EXPECT_EQ(f.w.boxes[0].text, "Could not open the settings file /x/b.sweep: " + problem + ".");
        EXPECT_EQ(f.w.boxes[0].icon, Icon::Exclamation);
    }
}

TEST(SettingsFile, ANulAnywhereMakesItABinaryFile) {
    const std::string good = Form().Shown(), nul(1, '\0');
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        return text.replace(text.find(from), from.size(), to);
    };
    const std::pair<std::string, int> cases[] = {
        {nul + good, 1},
        {replaced("# sweepwav settings", "# sweepwav" + nul + " settings"), 1},
        {replaced("[sweepwav]", "[sweep" + nul + "wav]"), 2},
        {replaced("[file]", "[fi" + nul + "le]"), 16},
        {replaced("bits = 16", "bi" + nul + "ts = 16"), 18},
        {replaced("bits = 16", "bits = 1" + nul + "6"), 18},
        {replaced("bits = 16", "bits = 16" + nul), 18},
        {replaced("\"filename.wav\"", "\"victim.txt" + nul + ".wav\""), 22},
        {good + nul, 30},
        {good + "\n" + nul + "\n", 31},
    };
    for (const auto& [file, line] : cases) {
        SCOPED_TRACE(line);
        Form f;
        const std::string before = f.Shown();
        f.sv.textFiles["/x/b.sweep"] = file;
        EXPECT_FALSE(OpenSettingsFile(f.s, f.w, f.sv, "/x/b.sweep"));
        EXPECT_EQ(f.Shown(), before);
        ASSERT_EQ(f.w.boxes.size(), 1u);
        EXPECT_EQ(f.w.boxes[0].text, "Could not open the settings file /x/b.sweep: line " + std::to_string(line) +
                                         " holds a NUL byte: it is a binary file, not a settings file.");
    }
}

TEST(SettingsFile, HostileFileNamesAreRefused) {
    // A settings file may come from another bench: its name must stay one
    // plain name in the output folder, with the ".wav" that follows it.
    const auto fileWith = [](const std::string& quotedName) {
        Form f;
        std::string text = f.Shown();
        const std::string line = "name = \"filename.wav\"";
        text.replace(text.find(line), line.size(), "name = " + quotedName);
        return text;
    };
    const struct {
        const char* what;
        std::string quoted;  // as the file has it
        bool refused;
    } cases[] = {
        {"an escaped NUL", "\"victim.txt\\x00\"", true},
        {"an escaped tab", "\"a\\tb\"", true},
        {"a tab", "\"a\tb\"", true},
        {"a line end", "\"a\\nb\"", true},
        {"an escape sequence", "\"a\\x1B[31mb\"", true},
        {"DEL", "\"a\\x7F\"", true},
        {"a control character beyond ASCII", "\"a\xC2\x85\"", true},
        {"a folder", "\"sub/victim.txt\"", true},
        {"the folder above", "\"../victim.txt\"", true},
        {"a Windows folder", "\"..\\\\victim.txt\"", true},
        {"only the folder above", "\"..\"", true},
        {"full stops within", "\"my.sweep..wav\"", false},
        {"letters beyond ASCII", "\"Grüße ☺ .wav\"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Form f;
        const std::string before = f.Shown();
        f.sv.textFiles["/x/b.sweep"] = fileWith(c.quoted);
        EXPECT_EQ(OpenSettingsFile(f.s, f.w, f.sv, "/x/b.sweep"), !c.refused);
        if (!c.refused) {
            EXPECT_TRUE(f.w.boxes.empty());
            continue;
        }
        EXPECT_EQ(f.Shown(), before);
        ASSERT_EQ(f.w.boxes.size(), 1u);
        EXPECT_EQ(f.w.boxes[0].text, "Could not open the settings file /x/b.sweep: line 22: name must be a file name "
                                     "without control characters, \"/\" or \"\\\", and not \"..\".");
    }
}

}  // namespace
}  // namespace sweepwav
