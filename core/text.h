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

// A name (a path, a value) as a message shows it: as it is, unless it holds
// a control character; then quoted for a shell, each control character as
// $'\n', $'\t', $'\r' or $'\ooo', so that every message stays one line:
// "a<newline>b" is shown 'a'$'\n''b'.
std::string ShownName(std::string_view name);

namespace text_detail {

inline bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

inline std::string Escaped(char c) {
    switch (c) {
        case '\n': return "$'\\n'";
        case '\t': return "$'\\t'";
        case '\r': return "$'\\r'";
        default: break;
    }
    const auto byte = static_cast<unsigned char>(c);
    return {'$', '\'', '\\', static_cast<char>('0' + (byte >> 6)), static_cast<char>('0' + ((byte >> 3) & 7)),
            static_cast<char>('0' + (byte & 7)), '\''};
}

}  // namespace text_detail

inline std::string ShownName(std::string_view name) {
    if (std::none_of(name.begin(), name.end(), text_detail::IsControl)) return std::string(name);
    std::string out;
    bool quoted = false;  // within '...'
    const auto close = [&] {
        if (quoted) out += '\'';
        quoted = false;
    };
    for (const char c : name) {
        if (text_detail::IsControl(c)) {
            close();
            out += text_detail::Escaped(c);
        } else if (c == '\'') {
            close();
            out += "\\'";
        } else {
            if (!quoted) out += '\'';
            quoted = true;
            out += c;
        }
    }
    close();
    return out;
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
