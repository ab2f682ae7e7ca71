// Texts from input as messages show them: which characters are escaped, in
// the terminal's style and in the message boxes', and when a text is cut.
#include <gtest/gtest.h>

#include <string>

#include "core/text.h"

namespace sweepwav {
namespace {

// The style for one test, and the terminal's again after it.
struct Style {
    explicit Style(TextStyle style) { ShowTextsFor(style); }
    ~Style() { ShowTextsFor(TextStyle::Shell); }
};

TEST(ShownText, EachEscapedCharacterInBothStyles) {
    const struct {
        const char* what;
        std::string text, shell, people;  // as ShownName shows it
    } cases[] = {
        {"plain, beyond ASCII too", "C:\\Grüße ☺ 𝄞.wav", "C:\\Grüße ☺ 𝄞.wav", "C:\\Grüße ☺ 𝄞.wav"},
        {"a line end", "a\nb", "'a'$'\\n''b'", "a<U+000A>b"},
        {"a tab and a carriage return", "\ta\r", "$'\\t''a'$'\\r'", "<U+0009>a<U+000D>"},
        {"NUL, ESC and DEL", std::string("\0\x1B\x7F", 3), "$'\\000'$'\\033'$'\\177'", "<U+0000><U+001B><U+007F>"},
        {"C1: NEL and CSI", "a\u0085\u009B", "'a'$'\\302\\205'$'\\302\\233'", "a<U+0085><U+009B>"},
        {"the line and paragraph separators", "\u2028\u2029", "$'\\342\\200\\250'$'\\342\\200\\251'",
         "<U+2028><U+2029>"},
        {"marks and embeddings of direction", "\u200E\u200F\u202A\u202E", "$'\\342\\200\\216'$'\\342\\200\\217'"
         "$'\\342\\200\\252'$'\\342\\200\\256'", "<U+200E><U+200F><U+202A><U+202E>"},
        {"isolates and the Arabic letter mark", "\u2066\u2069\u061C",
         "$'\\342\\201\\246'$'\\342\\201\\251'$'\\330\\234'", "<U+2066><U+2069><U+061C>"},
        {"their neighbours stay", "a\u00A0\u2027\u202F\u2065\u206A\u061D\u200Db", "a\u00A0\u2027\u202F\u2065\u206A\u061D\u200Db",
         "a\u00A0\u2027\u202F\u2065\u206A\u061D\u200Db"},
        {"bytes that are not UTF-8", "a\xFF\xC0\xAF", "'a'$'\\377'$'\\300'$'\\257'", "a<0xFF><0xC0><0xAF>"},
        {"a cut sequence, a surrogate, beyond U+10FFFF", "\xE2\x80 \xED\xA0\x80 \xF4\x90\x80\x80",
         "$'\\342'$'\\200'' '$'\\355'$'\\240'$'\\200'' '$'\\364'$'\\220'$'\\200'$'\\200'",
         "<0xE2><0x80> <0xED><0xA0><0x80> <0xF4><0x90><0x80><0x80>"},
        {"a quote beside an escape", "it's\n", "'it'\\''s'$'\\n'", "it's<U+000A>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ShownName(c.text), c.shell);
        const bool plain = c.shell == c.text;
        EXPECT_EQ(ShownValue(c.text), plain ? "\"" + c.text + "\"" : c.shell);
        const Style people(TextStyle::People);
        EXPECT_EQ(ShownName(c.text), c.people);
        EXPECT_EQ(ShownValue(c.text), "\"" + c.people + "\"");
    }
}

TEST(ShownText, LongTextsAreCutAfterTheirBeginning) {
    const auto times = [](std::size_t n, const std::string& piece) {
        std::string out;
        for (std::size_t i = 0; i < n; ++i) out += piece;
        return out;
    };
    const std::string b(kShortenedTo, 'b'), cut = " characters, shortened)";
    const struct {
        std::string text, name, value;
    } cases[] = {
        {times(200, "v"), times(200, "v"), "\"" + times(200, "v") + "\""},
        {b + times(41, "v"), b + times(41, "v"), "\"" + b + "...\" (201" + cut},
        {times(4096, "n"), times(4096, "n"), "\"" + times(kShortenedTo, "n") + "...\" (4096" + cut},
        {b + times(3937, "n"), b + "... (4097" + cut, "\"" + b + "...\" (4097" + cut},
        // Counted in characters, and cut between them; escaped where shown.
        {b.substr(1) + "☺" + times(300, "x"), b.substr(1) + "☺" + times(300, "x"), "\"" + b.substr(1) + "☺...\" (460" + cut},
        {times(300, "\xFF"), times(300, "$'\\377'"), times(kShortenedTo, "$'\\377'") + "... (300" + cut},
        {b.substr(1) + "\n" + times(100, "x"), "'" + b.substr(1) + "'$'\\n''" + times(100, "x") + "'",
         "'" + b.substr(1) + "'$'\\n'... (260" + cut},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.size());
        EXPECT_EQ(ShownName(c.text), c.name);
        EXPECT_EQ(ShownValue(c.text), c.value);
    }
    const Style people(TextStyle::People);
    EXPECT_EQ(ShownValue(times(300, "\x1B")), "\"" + times(kShortenedTo, "<U+001B>") + "...\" (300" + cut);
}

}  // namespace
}  // namespace sweepwav
