// Play in the window through Qt Multimedia, for the sound-server tests of
// tests/play: the form gets the entries that sweepwav-cli's options give
// (window_play_tests OPTIONS...) and Play is clicked. While the sweep plays
// the form is locked and the button reads Stop; the status line names each
// tone as it is played, in order, then how long it took; the window ends
// idle with the focus back on Play. With SWEEPWAV_PLAY_FAILURE set, Play must
// instead end with one message that begins with it, the form unlocked; with
// SWEEPWAV_PLAY_STOP set, Stop is clicked once the first tone is heard, and
// playing must end there, saying so (how long that took is printed).
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <string>
#include <vector>

#include "cli/options.h"
#include "platform/system_services.h"
#include "settings/entry_values.h"
#include "window/form1.h"

using namespace sweepwav;

namespace {

std::vector<std::string> gOptions;

struct NoPause : SystemServices {
    void sleep_ms(int) override {}
};

// The messages go into boxes, which outlives the window (the analyser's
// folder has its message before the window's constructor returns).
struct PlayingForm : Form1 {
    PlayingForm(Services& sv, std::vector<std::string>& boxes)
        : Form1(sv, [&boxes](const std::string& text, const std::string&, Icon) { boxes.push_back(text); }),
          boxes(boxes) {}
    void set_label(Control label, const std::string& text) override {
        Form1::set_label(label, text);
        if (label != Control::Status || (!statuses.empty() && statuses.back() == text)) return;
        statuses.push_back(text);
        if (text == "Playing stopped" && sinceStop.isValid()) stopMs = sinceStop.elapsed();
    }
    std::vector<std::string>& boxes;
    std::vector<std::string> statuses;
    QElapsedTimer sinceStop;  // from the click on Stop
    qint64 stopMs = -1;       // until the status line said playing stopped
};

}  // namespace

class WindowPlayTest : public QObject {
    Q_OBJECT

private slots:
    void play() {
        NoPause services;
        std::vector<std::string> boxes;
        PlayingForm form(services, boxes);
        CliOptions options;
        QVERIFY(!ParseOptions(gOptions, options));
        FillEntries(form, form.state(), options.values);
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        boxes.clear();  // the analyser's folder is not the point here
        form.statuses.clear();
        auto* play = qobject_cast<QAbstractButton*>(form.control(Control::Play));
        QString whilePlaying;  // the button, and what else is on
        QTimer timer;
        connect(&timer, &QTimer::timeout, &form, [&] {
            if (!form.running()) return;
            const bool stop = qEnvironmentVariableIsSet("SWEEPWAV_PLAY_STOP");
            if (stop && (form.statuses.empty() || !form.statuses.back().starts_with("Playing sweep step 0 "))) return;
            timer.stop();
            whilePlaying = play->isEnabled() ? play->text() : "grey";
            for (Control c : {Control::StartFreq, Control::OK, Control::Abort}) {
                if (form.control(c)->isEnabled()) whilePlaying += " " + form.control(c)->objectName();
            }
            if (stop) {
                form.sinceStop.start();
                QTest::mouseClick(play, Qt::LeftButton);
            }
        });
        timer.start(0);
        QTest::mouseClick(play, Qt::LeftButton);

        QVERIFY(play->text() == "&Play" && form.control(Control::OK)->isEnabled());
        QCOMPARE(QApplication::focusWidget(), play);
        if (const QByteArray failure = qgetenv("SWEEPWAV_PLAY_FAILURE"); !failure.isEmpty()) {
            QVERIFY2(boxes.size() == 1 && boxes[0].starts_with(failure.toStdString()), boxes.empty() ? "" : boxes[0].c_str());
            return;
        }
        QVERIFY2(boxes.empty(), boxes.empty() ? "" : boxes[0].c_str());
        QCOMPARE(whilePlaying, QString("&Stop"));
        if (qEnvironmentVariableIsSet("SWEEPWAV_PLAY_STOP")) {
            QVERIFY(form.statuses.size() >= 2);
            QCOMPARE(form.statuses.rbegin()[1], std::string("Playing stopped"));
            qInfo("Stop: playing stopped %lld ms after the click", static_cast<long long>(form.stopMs));
            return;
        }
        // Each tone as it is played, then the time it took, then idle.
        std::vector<std::string> expected, seen;
        const std::string of = " of " + std::to_string(form.state().iSteps);
        for (int k = 0; k <= form.state().iSteps; ++k) expected.push_back("Playing sweep step " + std::to_string(k) + of);
        for (const std::string& status : form.statuses) {
            if (status.find(" sweep step ") != std::string::npos) seen.push_back(status);
        }
        QCOMPARE(seen, expected);
        QVERIFY(form.statuses.size() >= 2 && form.statuses.rbegin()[1].starts_with("Done in "));
        QCOMPARE(form.statuses.back(), std::string("Sweep Configuration"));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    gOptions.assign(argv + 1, argv + argc);
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    WindowPlayTest test;
    return QTest::qExec(&test, 1, argv);
}

#include "window_play_test.moc"
