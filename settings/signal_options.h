// The signal options as text: how long the silences and ramps may be, and
// the channels that carry the signal written as "all", "each" or a list.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/generator_state.h"

namespace sweepwav {

// The longest lead-in, tail or gap, and the longest ramp, in ms.
inline constexpr double kLongestSilenceMs = 60000;
inline constexpr double kLongestRampMs = 1000;

// Which channels carry the signal: all of them (no list, not each), a list
// (1-based, as typed), or each in turn.
struct ChannelChoice {
    std::vector<int> channels;
    bool each = false;
};

// "all", "each", or channel numbers from 1 to 8 separated by commas ("1,3");
// empty when the text is none of these.
std::optional<ChannelChoice> ParseChannelChoice(std::string_view text);

// The state's choice as ParseChannelChoice reads it.
std::string ChannelChoiceText(const GeneratorState& s);

// A length in ms from 0 to longest, written as the number boxes take them;
// empty otherwise.
std::optional<double> ParseOptionMs(const std::string& text, double longest);

}  // namespace sweepwav
