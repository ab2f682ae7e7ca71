// Letter case in file names and messages, for ASCII letters only: a file
// name's ending or a message's first word compares the same in any case,
// whatever the locale. And the characters no file name should hold, and
// names as messages show them.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace sweepwav {

inline char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = AsciiLower(c);
    return out;
}

// True when text ends with ending, letters compared in any case.
inline bool EndsWithNoCase(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() &&
           AsciiLower(text.substr(text.size() - ending.size())) == AsciiLower(ending);
}

// Whether text holds a control character: NUL to U+001F, DEL, or U+0080
// to U+009F in UTF-8. No name of a file or folder holds one on purpose, and
// a NUL ends a name where the system reads it.
inline bool HasControlCharacter(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7F) return true;
        if (byte == 0xC2 && i + 1 < text.size()) {
            const auto next = static_cast<unsigned char>(text[i + 1]);
            if (next >= 0x80 && next < 0xA0) return true;
        }
    }
    return false;
}

// How messages show a text that came from input: a name (a path, a folder),
// or a value (a list entry, an option's value, a key of a settings file).
// A plain text is shown as it is; a character that could act on a terminal
// or mislead a reader is escaped: the control characters (C0, DEL, C1),
// the line and paragraph separators U+2028 and U+2029, the characters that
// turn the direction of text (U+061C, U+200E, U+200F, U+202A to U+202E,
// U+2066 to U+2069), and every byte that is not part of UTF-8. The same
// characters are escaped in both styles; each front end chooses its style
// once, at start-up:
// - Shell (the default; the command line): quoted as a shell takes the text
//   back, each escaped character as $'\n', $'\t', $'\r' or its bytes in
//   octal, $'\302\205': "a<newline>b" is shown 'a'$'\n''b'.
// - People (the windows' message boxes): the text with each escaped
//   character as <U+000A>, and a byte that is not UTF-8 as <0xFF>.
// A text longer than the longest shown is cut after its first
// kShortenedTo characters, followed by "..." and how long it was:
// "1,2,3..." (5000 characters, shortened).
enum class TextStyle { Shell, People };
void ShowTextsFor(TextStyle style);

// A name: as it is while plain, else escaped; shortened beyond 4096
// characters (no path Linux can address is shortened).
std::string ShownName(std::string_view name);

// A value: in double quotes while plain ("100"), else escaped (in the
// shell style, without the double quotes); shortened beyond 200 characters.
std::string ShownValue(std::string_view value);

inline constexpr std::size_t kLongestShownName = 4096;
inline constexpr std::size_t kLongestShownValue = 200;
inline constexpr std::size_t kShortenedTo = 160;

namespace text_detail {

inline TextStyle style = TextStyle::Shell;

// One character of a text: its bytes (one for a byte that is not part of
// UTF-8), its code, and whether messages escape it.
struct Character {
    std::size_t size = 1;
    char32_t code = 0;
    bool valid = true;
    bool escaped = false;
};

inline bool EscapedCode(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
           (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

inline Character CharacterAt(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
    const unsigned char first = byte(0);
    if (first < 0x80) return {1, first, true, EscapedCode(first)};
    const std::size_t size = first >= 0xC2 && first <= 0xDF ? 2 : first >= 0xE0 && first <= 0xEF ? 3
                           : first >= 0xF0 && first <= 0xF4 ? 4 : 0;
    const Character invalid{1, first, false, true};
    if (size == 0 || i + size > text.size()) return invalid;
    // The second byte's range excludes overlong forms, surrogates and codes
    // beyond U+10FFFF.
    const unsigned char low = first == 0xE0 ? 0xA0 : first == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = first == 0xED ? 0x9F : first == 0xF4 ? 0x8F : 0xBF;
    if (byte(1) < low || byte(1) > high) return invalid;
    char32_t code = first & (0x7F >> size);
    for (std::size_t k = 1; k < size; ++k) {
        if ((byte(k) & 0xC0) != 0x80) return invalid;
        code = (code << 6) | (byte(k) & 0x3F);
    }
    return {size, code, true, EscapedCode(code)};
}

inline std::string Hex(char32_t value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xF];
    return out;
}

// An escaped character as the style shows it.
inline std::string Escaped(std::string_view bytes, const Character& c) {
    if (style == TextStyle::People) {
        return c.valid ? "<U+" + Hex(c.code, c.code > 0xFFFF ? 6 : 4) + ">" : "<0x" + Hex(c.code, 2) + ">";
    }
    switch (bytes.size() == 1 ? bytes[0] : 0) {
        case '\n': return "$'\\n'";
        case '\t': return "$'\\t'";
        case '\r': return "$'\\r'";
        default: break;
    }
    std::string out = "$'";
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        out += {'\\', static_cast<char>('0' + (u >> 6)), static_cast<char>('0' + ((u >> 3) & 7)),
                static_cast<char>('0' + (u & 7))};
    }
    return out + "'";
}

// The text up to its limit, escaped, and whether anything needed escaping;
// and its length in characters.
struct Shown {
    std::string text;
    bool escaped = false;
    std::size_t characters = 0;
};

inline Shown Show(std::string_view text, std::size_t longest) {
    Shown out;
    std::size_t kept = 0;  // the bytes shown
    for (std::size_t i = 0; i < text.size(); ++out.characters) {
        i += CharacterAt(text, i).size;
        if (out.characters < kShortenedTo) kept = i;
    }
    if (out.characters <= longest) kept = text.size();
    const std::string_view shown = text.substr(0, kept);
    for (std::size_t i = 0; i < shown.size() && !out.escaped;) {
        const Character c = CharacterAt(shown, i);
        out.escaped = c.escaped;
        i += c.size;
    }
    if (!out.escaped) {
        out.text = shown;
        return out;
    }
    bool quoted = false;  // within '...' (shell style)
    const auto close = [&] {
        if (quoted) out.text += '\'';
        quoted = false;
    };
    for (std::size_t i = 0; i < shown.size();) {
        const Character c = CharacterAt(shown, i);
        const std::string_view bytes = shown.substr(i, c.size);
        i += c.size;
        if (c.escaped) {
            close();
            out.text += Escaped(bytes, c);
        } else if (style == TextStyle::People) {
            out.text += bytes;
        } else if (bytes == "'") {
            close();
            out.text += "\\'";
        } else {
            if (!quoted) out.text += '\'';
            quoted = true;
            out.text += bytes;
        }
    }
    close();
    return out;
}

inline std::string Shortened(std::size_t characters, std::size_t longest) {
    return characters <= longest ? "" : "... (" + std::to_string(characters) + " characters, shortened)";
}

}  // namespace text_detail

inline void ShowTextsFor(TextStyle style) { text_detail::style = style; }

inline std::string ShownName(std::string_view name) {
    const text_detail::Shown shown = text_detail::Show(name, kLongestShownName);
    return shown.text + text_detail::Shortened(shown.characters, kLongestShownName);
}

inline std::string ShownValue(std::string_view value) {
    const text_detail::Shown shown = text_detail::Show(value, kLongestShownValue);
    const std::string tail = text_detail::Shortened(shown.characters, kLongestShownValue);
    if (shown.escaped && text_detail::style == TextStyle::Shell) return shown.text + tail;
    if (tail.empty()) return "\"" + shown.text + "\"";
    // The dots inside the quotes, the length after them.
    return "\"" + shown.text + "...\"" + tail.substr(3);
}

// The parts of a text between its separators ("a, b" at ", ": "a" and
// "b"); one part, the whole text, when it has none.
inline std::vector<std::string_view> SplitAt(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> parts;
    for (std::size_t at = text.find(separator); at != std::string_view::npos; at = text.find(separator)) {
        parts.push_back(text.substr(0, at));
        text.remove_prefix(at + separator.size());
    }
    parts.push_back(text);
    return parts;
}

}  // namespace sweepwav
