#include "commands/settings_file.h"

#include <algorithm>
#include <charconv>
#include <initializer_list>
#include <optional>
#include <set>
#include <vector>

#include "numbers/number_text.h"

namespace sweepwav {

namespace {

constexpr std::string_view kHeaderSection = "sweepwav";

std::string_view Trim(std::string_view t) {
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t' || t.back() == '\r')) t.remove_suffix(1);
    return t;
}

// Editors on Windows start UTF-8 text with a byte-order mark.
std::string_view WithoutByteOrderMark(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    return text;
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

// Whether the entry's value is kept in double quotes.
bool IsQuoted(const Entry& e) {
    return e.kind == EntryKind::Number || e.kind == EntryKind::Name || e.kind == EntryKind::Channels ||
           e.kind == EntryKind::Frequencies;
}

// Whether a file may leave the entry out (it is then off).
bool IsOptional(const Entry& e) { return e.place == Place::SignalDialog || e.writtenWhenSet; }

const Entry* Find(std::string_view section, std::string_view key) {
    for (const Entry& e : Entries()) {
        if (!e.key.empty() && section == e.section && key == e.key) return &e;
    }
    return nullptr;
}

bool IsSection(std::string_view name) {
    if (name == kHeaderSection) return true;
    for (const Entry& e : Entries()) {
        if (!e.key.empty() && name == e.section) return true;
    }
    return false;
}

// What a value must look like, for the message refusing it.
std::string Expected(const Entry& e, std::string_view v) {
    const std::string key(e.key);
    switch (e.kind) {
        case EntryKind::Tick: return key + " must be yes or no";
        case EntryKind::List: return Join({key, " ", ShownName(v), " is not one of ", ItemNames(e)});
        case EntryKind::OptionNumber:
            return Join({key, " must be a number from ", NumberText(e.low), " to ", NumberText(e.high)});
        case EntryKind::Channels: {
            const auto text = Unquoted(v);
            if (const auto twice = text ? RepeatedChannel(*text) : std::nullopt) {
                return Join({key, " names channel ", std::to_string(*twice), " twice"});
            }
            return key + " must be \"all\", \"each\" or channel numbers such as \"1,3\"";
        }
        case EntryKind::Name:
            if (!Unquoted(v)) return key + " must be a text in double quotes";
            return key + " must be a file name without control characters, \"/\" or \"\\\", and not \"..\"";
        default: return key + " must be a text in double quotes";
    }
}

// The value as the entry keeps it, from its text in the file.
std::optional<std::string> ValueOf(const Entry& e, std::string_view v) {
    if (IsQuoted(e)) {
        const auto text = Unquoted(v);
        return text ? CheckedValue(e, *text, ValueSource::SettingsFile) : std::nullopt;
    }
    if (e.kind == EntryKind::List && e.itemName != ItemName::Name) {
        // A whole number, written as the list names its items.
        const auto number = WholeNumber(v);
        return number ? CheckedValue(e, std::to_string(*number)) : std::nullopt;
    }
    return CheckedValue(e, v);
}

// Reads the file line by line into entries; the first problem ends it.
class Parser {
public:
    explicit Parser(std::optional<RefusedValue>* refused) : refused_(refused) {}

    Result<EntryTexts> parse(std::string_view text) {
        // No text file holds a NUL, wherever it would be.
        if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos) {
            const auto line = std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(nul), '\n') + 1;
            return Status::Failure(Join({"line ", std::to_string(line), " holds a NUL byte: it is a binary file, not ",
                                         "a settings file"}));
        }
        text = WithoutByteOrderMark(text);
        int line = 0;
        while (!text.empty()) {
            const std::size_t end = text.find('\n');
            const std::string_view raw = text.substr(0, end);
            text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
            ++line;
            if (Status read = read_line(line, Trim(raw)); !read) return read;
            if (newer_) break;
        }
        if (!header_ || !formatSeen_) return Status::Failure(kNotSettings);
        if (newer_) {
            return Status::Failure(Join({"it was written in settings format ", format_,
                                         " by a newer sweepwav; this one reads format ",
                                         std::to_string(kSettingsFormat)}));
        }
        for (const Entry& e : Entries()) {
            if (e.key.empty()) continue;
            if (entries_.contains(e.control)) continue;
            if (!IsOptional(e)) return Status::Failure(Join({"it has no ", e.key}));
            entries_[e.control] = std::string(e.startup);
        }
        return entries_;
    }

private:
    Status read_line(int line, std::string_view t) {
        if (t.empty() || t.front() == '#' || t.front() == ';') return {};
        if (t.front() == '[') {
            if (t.back() != ']') return header_ ? Problem(line, "a section name ends with ]") : Status::Failure(kNotSettings);
            section_ = t.substr(1, t.size() - 2);
            if (!header_ && section_ != kHeaderSection) return Status::Failure(kNotSettings);
            header_ = true;
            if (!IsSection(section_)) return Problem(line, Join({"there is no section [", ShownName(section_), "]"}));
            return {};
        }
        if (!header_) return Status::Failure(kNotSettings);
        const std::size_t eq = t.find('=');
        if (eq == std::string_view::npos) return Problem(line, ShownValue(t) + " is not a setting");
        const std::string_view key = Trim(t.substr(0, eq));
        const std::string_view value = Trim(t.substr(eq + 1));
        if (section_ == kHeaderSection && key == "format") return read_format(line, value);
        const Entry* entry = Find(section_, key);
        if (entry == nullptr) {
            return Problem(line, Join({ShownValue(key), " is not a setting of [", ShownName(section_), "]"}));
        }
        if (!seen_.insert(entry->control).second) return Problem(line, std::string(entry->key) + " is given twice");
        auto checked = ValueOf(*entry, value);
        if (!checked) {
            if (refused_ != nullptr) *refused_ = RefusedValue{entry->control, Unquoted(value).value_or(std::string(value))};
            return Problem(line, Expected(*entry, value));
        }
        entries_[entry->control] = std::move(*checked);
        return {};
    }

    Status read_format(int line, std::string_view v) {
        if (formatSeen_) return Problem(line, "format is given twice");
        formatSeen_ = true;
        // Any whole number above this version's is a newer format, however
        // large.
        const bool digits = !v.empty() && v.find_first_not_of("0123456789") == std::string_view::npos;
        const auto format = WholeNumber(v);
        if (!digits || (format && *format < 1)) return Problem(line, "format must be a whole number from 1");
        format_ = std::string(v.substr(std::min(v.find_first_not_of('0'), v.size() - 1)));
        newer_ = !format || *format > kSettingsFormat;
        return {};
    }

    std::optional<RefusedValue>* refused_;
    EntryTexts entries_;
    std::set<Control> seen_;
    std::string_view section_;
    bool header_ = false;
    bool formatSeen_ = false;
    std::string format_;
    bool newer_ = false;
};

std::string OpenFailureText(const std::string& path, const std::string& problem) {
    return Join({"Could not open the settings file ", ShownName(path), ": ", problem, "."});
}

}  // namespace

std::string SettingsText(const EntryTexts& entries) {
    // Entries that only a newer format keeps are written when they are set,
    // and then the file says it is of that format.
    const auto text = [&](const Entry& e) {
        const auto value = entries.find(e.control);
        return value != entries.end() ? value->second : std::string();
    };
    const auto kept = [&](const Entry& e) { return !e.key.empty() && (!e.writtenWhenSet || text(e) != e.startup); };
    bool newer = false;
    for (const Entry& e : Entries()) newer = newer || (e.writtenWhenSet && kept(e));
    std::string out = "# sweepwav settings: a sweep as typed into the window\n";
    out += Join({"[", kHeaderSection, "]\nformat = ", std::to_string(newer ? kSettingsFormat : kFirstSettingsFormat),
                 "\n"});
    std::string_view section = kHeaderSection;
    for (const Entry& e : Entries()) {
        if (!kept(e)) continue;
        if (section != e.section) {
            section = e.section;
            out += Join({"\n[", section, "]\n"});
        }
        out += Join({e.key, " = ", IsQuoted(e) ? Quoted(text(e)) : text(e), "\n"});
    }
    return out;
}

Result<EntryTexts> ParseSettings(std::string_view text, std::optional<RefusedValue>* refused) {
    return Parser(refused).parse(text);
}

EntryTexts StartupEntries() {
    EntryTexts entries;
    for (const Entry& e : Entries()) {
        if (!e.key.empty()) entries[e.control] = std::string(e.startup);
    }
    return entries;
}

void ResetToStartup(GeneratorState& s, WindowOps& w) { FillEntries(w, s, StartupEntries()); }

std::string SettingsDescription(std::string_view text) {
    text = WithoutByteOrderMark(text);
    const std::string_view first = Trim(text.substr(0, text.find('\n')));
    if (!first.starts_with('#')) return {};
    return std::string(Trim(first.substr(1)));
}

bool OpenSettingsFile(GeneratorState& s, WindowOps& w, Services& sv, const std::string& path,
                      std::optional<RefusedValue>* refused) {
    const Result<std::string> text = sv.read_text_file(path);
    Result<EntryTexts> entries = text ? ParseSettings(text.value(), refused) : Result<EntryTexts>(text.status());
    if (!entries) {
        w.message_box(OpenFailureText(path, entries.reason()), s.sAppTitle, Icon::Exclamation);
        return false;
    }
    FillEntries(w, s, entries.value());
    return true;
}

bool SaveSettingsFile(GeneratorState& s, WindowOps& w, Services& sv, const std::string& path) {
    const Status written = sv.write_text_file(path, SettingsText(ReadEntries(w, s)));
    if (!written) {
        w.message_box(FileWriteFailureText(path, written), s.sAppTitle, Icon::Exclamation);
        return false;
    }
    if (!written.warning().empty()) w.message_box(written.warning(), s.sAppTitle, Icon::Exclamation);
    return true;
}

}  // namespace sweepwav
