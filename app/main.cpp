// sweepwav: the desktop window for writing stepped sine-sweep WAV files.
//
// sweepwav --screenshot FILE.png saves a picture of the freshly opened window
// and quits (used for the documentation).
#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QStringList>
#include <QTimer>
#include <cstdio>

#include "app/form1.h"
#include "app/plan_view.h"
#include "platform/desktop_services.h"
#include "sweepwav_version.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("sweepwav"));
    QApplication::setApplicationVersion(QStringLiteral(SWEEPWAV_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("sweepwav"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/sweepwav.png")));

    sweepwav::DesktopServices services;
    sweepwav::Form1 window(services);
    window.show();

    const QStringList args = QApplication::arguments();
    const qsizetype shot = args.indexOf(QStringLiteral("--screenshot"));
    if (shot > 0 && shot + 1 < args.size()) {
        const QString file = args[shot + 1];
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
