// The items of the window's four lists, in their positions, with the value
// each item carries.
#pragma once

#include <array>
#include <cstdint>

namespace sweepwav {

struct ListItem {
    const char* text;
    std::int32_t value;  // 0 for items that carry no value
};

// Item value: the rate in Hz.
inline constexpr std::array<ListItem, 5> kSampleRateItems = {{
    {"32kHz", 32000}, {"44.1kHz", 44100}, {"48kHz", 48000}, {"96kHz", 96000}, {"192kHz", 192000},
}};

// Item value: the word length in bits.
inline constexpr std::array<ListItem, 5> kWordLengthItems = {{
    {"16 bit", 16}, {"18 bit", 18}, {"20 bit", 20}, {"22 bit", 22}, {"24 bit", 24},
}};

// The channel count is the position + 1.
inline constexpr std::array<ListItem, 8> kChannelItems = {{
    {"mono", 0}, {"stereo", 0}, {"3 ch", 0}, {"4 ch", 0},
    {"5 ch", 0}, {"6 ch", 0}, {"7 ch", 0}, {"8 ch", 0},
}};

// The shift mode is the position.
inline constexpr std::array<ListItem, 3> kShiftModeItems = {{
    {"use frequency and time as entered", 0},
    {"shift frequency to fit time", 0},
    {"shift time to fit frequency", 0},
}};

}  // namespace sweepwav
