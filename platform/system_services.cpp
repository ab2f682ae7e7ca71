#include "platform/system_services.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QTime>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

#include "platform/qt_text.h"
#include "platform/safe_file.h"
#include "settings_files.h"

namespace sweepwav {

#ifndef _WIN32
namespace {

// The user's home folder: HOME, else the account's home in the password
// database. Empty when there is neither, or when the account's home is the
// root folder, which is no place for the files.
std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return QDir::homePath().toStdString();
    const passwd* account = ::getpwuid(::geteuid());
    if (!account || !account->pw_dir) return {};
    const QString home = QDir::cleanPath(QFile::decodeName(account->pw_dir));
    return home.isEmpty() || home == QDir::rootPath() ? std::string() : home.toStdString();
}

}  // namespace
#endif

FolderDefaults SystemServices::folder_defaults() {
#ifdef _WIN32
    return {"c:\\program files\\corvalis\\olvane Vexlor", "\\User Wavetables\\", "C:\\"};
#else
    const std::string home = HomeFolder();
    return {"/opt/corvalis/olvane Vexlor", "/User Wavetables/", home.empty() ? home : home + "/"};
#endif
}

Result<std::string> SystemServices::read_setting(const std::string& fullPath) {
    // "HKCU\Software\<organisation>\<application>\<group...>\<value>" maps to
    // QSettings(organisation, application) with the key "<group>/<value>";
    // on Windows that is the registry itself.
    QStringList parts = ToQString(fullPath).split(QLatin1Char('\\'));
    if (parts.size() < 5 || parts[0] != QLatin1String("HKCU") ||
        parts[1] != QLatin1String("Software")) {
        return Status::Failure("Invalid settings path " + fullPath);
    }
    const QString organisation = parts[2];
    const QString application = parts[3];
    const QString key = parts.mid(4).join(QLatin1Char('/'));
    // A file that may not be read counts as one that cannot be read.
    if (const std::optional<QString> unreadable = UnreadableSettingsFile(organisation, application)) {
        return Status::Failure("Unable to read " + ToUtf8(*unreadable));
    }
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, organisation, application);
    if (settings.status() == QSettings::AccessError) {
        return Status::Failure("Unable to read " + ToUtf8(settings.fileName()));
    }
    if (settings.status() == QSettings::FormatError) {
        return Status::Failure("Unable to parse " + ToUtf8(settings.fileName()));
    }
    const QVariant value = settings.value(key);
    if (!value.isValid()) {
        return Status::Failure("Invalid root in settings key \"" + ToUtf8(key) + "\" (not found)");
    }
    // An unquoted comma makes the reader return a list, and a value stored as
    // another type (@Variant(...), @Rect(...)) is decoded as that type: that
    // is not text; nor is text with a NUL character, which no path holds.
    if ((value.typeId() != QMetaType::QString && value.typeId() != QMetaType::QByteArray) ||
        value.toString().contains(QChar(0))) {
        return Status::Failure("Type mismatch: the value of \"" + ToUtf8(key) + "\" is not text");
    }
    return ToUtf8(value.toString());
}

Result<std::unique_ptr<OutputFile>> SystemServices::create_file(const std::string& path) {
    return CreateSafeFile(path);
}

Status SystemServices::write_text_file(const std::string& path, const std::string& text) {
    Result<std::unique_ptr<OutputFile>> opened = create_file(path);
    if (!opened) return opened.status();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    if (Status written = opened.value()->write({bytes, text.size()}); !written) return written;
    return opened.value()->commit();
}

Status SystemServices::open_in_viewer(const std::string&) {
    // Opening files needs the desktop; the window's services provide it.
    return Status::Failure("no desktop to open files with");
}

Status SystemServices::open_folder(const std::string&) { return Status::Failure("no desktop to open folders with"); }

void SystemServices::sleep_ms(int milliseconds) { QThread::msleep(static_cast<unsigned long>(milliseconds)); }

double SystemServices::clock_seconds() {
    const QTime now = QTime::currentTime();
    return now.msecsSinceStartOfDay() / 1000.0;
}

unsigned SystemServices::worker_threads() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : cores;
}

std::uint64_t SystemServices::random_seed() {
    if (fixedSeed_) return *fixedSeed_;
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    std::random_device device;
    return static_cast<std::uint64_t>(ticks) ^ (static_cast<std::uint64_t>(device()) << 32);
}

}  // namespace sweepwav
