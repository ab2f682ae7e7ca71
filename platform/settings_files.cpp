#include "settings_files.h"

#include <QFile>
#include <QStandardPaths>
#include <QStringList>

#include <algorithm>
#include <string>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>
#endif

namespace sweepwav {

namespace {

// The value of a digit of the base (8 or 16); -1 for any other character.
int DigitValue(char d, unsigned base) {
    const int lower = d | 0x20;
    const int value = d >= '0' && d <= '9' ? d - '0' : lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
    return value >= 0 && static_cast<unsigned>(value) < base ? value : -1;
}

// The character an escape stands for, as the library reads a value: one
// for \a \b \f \n \r \t \v \" \? \' \\, for \x and any number of hex digits
// and for \ and any number of octal digits (both taken modulo 65536); none
// for a backslash before anything else. pos is just after the backslash
// and is left after the escape.
std::optional<char16_t> Escaped(std::string_view text, std::size_t& pos) {
    static constexpr std::string_view kLetters = "abfnrtv\"?'\\", kCodes = "\a\b\f\n\r\t\v\"?'\\";
    const char c = text[pos++];
    if (const auto letter = kLetters.find(c); letter != std::string_view::npos) return kCodes[letter];
    const unsigned base = c == 'x' ? 16 : c >= '0' && c <= '7' ? 8 : 0;
    if (base == 0) {
        // A line end after a backslash goes on to the next line.
        if ((c == '\n' || c == '\r') && pos < text.size() && (text[pos] == '\n' || text[pos] == '\r') && text[pos] != c) {
            ++pos;
        }
        return std::nullopt;
    }
    char16_t value = base == 8 ? static_cast<char16_t>(c - '0') : 0;
    bool digits = base == 8;
    for (int digit; pos < text.size() && (digit = DigitValue(text[pos], base)) >= 0; ++pos, digits = true) {
        value = static_cast<char16_t>(value * base + static_cast<unsigned>(digit));
    }
    return digits ? std::optional<char16_t>(value) : std::nullopt;
}

}  // namespace

int NulsInStoredValues(std::string_view text) {
    int nuls = 0;
    std::u16string line;  // as the library reads it
    const auto endLine = [&] {
        const auto stored = line.find(u"@Variant(");
        if (stored != std::u16string::npos) nuls += static_cast<int>(std::count(line.begin() + stored, line.end(), u'\0'));
        line.clear();
    };
    bool quoted = false;
    for (std::size_t pos = 0; pos < text.size();) {
        const char c = text[pos++];
        if (c == '"') {
            quoted = !quoted;
        } else if ((c == '\n' || c == '\r') && !quoted) {
            endLine();
        } else if (c != '\\' || pos == text.size()) {
            line += static_cast<char16_t>(static_cast<unsigned char>(c));
        } else if (const auto escaped = Escaped(text, pos)) {
            line += *escaped;
        }
    }
    endLine();
    return nuls;
}

namespace {

#ifndef _WIN32
// Opened without waiting (a FIFO would wait for a writer) and looked at
// through the descriptor, so that what is read is what was checked.
bool MayBeRead(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return true;  // missing or unreadable: the library reads it as empty
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kLargestSettingsFile;
    std::vector<char> bytes(ok ? static_cast<std::size_t>(st.st_size) : 0);
    for (std::size_t done = 0; ok && done < bytes.size();) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        ok = n > 0;
        done += ok ? static_cast<std::size_t>(n) : 0;
    }
    ok = ok && std::find(bytes.begin(), bytes.end(), '\0') == bytes.end() &&
         NulsInStoredValues({bytes.data(), bytes.size()}) <= 3 * kDeepestValue;
    ::close(fd);
    return ok;
}
#endif

}  // namespace

std::optional<QString> UnreadableSettingsFile(const QString& organisation, const QString& application) {
#ifdef _WIN32
    // The settings are the registry's there.
    (void)organisation, (void)application;
#else
    // The user's configuration folder first, then the system's, each with
    // the application's file and the organisation's.
    for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation)) {
        for (const QString& file : {organisation + QLatin1Char('/') + application + QLatin1String(".conf"),
                                    organisation + QLatin1String(".conf")}) {
            const QString path = folder + QLatin1Char('/') + file;
            if (!MayBeRead(path)) return path;
        }
    }
#endif
    return std::nullopt;
}

}  // namespace sweepwav
