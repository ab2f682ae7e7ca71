// sweepwav: the desktop window for writing stepped sine-sweep WAV files.
//
// sweepwav FILE.sweep opens the window with the form filled from the
// settings file, as the desktop's Open with does. sweepwav --help and
// --version answer on stdout without opening a window (or needing a display); sweepwav --screenshot FILE.png saves a picture of
// the freshly opened window and quits (used for the documentation), and the
// hidden --plan-screenshot FILE.png does the same for the plan view.
#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QIcon>
#include <QPixmap>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <optional>

#include "platform/temporary_files.h"
#include "commands/outputs.h"
#include "core/text.h"
#include "sweepwav_version.h"
#include "platform/system_services.h"
#include "window/form1.h"
#include "window/plan_view.h"

namespace {

constexpr int kUsageError = 2;

struct Options {
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help and quit.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("V"), QStringLiteral("version")},
                               QStringLiteral("Show the program's version and quit.")};
    QCommandLineOption screenshot{QStringLiteral("screenshot"),
                                  QStringLiteral("Open the window, save a picture of it as <file> (PNG) and quit."),
                                  QStringLiteral("file")};
    QCommandLineOption planScreenshot{QStringLiteral("plan-screenshot"),
                                      QStringLiteral("Open the plan view, save a picture of it as <file> and quit."),
                                      QStringLiteral("file")};
    QCommandLineOption openSettings{QStringLiteral("open-settings"),
                                    QStringLiteral("Fill the form from the settings file <file>, as File > Open "
                                                   "settings does."),
                                    QStringLiteral("file")};
};

// Reads the options before QApplication exists, so that --help and
// --version work without a display. Options the parser does not know (Qt's
// own, such as -platform or -style) are left for QApplication. Returns the
// exit status when the program ends here.
std::optional<int> ReadOptions(QCommandLineParser& parser, Options& options, const QStringList& args) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
        "Opens the window for writing stepped sine-sweep test signals as PCM WAV files.\n"
        "Qt's standard options (-platform, -style, ...) are accepted as well."));
    options.planScreenshot.setFlags(QCommandLineOption::HiddenFromHelp);
    options.openSettings.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({options.help, options.version, options.screenshot, options.planScreenshot, options.openSettings});
    parser.addPositionalArgument(QStringLiteral("FILE.sweep"),
                                 QStringLiteral("A settings file to fill the form from, as File > Open settings does."),
                                 QStringLiteral("[FILE.sweep]"));
    if (!parser.parse(args) && parser.unknownOptionNames().isEmpty()) {
        std::fprintf(stderr, "sweepwav: %s\n", qPrintable(parser.errorText()));
        return kUsageError;
    }
    if (parser.isSet(options.help)) {
        // Without an application object Qt cannot name the program in the
        // usage line, so that line is written here.
        const QString text = parser.helpText();
        const QString afterUsage = text.mid(text.indexOf(QLatin1Char('\n')) + 1);
        std::printf("Usage: sweepwav [options] [FILE.sweep]\n%s", qPrintable(afterUsage));
        return 0;
    }
    if (parser.isSet(options.version)) {
        std::printf("sweepwav %s\n", SWEEPWAV_VERSION);
        return 0;
    }
    return std::nullopt;
}

void SaveAndQuit(QWidget* widget, const QString& file) {
    if (!widget->grab().save(file)) std::fprintf(stderr, "sweepwav: cannot save %s\n", qPrintable(file));
    QApplication::quit();
}

// Pictures for the documentation, once the window has settled.
void ScheduleScreenshots(sweepwav::Form1& window, const QCommandLineParser& parser, const Options& options) {
    if (parser.isSet(options.screenshot)) {
        const QString file = parser.value(options.screenshot);
        QTimer::singleShot(500, &window, [&window, file] { SaveAndQuit(&window, file); });
    }
    if (parser.isSet(options.planScreenshot)) {
        const QString file = parser.value(options.planScreenshot);
        QTimer::singleShot(500, &window, [&window, file] {
            sweepwav::PlanView* view = window.show_plan_view();
            if (!view) {
                QApplication::exit(1);
                return;
            }
            QTimer::singleShot(500, view, [view, file] { SaveAndQuit(view, file); });
        });
    }
}

// The settings file the command line names: --open-settings FILE, or FILE
// alone. Read once Qt has taken its own options out of the arguments, so
// that the value of one (-platform offscreen) is not taken for a file. More
// than one is refused, with the text returned.
std::optional<QString> SettingsFileNamed(const Options& options, QString& refusal) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({options.help, options.version, options.screenshot, options.planScreenshot, options.openSettings});
    parser.parse(QApplication::arguments());
    QStringList files = parser.positionalArguments();
    if (parser.isSet(options.openSettings)) files.prepend(parser.value(options.openSettings));
    if (files.size() > 1) {
        const auto shown = [](const QString& name) {
            return QString::fromStdString(sweepwav::ShownName(name.toStdString()));
        };
        refusal = QStringLiteral("sweepwav opens one settings file at a time, not both %1 and %2")
                      .arg(shown(files[0]), shown(files[1]));
        return std::nullopt;
    }
    return files.isEmpty() ? std::nullopt : std::optional<QString>(files[0]);
}

}  // namespace

int main(int argc, char** argv) {
    // First thing: a file-size limit fails a write with its reason, and no
    // signal that ends the program leaves a temporary file behind.
    sweepwav::PrepareProcessForFileWrites();

    QApplication::setApplicationName(QStringLiteral("sweepwav"));
    QApplication::setApplicationVersion(QStringLiteral(SWEEPWAV_VERSION));
    QStringList args;
    for (int i = 0; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    Options options;
    if (const auto status = ReadOptions(parser, options, args)) return *status;

    QApplication app(argc, argv);
    // Names in the message boxes are escaped for people to read.
    sweepwav::ShowTextsFor(sweepwav::TextStyle::People);
    // The desktop entry's name without ".desktop", also the Wayland app id.
    QApplication::setDesktopFileName(QStringLiteral("org.sweepwav.sweepwav"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/sweepwav.png")));

    sweepwav::DesktopServices services;
    sweepwav::Form1 window(services);
    // Neither the analyser nor a home folder: nowhere to write files.
    if (sweepwav::OutputFolder(window.state()).empty()) {
        window.message_box(sweepwav::kNoHomeFolderMessage, window.state().sAppTitle, sweepwav::Icon::Exclamation);
        return 1;
    }
    QString refusal;
    const std::optional<QString> settings = SettingsFileNamed(options, refusal);
    if (!refusal.isEmpty()) {
        window.message_box(refusal.toStdString(), window.state().sAppTitle, sweepwav::Icon::Exclamation);
        return kUsageError;
    }
    window.show();
    if (settings) window.open_settings_file(*settings);
    ScheduleScreenshots(window, parser, options);
    return app.exec();
}
