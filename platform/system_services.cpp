#include "platform/system_services.h"

#include <QDir>
#include <QSaveFile>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QTime>
#include <algorithm>
#include <chrono>
#include <random>
#include <thread>
#include <vector>

#include "platform/safe_file.h"

namespace sweepwav {

namespace {

QString FromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

#ifdef _WIN32
// Windows has no unnamed files and no renaming over a link; QSaveFile's
// temporary file and atomic rename give the same promise there.
class SavedFile : public OutputFile {
public:
    explicit SavedFile(const std::string& path) : path_(path), file_(FromUtf8(path)) {}
    bool open() { return file_.open(QIODevice::WriteOnly); }
    QString errorString() const { return file_.errorString(); }

    std::optional<std::string> write(std::span<const std::uint8_t> bytes) override {
        const auto size = static_cast<qint64>(bytes.size());
        if (file_.write(reinterpret_cast<const char*>(bytes.data()), size) != size) return failure();
        return std::nullopt;
    }
    std::optional<std::string> write_zeros(std::uint64_t count) override {
        static const std::vector<std::uint8_t> zeros(std::size_t(1) << 16, 0);
        while (count > 0) {
            const auto n = std::min<std::uint64_t>(count, zeros.size());
            if (auto f = write(std::span<const std::uint8_t>(zeros.data(), static_cast<std::size_t>(n)))) return f;
            count -= n;
        }
        return std::nullopt;
    }
    std::optional<std::string> commit() override {
        if (!file_.commit()) return failure();
        return std::nullopt;
    }
    std::string description() const override { return "the file " + path_; }

private:
    std::string failure() const { return file_.errorString().toStdString(); }
    std::string path_;
    QSaveFile file_;
};
#endif

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
    // An unquoted comma makes the reader return a list: that is not text.
    if (value.typeId() == QMetaType::QStringList || !value.canConvert<QString>()) {
        return {false, {}, "Type mismatch: the value of \"" + key.toStdString() + "\" is not text"};
    }
    return {true, value.toString().toStdString(), {}};
}

OpenedFile SystemServices::create_file(const std::string& path) {
#ifdef _WIN32
    auto file = std::make_unique<SavedFile>(path);
    if (!file->open()) return {nullptr, file->errorString().toStdString()};
    return {std::move(file), {}};
#else
    return CreateSafeFile(path);
#endif
}

std::optional<std::string> SystemServices::write_text_file(const std::string& path,
                                                           const std::string& text) {
    OpenedFile opened = create_file(path);
    if (!opened.file) return opened.failure;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    if (auto failure = opened.file->write(std::span<const std::uint8_t>(bytes, text.size()))) return failure;
    return opened.file->commit();
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
