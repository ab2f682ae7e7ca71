#include "platform/system_services.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QTime>
#include <algorithm>
#include <chrono>
#include <random>

namespace sweepwav {

namespace {

QString FromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Writes all pieces through an atomic save: the target is replaced only when
// the new content is complete.
template <typename WriteAll>
std::optional<std::string> SaveAtomically(const std::string& path, WriteAll writeAll) {
    QSaveFile file(FromUtf8(path));
    if (!file.open(QIODevice::WriteOnly)) return file.errorString().toStdString();
    if (!writeAll(file)) {
        std::string reason = file.errorString().toStdString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit()) return file.errorString().toStdString();
    return std::nullopt;
}

bool WriteFully(QSaveFile& file, const char* data, qint64 size) {
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
    return SaveAtomically(path, [&](QSaveFile& file) {
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
    return SaveAtomically(path, [&](QSaveFile& file) {
        return WriteFully(file, text.data(), static_cast<qint64>(text.size()));
    });
}

bool SystemServices::open_in_viewer(const std::string&) {
    // Opening files needs the desktop; the window's services provide it.
    return false;
}

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
