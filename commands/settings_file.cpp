#include "commands/settings_file.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <initializer_list>
#include <optional>
#include <span>
#include <vector>

#include "commands/form_items.h"
#include "numbers/number_text.h"

namespace sweepwav {

namespace {

enum class Kind { Format, Text, Tick, Rate, Bits, Channels, ShiftMode, SilenceMs, RampMs, SignalChannels };

struct Setting {
    const char* section;
    const char* key;
    Kind kind;
    Control control;  // the box or list the setting belongs to (Abort: none); for the
                      // silences, which of them (StartFreq lead-in, EndFreq gap, StartLevel tail)
};

// Every setting of format 1, in the order they are written.
constexpr Setting kSettings[] = {
    {"sweepwav", "format", Kind::Format, Control::Abort},
    {"sweep", "start_freq", Kind::Text, Control::StartFreq},
    {"sweep", "end_freq", Kind::Text, Control::EndFreq},
    {"sweep", "start_level", Kind::Text, Control::StartLevel},
    {"sweep", "end_level", Kind::Text, Control::EndLevel},
    {"sweep", "steps", Kind::Text, Control::Steps},
    {"sweep", "log_steps", Kind::Tick, Control::Logsteps},
    {"sweep", "tone_ms", Kind::Text, Control::ToneTime},
    {"sweep", "tone_cycles", Kind::Text, Control::ToneCycles},
    {"sweep", "shift_mode", Kind::ShiftMode, Control::Shiftmode},
    {"file", "rate", Kind::Rate, Control::Samplerate},
    {"file", "bits", Kind::Bits, Control::Wordlength},
    {"file", "channels", Kind::Channels, Control::Channels},
    {"file", "dither", Kind::Tick, Control::Dither1},
    {"file", "markers", Kind::Tick, Control::Abort},
    {"file", "name", Kind::Text, Control::FileName},
    {"signal", "lead_in_ms", Kind::SilenceMs, Control::StartFreq},
    {"signal", "gap_ms", Kind::SilenceMs, Control::EndFreq},
    {"signal", "tail_ms", Kind::SilenceMs, Control::StartLevel},
    {"signal", "ramp_ms", Kind::RampMs, Control::Abort},
    {"signal", "channels", Kind::SignalChannels, Control::Abort},
};

// The settings from here on may be left out (they are then off).
constexpr std::size_t kFirstOptional = 16;

constexpr std::size_t kSettingCount = std::size(kSettings);

std::string_view Trim(std::string_view t) {
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t' || t.back() == '\r')) t.remove_suffix(1);
    return t;
}

std::string Quoted(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (byte < 0x20 || byte == 0x7F) {
                    out += "\\x";
                    out += kHex[byte >> 4];
                    out += kHex[byte & 0x0F];
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The text of a quoted value, or nothing when it is not one.
std::optional<std::string> Unquoted(std::string_view v) {
    if (v.size() < 2 || v.front() != '"' || v.back() != '"') return std::nullopt;
    const std::string_view body = v.substr(1, v.size() - 2);
    std::string out;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '"') return std::nullopt;  // a quote before the end
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == body.size()) return std::nullopt;  // the closing quote is escaped
        switch (body[i]) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'x': {
                if (i + 2 >= body.size()) return std::nullopt;
                const int high = HexDigit(body[i + 1]), low = HexDigit(body[i + 2]);
                if (high < 0 || low < 0) return std::nullopt;
                out += static_cast<char>(high * 16 + low);
                i += 2;
                break;
            }
            default: return std::nullopt;
        }
    }
    return out;
}

std::optional<std::int32_t> WholeNumber(std::string_view v) {
    std::int32_t n = 0;
    const auto [end, error] = std::from_chars(v.data(), v.data() + v.size(), n);
    if (v.empty() || error != std::errc() || end != v.data() + v.size()) return std::nullopt;
    return n;
}

// "a, b, c or d"
template <typename Range>
std::string Choices(const Range& values) {
    std::string out;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) out += i + 1 == values.size() ? " or " : ", ";
        out += std::to_string(values[i]);
    }
    return out;
}

template <std::size_t N>
std::vector<std::int32_t> ValuesOf(const std::array<ListItem, N>& items) {
    std::vector<std::int32_t> values;
    for (const ListItem& item : items) values.push_back(item.value);
    return values;
}

std::vector<std::int32_t> Range(std::int32_t first, std::int32_t last) {
    std::vector<std::int32_t> values;
    for (std::int32_t v = first; v <= last; ++v) values.push_back(v);
    return values;
}

// The values a list setting may take.
std::vector<std::int32_t> Allowed(Kind kind) {
    switch (kind) {
        case Kind::Rate: return ValuesOf(kSampleRateItems);
        case Kind::Bits: return ValuesOf(kWordLengthItems);
        case Kind::Channels: return Range(1, static_cast<std::int32_t>(kChannelItems.size()));
        default: return Range(0, static_cast<std::int32_t>(kShiftModeItems.size()) - 1);
    }
}

template <typename Entries>
auto& ListField(Entries& e, Kind kind) {
    switch (kind) {
        case Kind::Rate: return e.rate;
        case Kind::Bits: return e.bits;
        case Kind::Channels: return e.channels;
        default: return e.shiftMode;
    }
}

template <typename Entries>
auto& MsField(Entries& e, const Setting& setting) {
    if (setting.kind == Kind::RampMs) return e.rampMs;
    if (setting.control == Control::StartFreq) return e.leadInMs;
    if (setting.control == Control::EndFreq) return e.gapMs;
    return e.tailMs;
}

template <typename Entries>
auto& TickField(Entries& e, Control c) {
    if (c == Control::Logsteps) return e.logSteps;
    if (c == Control::Dither1) return e.dither;
    return e.markers;
}

const Setting* Find(std::string_view section, std::string_view key) {
    for (const Setting& s : kSettings) {
        if (section == s.section && key == s.key) return &s;
    }
    return nullptr;
}

// Joins pieces of text (GCC 12 warns wrongly about "literal" + std::string).
std::string Join(std::initializer_list<std::string_view> pieces) {
    std::string out;
    for (std::string_view p : pieces) out.append(p);
    return out;
}

Status Problem(int line, const std::string& what) {
    return Status::Failure(Join({"line ", std::to_string(line), ": ", what}));
}

const std::string kNotSettings = "it is not a sweepwav settings file";

// Reads the file line by line into entries; the first problem ends it.
class Parser {
public:
    Result<FormEntries> parse(std::string_view text) {
        int line = 0;
        while (!text.empty()) {
            const std::size_t end = text.find('\n');
            const std::string_view raw = text.substr(0, end);
            text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
            ++line;
            if (Status read = read_line(line, Trim(raw)); !read) return read;
            if (newer_) break;
        }
        if (!header_ || !seen_[0]) return Status::Failure(kNotSettings);
        if (newer_) {
            return Status::Failure(Join({"it was written in settings format ", std::to_string(format_),
                                         " by a newer sweepwav; this one reads format ",
                                         std::to_string(kSettingsFormat)}));
        }
        for (std::size_t i = 0; i < kFirstOptional; ++i) {
            if (!seen_[i]) return Status::Failure(Join({"it has no ", kSettings[i].key}));
        }
        return entries_;
    }

private:
    Status read_line(int line, std::string_view t) {
        if (t.empty() || t.front() == '#' || t.front() == ';') return {};
        if (t.front() == '[') {
            if (t.back() != ']') return header_ ? Problem(line, "a section name ends with ]") : Status::Failure(kNotSettings);
            section_ = t.substr(1, t.size() - 2);
            if (!header_ && section_ != "sweepwav") return Status::Failure(kNotSettings);
            header_ = true;
            if (section_ != "sweepwav" && section_ != "sweep" && section_ != "file" && section_ != "signal") {
                return Problem(line, Join({"there is no section [", section_, "]"}));
            }
            return {};
        }
        if (!header_) return Status::Failure(kNotSettings);
        const std::size_t eq = t.find('=');
        if (eq == std::string_view::npos) return Problem(line, Join({"\"", t, "\" is not a setting"}));
        const std::string_view key = Trim(t.substr(0, eq));
        const Setting* setting = Find(section_, key);
        if (setting == nullptr) {
            return Problem(line, Join({"\"", key, "\" is not a setting of [", section_, "]"}));
        }
        const auto index = static_cast<std::size_t>(setting - kSettings);
        if (seen_[index]) return Problem(line, std::string(setting->key) + " is given twice");
        seen_[index] = true;
        return read_value(line, *setting, Trim(t.substr(eq + 1)));
    }

    Status read_value(int line, const Setting& setting, std::string_view v) {
        const std::string key = setting.key;
        switch (setting.kind) {
            case Kind::Format: {
                const auto format = WholeNumber(v);
                if (!format || *format < 1) return Problem(line, "format must be a whole number from 1");
                format_ = *format;
                newer_ = format_ > kSettingsFormat;
                return {};
            }
            case Kind::Text: {
                auto text = Unquoted(v);
                if (!text) return Problem(line, key + " must be a text in double quotes");
                entries_.texts[setting.control] = std::move(*text);
                return {};
            }
            case Kind::Tick:
                if (v != "yes" && v != "no") return Problem(line, key + " must be yes or no");
                TickField(entries_, setting.control) = v == "yes";
                return {};
            case Kind::SilenceMs:
            case Kind::RampMs: {
                const bool ramp = setting.kind == Kind::RampMs;
                const auto ms = ParseOptionMs(std::string(v), ramp ? kLongestRampMs : kLongestSilenceMs);
                if (!ms) return Problem(line, Join({key, " must be a number from 0 to ", ramp ? "1000" : "60000"}));
                MsField(entries_, setting) = *ms;
                return {};
            }
            case Kind::SignalChannels: {
                const auto text = Unquoted(v);
                const auto choice = text ? ParseChannelChoice(*text) : std::nullopt;
                if (!choice) {
                    return Problem(line, Join({key, " must be \"all\", \"each\" or channel numbers such as \"1,3\""}));
                }
                entries_.signalChannels = *choice;
                return {};
            }
            default: {
                const std::vector<std::int32_t> allowed = Allowed(setting.kind);
                const auto value = WholeNumber(v);
                if (!value || std::find(allowed.begin(), allowed.end(), *value) == allowed.end()) {
                    return Problem(line, Join({key, " ", v, " is not one of ", Choices(allowed)}));
                }
                ListField(entries_, setting.kind) = *value;
                return {};
            }
        }
    }

    FormEntries entries_;
    std::array<bool, kSettingCount> seen_{};
    std::string_view section_;
    bool header_ = false;
    int format_ = 0;
    bool newer_ = false;
};

// The position of the list item that carries the value.
int PositionOf(WindowOps& w, Control list, std::int32_t value) {
    for (int i = 0; i < w.item_count(list); ++i) {
        if (w.item_value(list, i) == value) return i;
    }
    return -1;
}

std::string OpenFailureText(const std::string& path, const std::string& problem) {
    return Join({"Could not open the settings file ", path, ": ", problem, "."});
}

}  // namespace

FormEntries ReadForm(WindowOps& w, const GeneratorState& s) {
    FormEntries e;
    for (const Setting& setting : kSettings) {
        if (setting.kind == Kind::Text) e.texts[setting.control] = w.text(setting.control);
    }
    e.logSteps = w.checked(Control::Logsteps);
    e.dither = w.checked(Control::Dither1);
    e.markers = s.bMarkers;
    e.rate = w.item_value(Control::Samplerate, w.selected_index(Control::Samplerate));
    e.bits = w.item_value(Control::Wordlength, w.selected_index(Control::Wordlength));
    e.channels = w.selected_index(Control::Channels) + 1;
    e.shiftMode = w.selected_index(Control::Shiftmode);
    e.leadInMs = s.dLeadInMs;
    e.tailMs = s.dTailMs;
    e.gapMs = s.dGapMs;
    e.rampMs = s.dRampMs;
    e.signalChannels = {s.iSignalChannels, s.bEachChannel};
    return e;
}

void FillForm(WindowOps& w, GeneratorState& s, const FormEntries& e) {
    for (const auto& [box, text] : e.texts) w.set_text(box, text);
    w.set_checked(Control::Logsteps, e.logSteps);
    w.set_checked(Control::Dither1, e.dither);
    s.bMarkers = e.markers;
    w.select_index(Control::Samplerate, PositionOf(w, Control::Samplerate, e.rate));
    w.select_index(Control::Wordlength, PositionOf(w, Control::Wordlength, e.bits));
    w.select_index(Control::Channels, e.channels - 1);
    w.select_index(Control::Shiftmode, e.shiftMode);
    s.dLeadInMs = e.leadInMs;
    s.dTailMs = e.tailMs;
    s.dGapMs = e.gapMs;
    s.dRampMs = e.rampMs;
    s.iSignalChannels = e.signalChannels.channels;
    s.bEachChannel = e.signalChannels.each;
}

std::string SettingsText(const FormEntries& e) {
    std::string out = "# sweepwav settings: a sweep as typed into the window\n";
    std::string_view section;
    for (const Setting& setting : kSettings) {
        if (section != setting.section) {
            if (!section.empty()) out += '\n';
            section = setting.section;
            out += Join({"[", section, "]\n"});
        }
        out += Join({setting.key, " = "});
        switch (setting.kind) {
            case Kind::Format: out += std::to_string(kSettingsFormat); break;
            case Kind::Text: out += Quoted(e.texts.count(setting.control) ? e.texts.at(setting.control) : ""); break;
            case Kind::Tick: out += TickField(e, setting.control) ? "yes" : "no"; break;
            case Kind::SilenceMs:
            case Kind::RampMs: out += NumberText(MsField(e, setting)); break;
            case Kind::SignalChannels: {
                GeneratorState choice;
                choice.iSignalChannels = e.signalChannels.channels;
                choice.bEachChannel = e.signalChannels.each;
                out += Quoted(ChannelChoiceText(choice));
                break;
            }
            default: out += std::to_string(ListField(e, setting.kind));
        }
        out += '\n';
    }
    return out;
}

Result<FormEntries> ParseSettings(std::string_view text) { return Parser().parse(text); }

bool OpenSettingsFile(GeneratorState& s, WindowOps& w, Services& sv, const std::string& path) {
    const Result<std::string> text = sv.read_text_file(path);
    Result<FormEntries> entries = text ? ParseSettings(text.value()) : Result<FormEntries>(text.status());
    if (!entries) {
        w.message_box(OpenFailureText(path, entries.reason()), s.sAppTitle, Icon::Exclamation);
        return false;
    }
    FillForm(w, s, entries.value());
    return true;
}

bool SaveSettingsFile(GeneratorState& s, WindowOps& w, Services& sv, const std::string& path) {
    const Status written = sv.write_text_file(path, SettingsText(ReadForm(w, s)));
    if (!written) {
        w.message_box(WriteFailureText(FileDestination(path), written.reason()), s.sAppTitle, Icon::Exclamation);
        return false;
    }
    if (!written.warning().empty()) w.message_box(written.warning(), s.sAppTitle, Icon::Exclamation);
    return true;
}

}  // namespace sweepwav
