#include "platform/system_services.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QTime>
#include <cstdlib>

#include <pwd.h>
#include <unistd.h>

#include "platform/qt_text.h"
#include "platform/safe_file.h"
#include "platform/wine_registry.h"
#include "platform/settings_files.h"

namespace sweepwav {

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

FolderDefaults SystemServices::folder_defaults() {
    const std::string home = HomeFolder();
    return {"/opt/corvalis/olvane Vexlor", "/User Wavetables/", home.empty() ? home : home + "/"};
}

Result<std::string> SystemServices::read_setting(const std::string& fullPath) {
    // "HKCU\Software\<organisation>\<application>\<group...>\<value>" maps to
    // QSettings(organisation, application) with the key "<group>/<value>".
    QStringList parts = ToQString(fullPath).split(QLatin1Char('\\'));
    if (parts.size() < 5 || parts[0] != QLatin1String("HKCU") ||
        parts[1] != QLatin1String("Software")) {
        return Status::Failure(FailureKind::Missing, "Invalid settings path " + fullPath);
    }
    const QString organisation = parts[2];
    const QString application = parts[3];
    const QString key = parts.mid(4).join(QLatin1Char('/'));
    // A file that may not be read counts as one that cannot be read.
    if (const std::optional<QString> unreadable = UnreadableSettingsFile(organisation, application)) {
        return Status::Failure(FailureKind::Unusable, "Unable to read " + ToUtf8(*unreadable));
    }
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, organisation, application);
    // Without a settings file the analyser may be running under Wine, which
    // keeps its registry in the Wine prefix; where that has no such value
    // either, the reading goes on as before.
    if (!QFileInfo::exists(settings.fileName())) {
        if (auto wine = ReadWineSetting(WinePrefix(), fullPath)) return *wine;
    }
    if (settings.status() == QSettings::AccessError) {
        return Status::Failure(FailureKind::Unusable, "Unable to read " + ToUtf8(settings.fileName()));
    }
    if (settings.status() == QSettings::FormatError) {
        return Status::Failure(FailureKind::Unusable, "Unable to parse " + ToUtf8(settings.fileName()));
    }
    const QVariant value = settings.value(key);
    if (!value.isValid()) {
        return Status::Failure(FailureKind::Missing, "Invalid root in settings key \"" + ToUtf8(key) + "\" (not found)");
    }
    // An unquoted comma makes the reader return a list, and a value stored as
    // another type (@Variant(...), @Rect(...)) is decoded as that type: that
    // is not text; nor is text with a NUL character, which no path holds.
    if ((value.typeId() != QMetaType::QString && value.typeId() != QMetaType::QByteArray) ||
        value.toString().contains(QChar(0))) {
        return Status::Failure(FailureKind::Unusable, "Type mismatch: the value of \"" + ToUtf8(key) + "\" is not text");
    }
    return ToUtf8(value.toString());
}

void SystemServices::sleep_ms(int milliseconds) { QThread::msleep(static_cast<unsigned long>(milliseconds)); }

double SystemServices::clock_seconds() {
    const QTime now = QTime::currentTime();
    return now.msecsSinceStartOfDay() / 1000.0;
}

}  // namespace sweepwav
