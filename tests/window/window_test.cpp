// The window driven through its widgets on the offscreen platform: start-up
// look, the four buttons, aborting and closing during a run, faults that stop
// a run, the progress line and how often it is painted, the output bar, and
// use by keyboard and through the accessibility interface.
#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <new>

#include "commands/commands.h"
#include "commands/settings_file.h"
#include "window/form1.h"
#include "window/output_bar.h"
#include "window/progress_line.h"
#include "platform/system_services.h"
#include "plan/tone_plan.h"
#include "support/paint_counter.h"
#include "support/not_regular_files.h"

using namespace sweepwav;

namespace {

// Real files and settings; the two-second hold, the viewer and the file
// manager are only recorded.
struct TestServices : SystemServices {
    void sleep_ms(int ms) override {
        sleeps.push_back(ms);
        if (onSleep) onSleep();
    }
    Status open_in_viewer(const std::string& path) override {
        viewed.push_back(path);
        return viewerFails ? Status::Failure("no viewer") : Status();
    }
    Status open_folder(const std::string& path) override {
        folders.push_back(path);
        return {};
    }
    std::vector<int> sleeps;
    std::vector<std::string> viewed, folders;
    bool viewerFails = false;
    std::function<void()> onSleep;
};

struct Box {
    std::string text, title;
    Icon icon;
};

// The window, recording its message boxes and the status texts it shows.
struct RecordingForm : Form1 {
    RecordingForm(Services& sv, std::vector<Box>& boxes)
        : Form1(sv, [&boxes](const std::string& t, const std::string& title, Icon i) { boxes.push_back({t, title, i}); }) {}
    void set_label(Control c, const std::string& t) override {
        if (c == Control::Status) statuses.push_back(t);
        if (t == faultAtStatus) throw std::bad_alloc();
        Form1::set_label(c, t);
        if (onStatus) onStatus(t);
    }
    void set_progress(Control c, double fraction, bool redraw) override {
        Form1::set_progress(c, fraction, redraw);
        if (c == Control::Progress1 && redraw) ++redrawsAsked;
        // The new end counts at once, whenever it is painted.
        if (static_cast<ProgressLine*>(control(c))->x2() != LineX2(fraction)) ++lateEnds;
    }
    template <typename T = QWidget>
    T* find(const QString& name) { return findChild<T*>(name); }
    void click(const char* button) { QTest::mouseClick(find(button), Qt::LeftButton); }
    bool showed(const std::string& s) { return std::find(statuses.begin(), statuses.end(), s) != statuses.end(); }
    QString bar() { return output_bar()->text(); }
    std::vector<std::string> statuses;
    std::string faultAtStatus;  // the memory runs out as this status is shown
    std::function<void(const std::string&)> onStatus;
    int redrawsAsked = 0, lateEnds = 0;
};

// Counts a line's paints and notes the end each one drew.
struct LinePaints : testing::PaintCounter {
    explicit LinePaints(ProgressLine* l) : PaintCounter(l), line(l) {}
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint) painted = line->x2();
        return PaintCounter::eventFilter(o, e);
    }
    ProgressLine* line;
    float painted = -1;
};

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QStringList kInputs = QString("StartFreq EndFreq StartLevel EndLevel Steps Logsteps ToneTime ToneCycles "
                                     "Dither1 Shiftmode Samplerate Wordlength Channels ShowInfo AutoName FileName OK")
                                 .split(' ');

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir temp_;
    QString outDir_;
    TestServices services_;
    std::vector<Box> boxes_;
    int runs_ = 0;

    std::unique_ptr<RecordingForm> makeForm() {
        auto form = std::make_unique<RecordingForm>(services_, boxes_);
        form->show();
        return form;
    }

    // The idle look every command ends in.
    void verifyIdle(RecordingForm& form, const char* status = "Sweep Configuration") {
        for (const QString& name : kInputs) QVERIFY2(form.find(name)->isEnabled(), qPrintable(name));
        QVERIFY(!form.find("Abort")->isEnabled());
        QCOMPARE(form.find<QLabel>("Status")->text(), status);
        QCOMPARE(form.windowTitle(), "Sweep WAV generation");
        QCOMPARE(form.find<ProgressLine>("Progress1")->x2(), 60.0f);
        QCOMPARE(form.find<ProgressLine>("Progress2")->x2(), 60.0f);
    }

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(temp_.filePath("config"))); }

    void init() {
        boxes_.clear();
        services_.sleeps.clear();
        services_.viewed.clear();
        services_.folders.clear();
        services_.onSleep = nullptr;
        services_.viewerFails = false;
        const QString run = temp_.filePath(QStringLiteral("run%1").arg(++runs_));
        const QString appDir = run + "/Olvane Vexlor";
        outDir_ = appDir + "/User Wavetables";
        QVERIFY(QDir().mkpath(outDir_));
        // Per-user settings of a folder of their own, naming the installation folder.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, run + "/config");
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Corvalis", "Olvane")
            .setValue("Paths/Application directory", appDir);
    }

    void startUp() {
        auto form = makeForm();
        const struct {
            const char* name;
            QStringList items;
            QList<int> values;
            int selected;
        } lists[] = {
            {"Samplerate", {"32kHz", "44.1kHz", "48kHz", "96kHz", "192kHz"}, {32000, 44100, 48000, 96000, 192000}, 1},
            {"Wordlength", {"16 bit", "18 bit", "20 bit", "22 bit", "24 bit"}, {16, 18, 20, 22, 24}, 0},
            {"Channels", {"mono", "stereo", "3 ch", "4 ch", "5 ch", "6 ch", "7 ch", "8 ch"}, QList<int>(8, 0), 1},
            {"Shiftmode", {"use frequency and time as entered", "shift frequency to fit time",
                           "shift time to fit frequency"}, QList<int>(3, 0), 2},
        };
        for (const auto& l : lists) {
            auto* combo = form->find<QComboBox>(l.name);
            QStringList items;
            QList<int> values;
            for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i), values << combo->itemData(i).toInt();
            QCOMPARE(items, l.items);
            QCOMPARE(values, l.values);
            QCOMPARE(combo->currentIndex(), l.selected);
            QVERIFY(!combo->isEditable());  // only the listed items can be chosen
        }
        const std::pair<const char*, const char*> texts[] = {
            {"StartFreq", "20"}, {"EndFreq", "20000"}, {"StartLevel", "0"},   {"EndLevel", "0"},
            {"Steps", "10"},     {"ToneTime", "200"},  {"ToneCycles", "20"}, {"FileName", "filename.wav"}};
        for (const auto& [name, text] : texts) QCOMPARE(form->find<QLineEdit>(name)->text(), text);
        // Enter and Escape start nothing: no button is a default button.
        for (auto* button : form->findChildren<QPushButton*>()) {
            QVERIFY(!button->autoDefault() && !button->isDefault());
        }
        QVERIFY(form->find<QAbstractButton>("Logsteps")->isChecked());
        QVERIFY(form->find<QAbstractButton>("Dither1")->isChecked());
        QVERIFY(boxes_.empty());
        verifyIdle(*form);

        QApplication::setActiveWindow(form.get());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QCOMPARE(QApplication::focusWidget(), form->find("StartFreq"));
        QStringList chain;  // the focus chain: the 17 inputs in order, then Play and Abort
        QWidget* w = form->find("StartFreq");
        do {
            if (w->focusPolicy() & Qt::TabFocus) chain << w->objectName();
        } while ((w = w->nextInFocusChain()) != form->find("StartFreq"));
        QCOMPARE(chain, kInputs + QStringList({"Play", "Abort"}));

        const struct {
            const char *name, *caption, *tip;
        } rows[] = {
            {"StartFreq", nullptr, "Starting frequency of the sweep in Hz"},
            {"EndFreq", nullptr, "Ending frequency of the sweep in Hz"},
            {"StartLevel", nullptr, "Starting amplitude of the sweep in dBFS"},
            {"EndLevel", nullptr, "Ending level of the sweep in dBFS"},
            {"Steps", nullptr, "Number of steps in the sweep (= tones - 1)"},
            {"Logsteps", "Use log frequency steps", "Use logarithmic frequency intervals"},
            {"ToneTime", nullptr, "Minimum duration of each tone in milliseconds"},
            {"ToneCycles", nullptr, "Minimum duration of each tone in cycles"},
            {"Dither1", "On", "Apply TPDF dither at the WAV file word length "},
            {"Shiftmode", nullptr, "Force clean zero crossing transitions between tones by adjusting freq or time"},
            {"Samplerate", nullptr, "Audio sample rate of the digital audio in the WAV file"},
            {"Wordlength", nullptr, "The word length of the digital audio in the WAV file"},
            {"Channels", nullptr, "The number of channels of audio in the WAV file"},
            {"ShowInfo", "Show Info", "Show information about the resulting file from the current settings"},
            {"AutoName", "Make file name", "Make a file name based on the current settings"},
            {"FileName", nullptr, "The name of the file to save the result to"},
            {"OK", "Generate file", "Generate the WAV file"},
            {"Abort", "Abort", "Abort generation of the WAV file"},
        };
        for (const auto& row : rows) {
            QCOMPARE(form->find(row.name)->toolTip(), row.tip);
            // Captions as shown; the '&' only marks the mnemonic.
            if (row.caption) QCOMPARE(form->find<QAbstractButton>(row.name)->text().remove('&'), row.caption);
        }
    }

    void enableFormNeverTouchesAbort() {
        auto form = makeForm();
        for (int i = 0; i < 4; ++i) {
            const bool abortOn = i & 1, enabled = i & 2;
            form->find("Abort")->setEnabled(abortOn);
            Enable_form(*form, enabled);
            QCOMPARE(form->find("Abort")->isEnabled(), abortOn);
            for (const QString& name : kInputs) QCOMPARE(form->find(name)->isEnabled(), enabled);
        }
    }

    void generateWithNothingChanged() {
        auto form = makeForm();
        form->click("OK");
        const QByteArray file = ReadFile(outDir_ + "/filename.wav");
        QVERIFY(form->state().iTotalBytes > 0);
        QCOMPARE(file.size(), 44 + form->state().iTotalBytes);
        QCOMPARE(file.left(16), "RIFF" + file.mid(4, 4) + "WAVEfmt ");

        QCOMPARE(form->statuses.size(), 15u);
        const QString done = QString::fromStdString(form->statuses[13]);
        QVERIFY2(done.startsWith("Done in ") && done.endsWith(" seconds"), qPrintable(done));
        std::vector<std::string> expected{"Setting up calculations"};
        for (int k = 0; k <= 10; ++k) expected.push_back("Generating sweep step " + std::to_string(k) + " of 10");
        expected.insert(expected.end(), {"Writing data to file...", done.toStdString(), "Sweep Configuration"});
        QCOMPARE(form->statuses, expected);
        QCOMPARE(services_.sleeps, std::vector<int>{2000});
        QVERIFY(boxes_.empty());
        verifyIdle(*form);
    }

    void abortDuringRun_data() {
        QTest::addColumn<bool>("close");
        QTest::addColumn<bool>("byKey");
        QTest::newRow("Abort click") << false << false;
        QTest::newRow("closing the window") << true << false;
        QTest::newRow("Alt+A") << false << true;
    }

    void abortDuringRun() {
        QFETCH(bool, close);
        QFETCH(bool, byKey);
        auto form = makeForm();
        QApplication::setActiveWindow(form.get());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        bool openAfterwards = false;
        // A zero timer fires each time the run services events, once per tone.
        QTimer timer;
        connect(&timer, &QTimer::timeout, form.get(), [&] {
            if (!form->running() || form->find<QLabel>("Status")->text() != "Generating sweep step 2 of 10") return;
            timer.stop();
            if (close) {
                form->close();
            } else if (byKey) {
                QTest::keyClick(form.get(), Qt::Key_A, Qt::AltModifier);
            } else {
                form->click("Abort");
            }
            openAfterwards = form->isVisible();
        });
        timer.start(0);
        form->click("OK");

        QCOMPARE(form->statuses.at(form->statuses.size() - 2), "Calculations aborted");
        QVERIFY(!form->showed("Generating sweep step 4 of 10"));
        // The file has its full planned length, silent after the point of the abort.
        const GeneratorState& s = form->state();
        const QByteArray file = ReadFile(outDir_ + "/filename.wav");
        QCOMPARE(file.size(), 44 + s.iTotalBytes);
        QVERIFY(s.iWritePos > 0 && s.iWritePos < s.iTotalBytes);
        QVERIFY(file.mid(44, s.iWritePos).count('\0') < s.iWritePos);
        QCOMPARE(file.mid(44 + s.iWritePos).count('\0'), qsizetype(s.iTotalBytes - s.iWritePos));
        // A close waits for the run to end, then takes place.
        QVERIFY(openAfterwards);
        QCOMPARE(form->isVisible(), !close);
        if (!close) verifyIdle(*form);
    }

    void missingSettingsFallsBack() {
        QTemporaryDir home;
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(home.path()));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, temp_.filePath("no-settings"));
        auto form = makeForm();
        qputenv("HOME", oldHome);
        QCOMPARE(boxes_.size(), 1u);
        QCOMPARE(boxes_[0].text, "Couldn't find Olvane installation path");
        QCOMPARE(boxes_[0].title, "");
        QCOMPARE(boxes_[0].icon, Icon::None);
        form->click("OK");  // files go straight into the home folder
        QVERIFY(QFile::exists(home.filePath("filename.wav")));
        verifyIdle(*form);
    }

    void faultsLeaveWindowIdle_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("message");
        QTest::newRow("write failure") << "write" << "Could not write the file ";
        QTest::newRow("oversize plan") << "oversize" << kOversizeMessage;
        QTest::newRow("out of memory during synthesis") << "memory" << "The run stopped: out of memory";
    }

    void faultsLeaveWindowIdle() {
        QFETCH(QString, fault);
        QFETCH(QString, message);
        auto form = makeForm();
        if (fault == "memory") {
            form->faultAtStatus = "Generating sweep step 3 of 10";
        } else if (fault == "oversize") {  // the largest format, the longest tones and the most steps: far beyond 2 GB
            for (const char* list : {"Samplerate", "Wordlength", "Channels"})
                form->find<QComboBox>(list)->setCurrentIndex(form->find<QComboBox>(list)->count() - 1);
            form->find<QLineEdit>("ToneTime")->setText("10000");
            form->find<QLineEdit>("Steps")->setText("1000");
        } else {
            QVERIFY(QDir(outDir_).removeRecursively());
        }
        form->click("OK");
        QCOMPARE(boxes_.size(), 1u);
        QVERIFY2(QString::fromStdString(boxes_[0].text).startsWith(message), boxes_[0].text.c_str());
        QCOMPARE(boxes_[0].title, "Sweep WAV generation");
        QCOMPARE(boxes_[0].icon, Icon::Exclamation);
        QVERIFY(!form->state().bFileWritten);
        verifyIdle(*form);
    }

    // What is at the name of wav_info.txt stays what it was (the WAV, the
    // plan and the settings are in the command line's tests).
    void reportAtANameThatIsNotAFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a socket") << "socket" << "it is a socket, not a file";
        QTest::newRow("a link to a device") << "link" << "it is a device, not a file";
    }

    void reportAtANameThatIsNotAFile() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const std::filesystem::path at = QFile::encodeName(outDir_ + "/wav_info.txt").toStdString();
        QVERIFY(kind == "link" ? symlink("/dev/zero", at.c_str()) == 0 : testing::MakeSocket(at));
        auto form = makeForm();
        form->find<QLineEdit>("Steps")->setText("100");
        form->click("ShowInfo");
        QCOMPARE(testing::KindAt(at), kind.toStdString());
        QCOMPARE(boxes_.size(), 1u);
        QCOMPARE(QString::fromStdString(boxes_[0].text), "Could not write the file " + outDir_ + "/wav_info.txt: " + reason);
        QVERIFY(services_.viewed.empty());
    }

    void showInfoAndMakeFileName() {
        auto form = makeForm();
        form->find<QLineEdit>("Steps")->setText("2");
        form->find<QLineEdit>("EndLevel")->setText("-20");
        form->click("ShowInfo");
        QCOMPARE(boxes_.size(), 1u);
        QCOMPARE(boxes_[0].title, "Sweep WAV generation - file info");
        QCOMPARE(boxes_[0].icon, Icon::Information);
        QVERIFY(boxes_[0].text.find("\r\n") != std::string::npos);
        // A long report goes to wav_info.txt in the output folder and is opened.
        form->find<QLineEdit>("Steps")->setText("100");
        form->click("ShowInfo");
        QCOMPARE(services_.viewed, std::vector<std::string>{(outDir_ + "/wav_info.txt").toStdString()});

        form->click("AutoName");
        QCOMPARE(form->find<QLineEdit>("FileName")->text(), "SW 20Hz,0dBFS to 20kHz,-20dBFS.wav");
        QCOMPARE(boxes_.size(), 1u);
        verifyIdle(*form, "Setting up calculations");  // left there by the planning
    }

    void progressPaintsAtTheDisplaysPace_data() {
        QTest::addColumn<QString>("steps");
        QTest::newRow("ten tones") << "9";
        QTest::newRow("one tone") << "0";
    }

    // A run asks for hundreds of redraws a tone. The lines are painted at most
    // once a display frame (and at each event check: a tone's start and every
    // 2^17 frames into it, three a tone here), always at their latest end, and
    // the state a run ends in is on screen before the write and during the
    // two-second hold.
    void progressPaintsAtTheDisplaysPace() {
        QFETCH(QString, steps);
        auto form = makeForm();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->find<QComboBox>("Samplerate")->setCurrentIndex(4);  // 192kHz: 384 ends of Progress1 a tone
        form->find<QComboBox>("Channels")->setCurrentIndex(0);
        form->find<QComboBox>("Shiftmode")->setCurrentIndex(0);
        form->find<QLineEdit>("Steps")->setText(steps);
        form->find<QLineEdit>("ToneTime")->setText("2000");
        LinePaints line1(form->find<ProgressLine>("Progress1")), line2(form->find<ProgressLine>("Progress2"));
        int paintsInSynthesis = -1;
        float endOfSynthesis = -1, shownDuringHold = -1;
        form->onStatus = [&](const std::string& t) {
            if (t != "Writing data to file...") return;
            paintsInSynthesis = line1.paints();
            endOfSynthesis = line1.painted;
        };
        services_.onSleep = [&] { shownDuringHold = line2.painted; };
        QElapsedTimer clock;
        clock.start();
        form->click("OK");
        const double frames = clock.elapsed() * form->screen()->refreshRate() / 1000;
        const int tones = steps.toInt() + 1;

        QVERIFY(form->state().bFileWritten);
        QCOMPARE(form->lateEnds, 0);
        QCOMPARE(endOfSynthesis, 4660.0f);
        QCOMPARE(shownDuringHold, 4660.0f);
        const QString counts = QString("%1 paints, %2 redraws asked, %3 frames")
                                   .arg(paintsInSynthesis).arg(form->redrawsAsked).arg(frames);
        QVERIFY2(paintsInSynthesis <= frames + 2 * 3 * tones + 2, qPrintable(counts));
        QVERIFY2(paintsInSynthesis * 5 < form->redrawsAsked, qPrintable(counts));
    }

    void outputBar_data() {
        QTest::addColumn<QString>("settings");  // the analyser's settings file, "none" for no file
        QTest::addColumn<QString>("how");
        QTest::newRow("found") << "" << "analyser folder";
        QTest::newRow("not found") << "none" << "home folder: analyser not found";
        QTest::newRow("not text") << "[Paths]\nApplication%20directory=a,b\n"
                                  << "default folder: analyser settings unreadable";
    }

    void outputBar() {
        QFETCH(QString, settings);
        QFETCH(QString, how);
        QTemporaryDir home;
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(home.path()));
        QString folder = outDir_ + "/";
        if (settings == "none") {
            QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, temp_.filePath("no-settings"));
            folder = home.path() + "/";
        } else if (!settings.isEmpty()) {
            const QString conf = temp_.filePath(QStringLiteral("run%1/config/Corvalis/Olvane.conf").arg(runs_));
            QFile file(conf);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(settings.toUtf8());
            file.close();
            folder = "/opt/corvalis/olvane Vexlor/User Wavetables/";
        }
        auto form = makeForm();
        qputenv("HOME", oldHome);
        const QString idle = "Output folder: " + folder + " (" + how + ")";
        QCOMPARE(form->bar(), idle);
        // A click on the path opens the folder, as File > Open output folder does.
        emit form->find<QLabel>("OutputFolder")->linkActivated("folder");
        QCOMPARE(services_.folders, std::vector<std::string>{folder.toStdString()});
        if (!settings.isEmpty()) return;

        // From the run's report on, the hold included, the file and its size,
        // until the next command.
        QString duringHold;
        services_.onSleep = [&] { duringHold = form->bar(); };
        form->click("OK");
        const QString path = outDir_ + "/filename.wav";
        const QString wrote = "Wrote " + path + " (" + OutputBar::size_text(QFileInfo(path).size()) + ")";
        QCOMPARE(duringHold, wrote);
        QCOMPARE(form->bar(), wrote);
        form->click("AutoName");
        QCOMPARE(form->bar(), idle);
        // A failed run adds nothing; its message says what went wrong.
        QVERIFY(QDir(outDir_).removeRecursively());
        form->click("OK");
        QCOMPARE(boxes_.size(), 1u);
        QCOMPARE(form->bar(), idle);

        const std::pair<std::int64_t, const char*> sizes[] = {
            {1023, "1023 bytes"}, {2048, "2.00 KB, 2048 bytes"}, {101376044, "96.68 MB, 101376044 bytes"}};
        for (const auto& [bytes, text] : sizes) QCOMPARE(OutputBar::size_text(bytes), text);
    }

    void barKeepsThePathBesideSignalOptions() {
        auto form = makeForm();
        const int startWidth = form->width();
        auto* path = form->find<QLabel>("OutputFolder");
        const QString withoutOptions = path->text();
        // Options that fill a line of their own, from a settings file.
        form->state().signal = {0, 150, 0, 10, {{1}, false}};
        const QString file = temp_.filePath("options.sweep");
        QFile settings(file);
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write(QByteArray::fromStdString(SettingsText(ReadEntries(*form, form->state()))));
        settings.close();
        form->state().signal = {};
        form->open_settings_file(file);
        QCOMPARE(form->find<QLabel>("SignalOptions")->text(), "Signal: gap 150 ms, ramps 10 ms, channels 1");
        // They take none of the path's room at the start-up width; the whole
        // text is in the tooltip.
        QCOMPARE(form->width(), startWidth);
        QCOMPARE(path->text(), withoutOptions);
        QVERIFY(path->toolTip().startsWith(form->bar()));
        // A wider window gives the room to the bar, which then shows the
        // whole folder, and to the wide boxes.
        const int nameWidth = form->find("FileName")->width();
        form->resize(startWidth + 400, form->height());
        QTest::qWait(0);
        QVERIFY2(path->text().contains(">" + (outDir_ + "/").toHtmlEscaped() + "<"), qPrintable(path->text()));
        QVERIFY(form->find("FileName")->width() > nameWidth);
        // The boxes beside "to" keep only the column of words ("ms or" is the
        // widest) and the layout's spacing between them.
        const int between = form->find("EndFreq")->x() - form->find("StartFreq")->geometry().right() - 1;
        QVERIFY2(between <= form->find("DurationOrLabel")->sizeHint().width() + 2 * 10, qPrintable(QString::number(between)));
    }

    void refusedEntryTakesTheFocus_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("button");
        QTest::newRow("not a number, Generate file") << "EndLevel" << "x" << "OK";
        QTest::newRow("out of range, Show Info") << "Steps" << "5000" << "ShowInfo";
        QTest::newRow("not a number, Make file name") << "StartFreq" << "1k" << "AutoName";
    }

    void refusedEntryTakesTheFocus() {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QString, button);
        auto form = makeForm();
        QApplication::setActiveWindow(form.get());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        form->find<QLineEdit>(box)->setText(text);
        form->click(qPrintable(button));
        QCOMPARE(boxes_.size(), 1u);
        QCOMPARE(QApplication::focusWidget(), form->find(box));
        QCOMPARE(form->find<QLineEdit>(box)->selectedText(), form->find<QLineEdit>(box)->text());
    }

    void longReportWithoutAViewerIsShownInTheWindow() {
        auto form = makeForm();
        services_.viewerFails = true;
        form->find<QLineEdit>("Steps")->setText("200");
        QString shown, note;
        QTimer::singleShot(0, form.get(), [&] {
            auto* dialog = form->find<QDialog>("LongTextDialog");
            QVERIFY(dialog);
            shown = dialog->findChild<QPlainTextEdit*>("LongText")->toPlainText();
            note = dialog->findChild<QLabel*>()->text();
            dialog->reject();
        });
        form->click("ShowInfo");
        QCOMPARE(note, "Could not open " + outDir_ + "/wav_info.txt in a text viewer.");
        QVERIFY2(shown.startsWith("The current settings will result a sweep \nwith 200 steps / 201 tones"),
                 qPrintable(shown.left(80)));
        QVERIFY(shown.contains("200:   20000Hz at 0dBFS for"));
        QVERIFY(boxes_.empty());
    }

    // Everything the keyboard reaches has a name of its own and its tooltip
    // as description; the progress lines are named progress indicators.
    void keyboardAndAssistiveTools() {
        auto form = makeForm();
        QApplication::setActiveWindow(form.get());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        const auto accessible = [&](const char* name) { return QAccessible::queryAccessibleInterface(form->find(name)); };
        const std::pair<const char*, const char*> names[] = {
            {"StartFreq", "Sweep frequency from (Hz)"}, {"EndFreq", "Sweep frequency to (Hz)"},
            {"StartLevel", "Sweep amplitude from (dBFS)"}, {"EndLevel", "Sweep amplitude to (dBFS)"},
            {"Steps", "Number of sweep steps"}, {"Logsteps", "Use log frequency steps"},
            {"ToneTime", "Sweep step durations (ms)"}, {"ToneCycles", "Sweep step durations (cycles)"},
            {"Dither1", "Apply TPDF dither"}, {"Shiftmode", "Shift mode"},
            {"Samplerate", "Audio Data: sample rate"}, {"Wordlength", "Audio Data: word length"},
            {"Channels", "Audio Data: channels"}, {"ShowInfo", "Show Info"}, {"AutoName", "Make file name"},
            {"FileName", "WAV file name"}, {"OK", "Generate file"}, {"Play", "Play"}, {"Abort", "Abort"}};
        for (const auto& [control, name] : names) QCOMPARE(accessible(control)->text(QAccessible::Name), name);
        QStringList seen;
        for (QWidget* w : form->findChildren<QWidget*>()) {
            if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(form.get())) continue;
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
            const QString name = a->text(QAccessible::Name);
            QVERIFY2(!name.isEmpty() && !seen.contains(name), qPrintable(w->objectName() + ": " + name));
            seen << name;
            QCOMPARE(a->text(QAccessible::Description), w->toolTip());
        }
        QCOMPARE(seen.size(), 19);

        const std::tuple<const char*, const char*, double> lines[] = {
            {"Progress1", "Tone progress", 0.25}, {"Progress2", "Sweep progress", 1}};
        for (const auto& [control, name, fraction] : lines) {
            form->set_progress(control == std::string("Progress1") ? Control::Progress1 : Control::Progress2,
                               fraction, false);
            QAccessibleInterface* a = accessible(control);
            QCOMPARE(a->role(), QAccessible::ProgressBar);
            QCOMPARE(a->text(QAccessible::Name), name);
            QVERIFY(a->valueInterface());
            QCOMPARE(a->valueInterface()->currentValue().toDouble(), 100 * fraction);
            QCOMPARE(a->valueInterface()->maximumValue().toDouble(), 100.0);
            QCOMPARE(a->text(QAccessible::Value), QString("%1%").arg(100 * fraction));
        }

        // Return and Enter press the focused button, and nothing else.
        auto* fileName = form->find<QLineEdit>("FileName");
        QTest::keyClick(fileName, Qt::Key_Return);
        QCOMPARE(fileName->text(), "filename.wav");
        QTest::keyClick(form->find("AutoName"), Qt::Key_Return);
        const QString proposed = fileName->text();
        QVERIFY(proposed != "filename.wav");
        QTest::keyClick(form->find("ShowInfo"), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(boxes_.size(), 1u);
        // Alt with the marked letter presses a command button from anywhere.
        QStringList keys;
        for (const char* button : {"ShowInfo", "AutoName", "OK", "Play", "Abort"}) {
            keys << QKeySequence::mnemonic(form->find<QAbstractButton>(button)->text()).toString();
        }
        QCOMPARE(keys, QStringList({"Alt+I", "Alt+M", "Alt+G", "Alt+P", "Alt+A"}));  // the menus use F, O, V and H
        fileName->setText("x");
        fileName->setFocus();
        QTest::keyClick(fileName, Qt::Key_M, Qt::AltModifier);
        QCOMPARE(fileName->text(), proposed);  // at once: an Abort is seen at the next event check
        QTest::keyClick(fileName, Qt::Key_I, Qt::AltModifier);
        QCOMPARE(boxes_.size(), 2u);
    }

    void progressLine() {
        ProgressLine line;
        line.show();
        QVERIFY(QTest::qWaitForWindowExposed(&line));
        // 4740 units span the widget; the line runs from 60 to X2.
        const std::tuple<int, float, int> lengths[] = {
            {474, 60, 0}, {474, 2360.4f, 230}, {948, 4660, 920}, {474, 0, 0}};
        for (const auto& [width, x2, pixels] : lengths) {
            line.resize(width, 6);
            line.set_x2(x2, false);
            QCOMPARE(line.drawn_length(), qRound(pixels * line.devicePixelRatioF()));
        }
        // 10 units are one pixel here: only a move to another pixel paints at once.
        QCoreApplication::processEvents();
        testing::PaintCounter counter(&line);
        for (float x2 : {1000.0f, 1002.0f, 1000.0f}) line.set_x2(x2, true);
        QCOMPARE(counter.paints(), 1);
        line.set_x2(1020, true);
        QCOMPARE(counter.paints(), 2);
        line.set_x2(4660, false);  // left to the event loop
        QCOMPARE(counter.paints(), 2);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    WindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "window_test.moc"
