#include "settings/entry_values.h"

#include <charconv>

#include "core/text.h"
#include "numbers/number_text.h"

namespace sweepwav {

namespace {

// A length in ms within the entry's range.
std::optional<double> Length(const Entry& e, std::string_view text) {
    const auto value = ParseNumber(std::string(text));
    if (!value || !(*value >= e.low && *value <= e.high)) return std::nullopt;
    return *value;
}

std::string Tick(bool ticked) { return ticked ? "yes" : "no"; }

std::string ReadEntry(const Entry& e, WindowOps& w, const GeneratorState& s) {
    switch (e.kind) {
        case EntryKind::Number:
        case EntryKind::Name: return w.text(e.control);
        case EntryKind::Tick: return Tick(e.place == Place::Form ? w.checked(e.control) : s.*e.flag);
        case EntryKind::List: {
            if (e.place != Place::Form) return s.*e.words;
            const int selected = w.selected_index(e.control);
            if (selected < 0) return {};
            return ItemNameAt(e, static_cast<std::size_t>(selected));
        }
        case EntryKind::Frequencies: return s.*e.words;
        case EntryKind::OptionNumber: return NumberText(OptionValue(s.signal, e));
        case EntryKind::Channels: return ChannelChoiceText(s.signal.channels);
        case EntryKind::Button: break;
    }
    return {};
}

void FillEntry(const Entry& e, const std::string& text, WindowOps& w, GeneratorState& s) {
    switch (e.kind) {
        case EntryKind::Number:
        case EntryKind::Name: w.set_text(e.control, text); break;
        case EntryKind::Tick:
            if (e.place == Place::Form) {
                w.set_checked(e.control, text == "yes");
            } else {
                s.*e.flag = text == "yes";
            }
            break;
        // The window's lists hold the catalogue's items in its order.
        case EntryKind::List:
            if (e.place == Place::Form) {
                w.select_index(e.control, ItemPosition(e, text).value_or(-1));
            } else {
                s.*e.words = text;
            }
            break;
        case EntryKind::Frequencies: s.*e.words = text; break;
        case EntryKind::OptionNumber: OptionValue(s.signal, e) = Length(e, text).value_or(0); break;
        case EntryKind::Channels: s.signal.channels = ParseChannelChoice(text).value_or(ChannelChoice{}); break;
        case EntryKind::Button: break;
    }
}

}  // namespace

EntryTexts ReadEntries(WindowOps& w, const GeneratorState& s) {
    EntryTexts values;
    for (const Entry& e : Entries()) {
        if (!e.key.empty()) values[e.control] = ReadEntry(e, w, s);
    }
    return values;
}

void FillEntries(WindowOps& w, GeneratorState& s, const EntryTexts& values) {
    for (const auto& [control, text] : values) FillEntry(EntryOf(control), text, w, s);
}

bool PlainFileName(std::string_view name) {
    // ".." within a name ("my.sweep..wav") names nothing but a file.
    return !HasControlCharacter(name) && name.find_first_of("/\\") == std::string_view::npos && name != "..";
}

std::optional<std::string> CheckedValue(const Entry& e, std::string_view text, ValueSource source) {
    switch (e.kind) {
        // Texts are taken as typed and checked when a command plans; but a
        // file name from a settings file must be a plain name.
        case EntryKind::Number:
        case EntryKind::Frequencies: return std::string(text);
        case EntryKind::Name:
            if (source == ValueSource::Typed || PlainFileName(text)) return std::string(text);
            break;
        case EntryKind::Tick:
            if (text == "yes" || text == "no") return std::string(text);
            break;
        case EntryKind::List:
            if (ItemPosition(e, text)) return std::string(text);
            break;
        case EntryKind::OptionNumber:
            if (Length(e, text)) return std::string(text);
            break;
        case EntryKind::Channels:
            if (ParseChannelChoice(text)) return std::string(text);
            break;
        case EntryKind::Button: break;
    }
    return std::nullopt;
}

namespace {

std::string_view TrimBlanks(std::string_view t) {
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
    return t;
}

// The channels of a list, in the order given, each once or not; empty when
// an item is not a channel number.
std::optional<std::vector<int>> ChannelList(std::string_view text) {
    std::vector<int> channels;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view item = TrimBlanks(text.substr(0, comma));
        int channel = 0;
        const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), channel);
        if (item.empty() || error != std::errc() || end != item.data() + item.size() || channel < 1 || channel > 8) {
            return std::nullopt;
        }
        channels.push_back(channel);
        if (comma == std::string_view::npos) return channels;
        text.remove_prefix(comma + 1);
    }
}

}  // namespace

std::optional<ChannelChoice> ParseChannelChoice(std::string_view text) {
    text = TrimBlanks(text);
    if (text == "all") return ChannelChoice{};
    if (text == "each") return ChannelChoice{{}, true};
    auto channels = ChannelList(text);
    if (!channels || RepeatedChannel(text)) return std::nullopt;
    return ChannelChoice{std::move(*channels), false};
}

std::optional<int> RepeatedChannel(std::string_view text) {
    const auto channels = ChannelList(TrimBlanks(text));
    if (!channels) return std::nullopt;
    for (std::size_t i = 0; i < channels->size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if ((*channels)[j] == (*channels)[i]) return (*channels)[i];
        }
    }
    return std::nullopt;
}

std::string ChannelChoiceText(const ChannelChoice& choice) {
    if (choice.each) return "each";
    if (choice.channels.empty()) return "all";
    std::string text;
    for (int c : choice.channels) {
        if (!text.empty()) text += ',';
        text += std::to_string(c);
    }
    return text;
}

}  // namespace sweepwav
