#include "settings_files.h"

#include <QFile>
#include <QStandardPaths>
#include <QStringList>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <vector>
#endif

namespace sweepwav {

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
    ok = ok && std::find(bytes.begin(), bytes.end(), '\0') == bytes.end();
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
