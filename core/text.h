// Letter case in file names and messages, for ASCII letters only: a file
// name's ending or a message's first word compares the same in any case,
// whatever the locale.
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

}  // namespace sweepwav
