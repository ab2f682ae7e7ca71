// Letter case in file names and messages, for ASCII letters only: a file
// name's ending or a message's first word compares the same in any case,
// whatever the locale. And names as messages show them.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

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

}  // namespace sweepwav
