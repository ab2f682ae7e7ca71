// sweepwav: the desktop window for writing stepped sine-sweep WAV files.
//
// sweepwav --help and --version answer on stdout without opening a window
// (or needing a display); sweepwav --screenshot FILE.png saves a picture of
// the freshly opened window and quits (used for the documentation).
#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QIcon>
#include <QPixmap>
#include <QStringList>
#include <QTimer>
#include <cstdio>

#include "window/form1.h"
#include "window/plan_view.h"
#include "window/desktop_services.h"
#include "platform/temporary_files.h"
#include "sweepwav_version.h"

namespace {

constexpr int kUsageError = 2;

}  // namespace

int main(int argc, char** argv) {
    QApplication::setApplicationName(QStringLiteral("sweepwav"));
    QApplication::setApplicationVersion(QStringLiteral(SWEEPWAV_VERSION));

    // The options are read before QApplication exists, so that --help and
    // --version work without a display. Options the parser does not know
    // (Qt's own, such as -platform or -style) are left for QApplication.
    QStringList args;
    for (int i = 0; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
        "Opens the window for writing stepped sine-sweep test signals as PCM WAV files.\n"
        "Qt's standard options (-platform, -style, ...) are accepted as well."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and quit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("V"), QStringLiteral("version")},
                                     QStringLiteral("Show the program's version and quit."));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Open the window, save a picture of it as <file> (PNG) and quit."),
        QStringLiteral("file"));
    parser.addOptions({help, version, screenshot});
    if (!parser.parse(args) && parser.unknownOptionNames().isEmpty()) {
        std::fprintf(stderr, "sweepwav: %s\n", qPrintable(parser.errorText()));
        return kUsageError;
    }
    if (parser.isSet(help)) {
        // Without an application object Qt cannot name the program in the
        // usage line, so that line is written here.
        const QString text = parser.helpText();
        const QString afterUsage = text.mid(text.indexOf(QLatin1Char('\n')) + 1);
        std::printf("Usage: sweepwav [options]\n%s", qPrintable(afterUsage));
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("sweepwav %s\n", SWEEPWAV_VERSION);
        return 0;
    }

    // A file-size limit fails a write with its reason; SIGTERM and SIGHUP
    // leave no temporary file behind.
    sweepwav::PrepareProcessForFileWrites();

    QApplication app(argc, argv);
    // The desktop entry's name without ".desktop", also the Wayland app id.
    QApplication::setDesktopFileName(QStringLiteral("org.sweepwav.sweepwav"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/sweepwav.png")));

    sweepwav::DesktopServices services;
    sweepwav::Form1 window(services);
    window.show();

    if (parser.isSet(screenshot)) {
        const QString file = parser.value(screenshot);
        QTimer::singleShot(500, &window, [&window, file] {
            if (!window.grab().save(file)) std::fprintf(stderr, "sweepwav: cannot save %s\n", qPrintable(file));
            QApplication::quit();
        });
    }
    // --plan-screenshot FILE.png: the same for the plan view of the start-up
    // entries.
    const qsizetype planShot = args.indexOf(QStringLiteral("--plan-screenshot"));
    if (planShot > 0 && planShot + 1 < args.size()) {
        const QString file = args[planShot + 1];
        QTimer::singleShot(500, &window, [&window, file] {
            sweepwav::PlanView* view = window.showPlanView();
            if (!view) {
                QApplication::exit(1);
                return;
            }
            QTimer::singleShot(500, view, [view, file] {
                if (!view->grab().save(file)) std::fprintf(stderr, "sweepwav: cannot save %s\n", qPrintable(file));
                QApplication::quit();
            });
        });
    }
    return app.exec();
}
