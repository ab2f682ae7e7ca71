#include "platform/wine_registry.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "core/text.h"

namespace sweepwav {

namespace {

constexpr std::string_view kHeader = "WINE REGISTRY Version 2";

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
int HexValue(char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; }

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Collects UTF-16 code units as UTF-8, pairing surrogates; a lone one
// becomes U+FFFD.
class Utf16ToUtf8 {
public:
    void unit(char32_t u) {
        if (u >= 0xDC00 && u <= 0xDFFF && high_) {
            AppendUtf8(text_, 0x10000 + ((high_ - 0xD800) << 10) + (u - 0xDC00));
            high_ = 0;
            return;
        }
        flush();
        if (u >= 0xD800 && u <= 0xDBFF) {
            high_ = u;
        } else {
            AppendUtf8(text_, u >= 0xDC00 && u <= 0xDFFF ? 0xFFFD : u);
        }
    }
    // Bytes outside the escapes are taken as they are (UTF-8 in a file
    // edited by hand; Wine itself writes only ASCII).
    void byte(char c) {
        flush();
        text_ += c;
    }
    std::string done() {
        flush();
        return std::move(text_);
    }

private:
    void flush() {
        if (high_) AppendUtf8(text_, 0xFFFD);
        high_ = 0;
    }
    std::string text_;
    char32_t high_ = 0;
};

// Decodes a string as Wine writes it, from pos up to the end character, and
// leaves pos after that character: \a \b \e \f \n \r \t \v, \x with up to
// four hex digits and \ with up to three octal digits give one UTF-16 unit;
// a backslash before any other character stands for that character. Nothing
// when the line ends first.
std::optional<std::string> Unescape(std::string_view line, std::size_t& pos, char end) {
    static constexpr std::string_view kLetters = "abefnrtv";
    static constexpr char kCodes[] = {'\a', '\b', '\x1b', '\f', '\n', '\r', '\t', '\v'};
    Utf16ToUtf8 text;
    while (pos < line.size() && line[pos] != end) {
        if (line[pos] != '\\') {
            text.byte(line[pos++]);
            continue;
        }
        if (++pos == line.size()) return std::nullopt;
        const char c = line[pos];
        if (const auto letter = kLetters.find(c); letter != std::string_view::npos) {
            text.unit(static_cast<unsigned char>(kCodes[letter]));
            ++pos;
        } else if (c == 'x' && pos + 1 < line.size() && IsHex(line[pos + 1])) {
            char32_t unit = 0;
            for (int digits = 0; digits < 4 && pos + 1 < line.size() && IsHex(line[pos + 1]); ++digits) {
                unit = unit * 16 + static_cast<char32_t>(HexValue(line[++pos]));
            }
            text.unit(unit);
            ++pos;
        } else if (c >= '0' && c <= '7') {
            char32_t unit = 0;
            for (int digits = 0; digits < 3 && pos < line.size() && line[pos] >= '0' && line[pos] <= '7'; ++digits) {
                unit = unit * 8 + static_cast<char32_t>(line[pos++] - '0');
            }
            text.unit(unit);
        } else {
            text.byte(line[pos++]);
        }
    }
    if (pos == line.size()) return std::nullopt;
    ++pos;
    return text.done();
}

// The file's lines without CR, a line ending in a backslash joined with
// the next one (Wine splits long data so).
std::vector<std::string> Lines(std::string_view content) {
    std::vector<std::string> lines;
    bool continued = false;
    while (!content.empty()) {
        const auto end = content.find('\n');
        std::string_view line = content.substr(0, end);
        content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (continued) {
            line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
            lines.back() += line;
        } else {
            lines.emplace_back(line);
        }
        continued = !lines.back().empty() && lines.back().back() == '\\';
        if (continued) lines.back().pop_back();
    }
    return lines;
}

bool SameName(std::string_view a, std::string_view b) { return AsciiLower(a) == AsciiLower(b); }

Status NotRegistry() { return Status::Failure(FailureKind::Missing, "Invalid registry file: it is not one Wine wrote"); }

// One value line of the wanted key ("name"=data, or @=data for the unnamed
// value): whether it is the value, and then its text or why not.
std::optional<Result<std::string>> ValueOf(std::string_view line, std::string_view value) {
    std::size_t pos = 1;
    std::optional<std::string> name;
    if (line[0] == '@') {
        name = "";
    } else {
        name = Unescape(line, pos, '"');
        if (!name) return NotRegistry();
    }
    if (pos >= line.size() || line[pos] != '=') return NotRegistry();
    if (!SameName(*name, value)) return std::nullopt;
    std::string_view data = line.substr(pos + 1);
    // str(1): is plain text, str(2): expandable text; both are text.
    for (std::string_view kind : {"str(1):", "str(2):"}) {
        if (data.starts_with(kind)) data.remove_prefix(kind.size());
    }
    if (!data.starts_with('"')) {
        if (data.starts_with("dword:") || data.starts_with("hex") || data.starts_with("str(")) {
            return Status::Failure(FailureKind::Unusable, "Type mismatch: the value \"" + std::string(value) + "\" is not text");
        }
        return NotRegistry();
    }
    std::size_t start = 1;
    std::optional<std::string> text = Unescape(data, start, '"');
    if (!text) return NotRegistry();
    return Result<std::string>(std::move(*text));
}

}  // namespace

Result<std::string> FindUserRegistryText(std::string_view content, std::string_view key, std::string_view value) {
    const std::vector<std::string> lines = Lines(content);
    if (lines.empty() || lines[0] != kHeader) return NotRegistry();
    bool inKey = false;
    std::optional<Result<std::string>> found;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
        if (line.starts_with('[')) {
            std::size_t pos = 1;
            const std::optional<std::string> name = Unescape(line, pos, ']');
            if (!name) return NotRegistry();
            inKey = SameName(*name, key);
        } else if (inKey && (line.starts_with('"') || line.starts_with('@'))) {
            // A key written twice: the later value holds, as when Wine loads it.
            if (auto result = ValueOf(line, value)) found = std::move(result);
        }
    }
    if (!found) {
        return Status::Failure(FailureKind::Missing, "Invalid root in registry key \"" + std::string(key) + "\": no value \"" +
                               std::string(value) + "\"");
    }
    return std::move(*found);
}

Result<std::string> LinuxPathInPrefix(const std::string& prefix, std::string_view windowsPath) {
    namespace fs = std::filesystem;
    const bool hasDrive = windowsPath.size() >= 2 && windowsPath[1] == ':' &&
                          ((windowsPath[0] | 0x20) >= 'a' && (windowsPath[0] | 0x20) <= 'z');
    if (!hasDrive) return Status::Failure(FailureKind::Missing, "Invalid path \"" + std::string(windowsPath) + "\": no drive letter");
    const std::string drive{static_cast<char>(windowsPath[0] | 0x20), ':'};
    const fs::path devices = fs::path(prefix) / "dosdevices";
    std::error_code error;
    const fs::path target = fs::read_symlink(devices / drive, error);
    if (error) return Status::Failure(FailureKind::Missing, "Invalid drive " + drive + ": no link in " + devices.string());
    std::string base = (target.is_absolute() ? target : (devices / target).lexically_normal()).string();
    while (!base.empty() && base.back() == '/') base.pop_back();

    std::string rest(windowsPath.substr(2));
    for (char& c : rest) {
        if (c == '\\') c = '/';
    }
    if (!rest.empty() && rest.front() != '/') rest.insert(0, 1, '/');
    const std::string path = base + rest;
    return path.empty() ? std::string("/") : path;
}

std::optional<Result<std::string>> ReadWineSetting(const std::string& prefix, std::string_view fullPath) {
    // "HKCU\<key>\<value>"
    const auto first = fullPath.find('\\');
    const auto last = fullPath.rfind('\\');
    if (prefix.empty() || first == std::string_view::npos || last == first || fullPath.substr(0, first) != "HKCU") {
        return std::nullopt;
    }
    std::ifstream in(prefix + "/user.reg", std::ios::binary);
    if (!in) return std::nullopt;
    const std::string content(std::istreambuf_iterator<char>(in), {});
    Result<std::string> text =
        FindUserRegistryText(content, fullPath.substr(first + 1, last - first - 1), fullPath.substr(last + 1));
    if (!text && text.kind() == FailureKind::Missing) return std::nullopt;
    if (!text) return text;
    Result<std::string> path = LinuxPathInPrefix(prefix, text.value());
    if (!path) return std::nullopt;
    return path;
}

std::string WinePrefix() {
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix) return prefix;
    if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.wine";
    return {};
}

}  // namespace sweepwav
