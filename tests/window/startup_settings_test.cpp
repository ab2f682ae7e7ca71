// The window's start-up with hostile settings files of the analyser: no
// crash, no wait, no message, and the start-up folder.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>

#include <sys/stat.h>

#include "commands/outputs.h"
#include "support/hostile_settings.h"
#include "platform/system_services.h"
#include "window/form1.h"

using namespace sweepwav;

class StartupSettingsTest : public QObject {
    Q_OBJECT

private slots:
    // The settings library learns the configuration folder once per process.
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path())); }

    void hostileSettingsFiles() {
        const std::filesystem::path config = QFile::encodeName(config_.path()).toStdString();
        for (const auto& hostile : testing::kHostileSettings) {
            std::filesystem::remove_all(config / "Corvalis"), std::filesystem::remove(config / "Corvalis.conf");
            hostile.plant(config);
            DesktopServices services;
            int boxes = 0;
            Form1 window(services, [&boxes](const std::string&, const std::string&, Icon) { ++boxes; });
            QVERIFY2(boxes == 0, hostile.name);
            QVERIFY2(OutputFolder(window.state()) == "/opt/corvalis/olvane Vexlor/User Wavetables/", hostile.name);
        }
    }

    // The window's own file (its recent settings files) as a pipe: no wait,
    // and no recent list.
    void ownFileAsAPipe() {
        const std::filesystem::path config = QFile::encodeName(config_.path()).toStdString();
        std::filesystem::create_directories(config / "sweepwav");
        QVERIFY(mkfifo((config / "sweepwav" / "sweepwav.conf").c_str(), 0644) == 0);
        DesktopServices services;
        Form1 window(services, [](const std::string&, const std::string&, Icon) {});
        auto* recent = window.findChild<QMenu*>("RecentSettingsMenu");
        QVERIFY(recent && recent->actions().isEmpty());
        std::filesystem::remove(config / "sweepwav" / "sweepwav.conf");
    }

private:
    QTemporaryDir config_;
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    StartupSettingsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "startup_settings_test.moc"
