// Letter case in file names and messages, for ASCII letters only: a file
// name's ending or a message's first word compares the same in any case,
// whatever the locale. And the characters no file name should hold.
#pragma once

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

}  // namespace sweepwav
