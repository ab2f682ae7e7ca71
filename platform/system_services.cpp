#include "platform/system_services.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QTime>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <system_error>
#include <random>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace sweepwav {

namespace {

QString FromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

bool WriteFully(QFileDevice& file, const char* data, qint64 size) {
    // Moderate chunks keep the kernel's dirty-page throttling from stalling
    // one huge write.
    constexpr qint64 kChunk = qint64(1) << 20;
    while (size > 0) {
        const qint64 n = file.write(data, std::min(size, kChunk));
        if (n <= 0) return false;
        data += n;
        size -= n;
    }
    return true;
}

std::string SystemReason(const std::error_code& error) { return error.message(); }

// Gives the new file the permissions of the file it replaces, or else those
// of any newly created file (read-write, less the process's umask); the
// temporary file starts out private to its owner.
void SetNewFilePermissions(QFile& file, const QFileInfo& target) {
    if (target.exists()) {
        file.setPermissions(target.permissions());
        return;
    }
#ifndef _WIN32
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(file.handle(), 0666 & ~mask);
#endif
}

// Writes the new content into a temporary file beside the target and renames
// it over the target only when every byte is written, so an existing file is
// never left truncated or half-written. The data is left to the system to
// flush, as for any ordinary file write.
template <typename WriteAll>
std::optional<std::string> SaveAtomically(const std::string& path, WriteAll writeAll) {
    QFileInfo target(FromUtf8(path));
    if (target.isSymLink()) target = QFileInfo(target.symLinkTarget());
    if (target.isDir()) return SystemReason(std::make_error_code(std::errc::is_a_directory));
    if (target.exists() && !target.isWritable()) {
        return SystemReason(std::make_error_code(std::errc::permission_denied));
    }
    const QString folder = target.absolutePath();
    const QFileInfo folderInfo(folder);
    if (!folderInfo.isDir()) {
        return SystemReason(std::make_error_code(folderInfo.exists() ? std::errc::not_a_directory
                                                                     : std::errc::no_such_file_or_directory));
    }
    QTemporaryFile file(folder + QStringLiteral("/.") + target.fileName() + QStringLiteral(".XXXXXX"));
    if (!file.open()) return file.errorString().toStdString();
    if (!writeAll(file) || !file.flush()) return file.errorString().toStdString();
    SetNewFilePermissions(file, target);
    file.close();
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(QFile::encodeName(file.fileName()).toStdString()),
                            std::filesystem::path(QFile::encodeName(target.absoluteFilePath()).toStdString()),
                            error);
    if (error) return SystemReason(error);
    file.setAutoRemove(false);
    return std::nullopt;
}

}  // namespace

FolderDefaults SystemServices::folder_defaults() {
#ifdef _WIN32
    return {"c:\\program files\\corvalis\\olvane Vexlor", "\\User Wavetables\\", "C:\\"};
#else
    return {"/opt/corvalis/olvane Vexlor", "/User Wavetables/", QDir::homePath().toStdString() + "/"};
#endif
}

SettingRead SystemServices::read_setting(const std::string& fullPath) {
    // "HKCU\Software\<organisation>\<application>\<group...>\<value>" maps to
    // QSettings(organisation, application) with the key "<group>/<value>";
    // on Windows that is the registry itself.
    QStringList parts = FromUtf8(fullPath).split(QLatin1Char('\\'));
    if (parts.size() < 5 || parts[0] != QLatin1String("HKCU") ||
        parts[1] != QLatin1String("Software")) {
        return {false, {}, "Invalid settings path " + fullPath};
    }
    const QString organisation = parts[2];
    const QString application = parts[3];
    const QString key = parts.mid(4).join(QLatin1Char('/'));
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, organisation, application);
    if (settings.status() == QSettings::AccessError) {
        return {false, {}, "Unable to read " + settings.fileName().toStdString()};
    }
    if (settings.status() == QSettings::FormatError) {
        return {false, {}, "Unable to parse " + settings.fileName().toStdString()};
    }
    const QVariant value = settings.value(key);
    if (!value.isValid()) {
        return {false, {}, "Invalid root in settings key \"" + key.toStdString() + "\" (not found)"};
    }
    if (!value.canConvert<QString>()) {
        return {false, {}, "Type mismatch: the value of \"" + key.toStdString() + "\" is not text"};
    }
    return {true, value.toString().toStdString(), {}};
}

std::optional<std::string> SystemServices::write_binary_file(
    const std::string& path, const std::vector<std::span<const std::uint8_t>>& pieces) {
    return SaveAtomically(path, [&](QFileDevice& file) {
        for (auto piece : pieces) {
            if (!WriteFully(file, reinterpret_cast<const char*>(piece.data()),
                            static_cast<qint64>(piece.size()))) {
                return false;
            }
        }
        return true;
    });
}

std::optional<std::string> SystemServices::write_text_file(const std::string& path,
                                                           const std::string& text) {
    return SaveAtomically(path, [&](QFileDevice& file) {
        return WriteFully(file, text.data(), static_cast<qint64>(text.size()));
    });
}

bool SystemServices::open_in_viewer(const std::string&) {
    // Opening files needs the desktop; the window's services provide it.
    return false;
}

bool SystemServices::open_folder(const std::string&) { return false; }

void SystemServices::sleep_ms(int milliseconds) { QThread::msleep(static_cast<unsigned long>(milliseconds)); }

double SystemServices::clock_seconds() {
    const QTime now = QTime::currentTime();
    return now.msecsSinceStartOfDay() / 1000.0;
}

std::uint64_t SystemServices::random_seed() {
    if (fixedSeed_) return *fixedSeed_;
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    std::random_device device;
    return static_cast<std::uint64_t>(ticks) ^ (static_cast<std::uint64_t>(device()) << 32);
}

}  // namespace sweepwav
