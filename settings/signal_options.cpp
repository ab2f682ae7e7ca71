#include "settings/signal_options.h"

#include <charconv>

#include "numbers/number_text.h"

namespace sweepwav {

std::optional<ChannelChoice> ParseChannelChoice(std::string_view text) {
    if (text == "all") return ChannelChoice{};
    if (text == "each") return ChannelChoice{{}, true};
    ChannelChoice choice;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        int channel = 0;
        const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), channel);
        if (item.empty() || error != std::errc() || end != item.data() + item.size() || channel < 1 || channel > 8) {
            return std::nullopt;
        }
        choice.channels.push_back(channel);
        if (comma == std::string_view::npos) return choice;
        text.remove_prefix(comma + 1);
    }
}

std::string ChannelChoiceText(const GeneratorState& s) {
    if (s.bEachChannel) return "each";
    if (s.iSignalChannels.empty()) return "all";
    std::string text;
    for (int c : s.iSignalChannels) {
        if (!text.empty()) text += ',';
        text += std::to_string(c);
    }
    return text;
}

std::optional<double> ParseOptionMs(const std::string& text, double longest) {
    const auto value = ParseNumber(text);
    if (!value || !(*value >= 0 && *value <= longest)) return std::nullopt;
    return *value;
}

}  // namespace sweepwav
