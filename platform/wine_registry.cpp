#include "platform/wine_registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <exception>
#include <filesystem>
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

// The file's lines one at a time, without CR, a line ending in a
// backslash joined with the next one (Wine splits long data so). One line
// at a time: a file of a million empty lines costs no more than its size.
class LineReader {
public:
    explicit LineReader(std::string_view content) : rest_(content) {}

    std::optional<std::string> next() {
        if (rest_.empty()) return std::nullopt;
        std::string line;
        for (bool first = true, continued = true; continued && !rest_.empty(); first = false) {
            const auto end = rest_.find('\n');
            std::string_view part = rest_.substr(0, end);
            rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
            if (!part.empty() && part.back() == '\r') part.remove_suffix(1);
            if (!first) part.remove_prefix(std::min(part.find_first_not_of(" \t"), part.size()));
            line += part;
            continued = !line.empty() && line.back() == '\\';
            if (continued) line.pop_back();
        }
        return line;
    }

private:
    std::string_view rest_;
};

// The text of a REG_SZ value that Wine wrote as bytes ("43,00,3a,00"):
// UTF-16 as Windows reads it, less one final NUL. Nothing when it is not
// text: an odd number of bytes, or a NUL before the end.
std::optional<std::string> HexText(std::string_view data) {
    std::vector<unsigned> bytes;
    while (!data.empty()) {
        const auto comma = data.find(',');
        const std::string_view item = data.substr(0, comma);
        if (item.size() != 2 || !IsHex(item[0]) || !IsHex(item[1])) return std::nullopt;
        bytes.push_back(static_cast<unsigned>(HexValue(item[0]) * 16 + HexValue(item[1])));
        data.remove_prefix(comma == std::string_view::npos ? data.size() : comma + 1);
    }
    if (bytes.size() % 2 != 0) return std::nullopt;
    std::vector<char32_t> units;
    for (std::size_t i = 0; i < bytes.size(); i += 2) units.push_back(bytes[i] | bytes[i + 1] << 8);
    if (!units.empty() && units.back() == 0) units.pop_back();
    Utf16ToUtf8 text;
    for (char32_t unit : units) {
        if (unit == 0) return std::nullopt;
        text.unit(unit);
    }
    return text.done();
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
    const Status notText =
        Status::Failure(FailureKind::Unusable, "Type mismatch: the value \"" + std::string(value) + "\" is not text");
    // Text that Wine could not write as a string (not ending in a NUL, or of
    // an odd length) it writes as hex(1): (plain) or hex(2): (expandable).
    for (std::string_view kind : {"hex(1):", "hex(2):"}) {
        if (!data.starts_with(kind)) continue;
        std::optional<std::string> text = HexText(data.substr(kind.size()));
        return text ? Result<std::string>(std::move(*text)) : Result<std::string>(notText);
    }
    // str(1): is plain text, str(2): expandable text; both are text.
    for (std::string_view kind : {"str(1):", "str(2):"}) {
        if (data.starts_with(kind)) data.remove_prefix(kind.size());
    }
    if (!data.starts_with('"')) {
        if (data.starts_with("dword:") || data.starts_with("hex") || data.starts_with("str(")) return notText;
        return NotRegistry();
    }
    std::size_t start = 1;
    std::optional<std::string> text = Unescape(data, start, '"');
    if (!text) return NotRegistry();
    // Wine writes the text without its final NUL: a NUL in it is not text.
    if (text->find('\0') != std::string::npos) return notText;
    return Result<std::string>(std::move(*text));
}

}  // namespace

Result<std::string> FindUserRegistryText(std::string_view content, std::string_view key, std::string_view value) {
    LineReader lines(content);
    if (lines.next() != kHeader) return NotRegistry();
    bool inKey = false;
    std::optional<Result<std::string>> found;
    while (const std::optional<std::string> next = lines.next()) {
        std::string_view line = *next;
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

namespace {

// The entry of the folder that Wine takes for name: the name itself where
// it exists, else the first with the same letters in another case; nothing
// when there is none.
std::optional<std::string> EntryInAnyCase(const std::string& folder, const std::string& name) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::exists(fs::symlink_status(folder + "/" + name, error))) return name;
    const std::string wanted = AsciiLower(name);
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string entry = it->path().filename().string();
        if (AsciiLower(entry) == wanted) return entry;
    }
    return std::nullopt;
}

// The parts of a path below its drive, as Windows resolves them: empty and
// "." parts dropped, ".." going back one part but never above the root.
std::vector<std::string> PathParts(std::string_view rest) {
    std::vector<std::string> parts;
    while (!rest.empty()) {
        const auto separator = rest.find_first_of("\\/");
        const std::string_view part = rest.substr(0, separator);
        rest.remove_prefix(separator == std::string_view::npos ? rest.size() : separator + 1);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.emplace_back(part);
        }
    }
    return parts;
}

}  // namespace

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
    std::string path = (target.is_absolute() ? target : (devices / target).lexically_normal()).string();
    while (!path.empty() && path.back() == '/') path.pop_back();

    // Each part as Wine finds it, in any letter case, down to the first part
    // that does not exist; from there on as written.
    bool exists = true;
    for (const std::string& part : PathParts(windowsPath.substr(2))) {
        const std::optional<std::string> entry = exists ? EntryInAnyCase(path.empty() ? "/" : path, part) : std::nullopt;
        exists = entry.has_value();
        path += '/';
        path += entry.value_or(part);
    }
    const char last = windowsPath.back();
    if (windowsPath.size() > 2 && (last == '\\' || last == '/')) path += '/';  // a final separator stays
    return path.empty() ? std::string("/") : path;
}

namespace {

// user.reg's content, looked at before it is read as the analyser's own
// settings file is: opened without waiting (a FIFO would wait for a
// writer), and read only when it is a regular file of at most
// kLargestUserReg bytes, up to the size it had then. Nothing for anything
// else, or when it cannot be read.
std::optional<std::string> UserRegContent(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    std::optional<std::string> content;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<std::uintmax_t>(st.st_size) <= kLargestUserReg) {
        std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
        std::size_t done = 0;
        ssize_t n = 1;
        while (n > 0 && done < bytes.size()) {
            n = ::read(fd, bytes.data() + done, bytes.size() - done);
            if (n > 0) done += static_cast<std::size_t>(n);
        }
        if (n >= 0) {
            bytes.resize(done);  // a file that shrank meanwhile
            content = std::move(bytes);
        }
    }
    ::close(fd);
    return content;
}

}  // namespace

std::optional<Result<std::string>> ReadWineSetting(const std::string& prefix, std::string_view fullPath) {
    // "HKCU\<key>\<value>"
    const auto first = fullPath.find('\\');
    const auto last = fullPath.rfind('\\');
    if (prefix.empty() || first == std::string_view::npos || last == first || fullPath.substr(0, first) != "HKCU") {
        return std::nullopt;
    }
    try {
        const std::optional<std::string> content = UserRegContent(prefix + "/user.reg");
        if (!content) return std::nullopt;
        Result<std::string> text =
            FindUserRegistryText(*content, fullPath.substr(first + 1, last - first - 1), fullPath.substr(last + 1));
        if (!text && text.kind() == FailureKind::Missing) return std::nullopt;
        if (!text) return text;
        Result<std::string> path = LinuxPathInPrefix(prefix, text.value());
        if (!path) return std::nullopt;
        return path;
    } catch (const std::exception&) {
        // Such as too little memory for the file: as if there were none.
        return std::nullopt;
    }
}

std::string WinePrefix() {
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix) return prefix;
    if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.wine";
    return {};
}

}  // namespace sweepwav
