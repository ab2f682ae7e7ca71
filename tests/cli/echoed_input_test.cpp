// Every message that echoes a text from input, on the terminal and in a
// message box: no character that acts on a terminal or turns the text's
// direction gets through, and a long text is cut.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "cli/entry_hint.h"
#include "cli/options.h"
#include "commands/commands.h"
#include "commands/settings_file.h"
#include "core/text.h"
#include "support/recording_fake.h"

namespace sweepwav {
namespace {

// The first character of the message that messages escape; empty when none.
std::string Unescaped(const std::string& message) {
    for (std::size_t i = 0; i < message.size();) {
        const text_detail::Character c = text_detail::CharacterAt(message, i);
        if (c.escaped) return message.substr(i, c.size);
        i += c.size;
    }
    return {};
}

std::string Refusal(const std::vector<std::string>& args) {
    CliOptions options;
    return ParseOptions(args, options).value_or("accepted");
}

std::string SettingsRefusal(const std::string& lines) {
    return ParseSettings("[sweepwav]\nformat = 2\n" + lines + "\n").reason();
}

std::string ListRefusal(const std::string& list) {
    GeneratorState s;
    testing::RecordingWindow w;
    testing::RecordingServices sv;
    Form_Load(s, w, sv, false);
    s.toneSpacing = "list";
    s.toneList = list;
    return PlanFromEntries(s, w) || w.boxes.empty() ? "accepted" : w.boxes[0].text;
}

std::string ListHint(const std::string& list) {
    GeneratorState s;
    testing::RecordingWindow w;
    CliOptions options;
    options.values[Control::FrequencyList] = list;
    s.refusedEntry = Control::FrequencyList;
    s.iSampleRate = 44100;
    return EntryHint(s, w, options).value_or("none");
}

TEST(EchoedInput, IsEscapedInEveryMessageInBothStyles) {
    const struct {
        const char* what;
        std::string text;
        const char* shell;   // how the escaped part shows on the terminal
        const char* people;  // and in a message box
    } texts[] = {
        {"a title and a fake line", "1\x1B]0;TITLE\a\rsweepwav-cli: wrote x\x1B[K", "$'\\033'", "<U+001B>"},
        {"a line end", "1\n2", "$'\\n'", "<U+000A>"},
        {"C1", "1\u009B2", "$'\\302\\233'", "<U+009B>"},
        {"a line separator", "1\u20282", "$'\\342\\200\\250'", "<U+2028>"},
        {"right to left", "1\u202E2", "$'\\342\\200\\256'", "<U+202E>"},
        {"not UTF-8", "1\xFF", "$'\\377'", "<0xFF>"},
        {"5 KB", "1" + std::string(5000, '0') + "x", "characters, shortened)", "characters, shortened)"},
    };
    const struct {
        const char* where;
        std::function<std::string(const std::string&)> message;
        bool oneLine = true;  // the text must be on one line to get there
    } echoes[] = {
        {"an option's value", [](const std::string& t) { return Refusal({"--rate", t}); }},
        {"a seed", [](const std::string& t) { return Refusal({"--seed", t}); }},
        {"a plan's name", [](const std::string& t) { return Refusal({"--plan", t}); }},
        {"an argument", [](const std::string& t) { return Refusal({"x" + t}); }},
        {"an option", [](const std::string& t) { return Refusal({"--x" + t}); }},
        {"an option for a value", [](const std::string& t) { return Refusal({"--steps", "--x" + t}); }},
        {"a list entry", ListRefusal},
        {"a list, as typed", ListHint},
        {"a settings file's line", [](const std::string& t) { return SettingsRefusal("[sweep]\n" + t); }, false},
        {"its key", [](const std::string& t) { return SettingsRefusal("[sweep]\n" + t + " = 1"); }, false},
        {"its section", [](const std::string& t) { return SettingsRefusal("[" + t + "]"); }, false},
        {"a list's value", [](const std::string& t) { return SettingsRefusal("[file]\nrate = " + t); }, false},
        {"a file's name",
         [](const std::string& t) { return FileWriteFailureText("/x/" + t, Status::Failure(FailureKind::Missing, "")); }},
    };
    for (const TextStyle style : {TextStyle::Shell, TextStyle::People}) {
        ShowTextsFor(style);
        for (const auto& echo : echoes) {
            for (const auto& text : texts) {
                if (!echo.oneLine && text.text.find('\n') != std::string::npos) continue;
                SCOPED_TRACE(::testing::Message() << echo.where << ", " << text.what);
                const std::string message = echo.message(text.text);
                EXPECT_EQ(Unescaped(message), "") << message;
                EXPECT_NE(message.find(style == TextStyle::Shell ? text.shell : text.people), std::string::npos)
                    << message;
                EXPECT_LT(message.size(), 600u);
            }
        }
    }
    ShowTextsFor(TextStyle::Shell);
}

}  // namespace
}  // namespace sweepwav
