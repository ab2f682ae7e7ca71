#include "platform/system_services.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QTime>

#include "platform/qt_text.h"
#include "platform/safe_file.h"
#include "platform/wine_registry.h"

namespace sweepwav {

FolderDefaults SystemServices::folder_defaults() {
    return {"/opt/corvalis/olvane Vexlor", "/User Wavetables/", QDir::homePath().toStdString() + "/"};
}

Result<std::string> SystemServices::read_setting(const std::string& fullPath) {
    // "HKCU\Software\<organisation>\<application>\<group...>\<value>" maps to
    // QSettings(organisation, application) with the key "<group>/<value>".
    QStringList parts = ToQString(fullPath).split(QLatin1Char('\\'));
    if (parts.size() < 5 || parts[0] != QLatin1String("HKCU") ||
        parts[1] != QLatin1String("Software")) {
        return Status::Failure("Invalid settings path " + fullPath);
    }
    const QString organisation = parts[2];
    const QString application = parts[3];
    const QString key = parts.mid(4).join(QLatin1Char('/'));
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, organisation, application);
    // Without a settings file the analyser may be running under Wine, which
    // keeps its registry in the Wine prefix; where that has no such value
    // either, the reading goes on as before.
    if (!QFileInfo::exists(settings.fileName())) {
        if (auto wine = ReadWineSetting(WinePrefix(), fullPath)) return *wine;
    }
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
    // An unquoted comma makes the reader return a list: that is not text.
    if (value.typeId() == QMetaType::QStringList || !value.canConvert<QString>()) {
        return Status::Failure("Type mismatch: the value of \"" + ToUtf8(key) + "\" is not text");
    }
    return ToUtf8(value.toString());
}

void SystemServices::sleep_ms(int milliseconds) { QThread::msleep(static_cast<unsigned long>(milliseconds)); }

double SystemServices::clock_seconds() {
    const QTime now = QTime::currentTime();
    return now.msecsSinceStartOfDay() / 1000.0;
}

}  // namespace sweepwav
