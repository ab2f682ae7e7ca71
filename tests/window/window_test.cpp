// The window driven through its widgets: start-up look, the commands behind
// the four buttons, aborting and closing during a run, and faults that stop
// a run. Runs on the offscreen platform.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/form1.h"
#include "app/progress_line.h"
#include "platform/system_services.h"
#include "plan/tone_plan.h"
#include "progress_line_test.h"

using namespace sweepwav;

namespace {

// Real files and settings; the two-second hold is only recorded.
class TestServices : public SystemServices {
public:
    void sleep_ms(int ms) override { sleeps.push_back(ms); }
    bool open_in_viewer(const std::string& path) override {
        viewed.push_back(path);
        return true;
    }
    std::vector<int> sleeps;
    std::vector<std::string> viewed;
};

struct Box {
    std::string text;
    std::string title;
    Icon icon;
};

// The window, recording the status texts and captions it is given.
class RecordingForm : public Form1 {
public:
    RecordingForm(Services& sv, std::vector<Box>& boxes)
        : Form1(sv, [&boxes](const std::string& t, const std::string& title, Icon icon) {
              boxes.push_back({t, title, icon});
          }) {}

    void set_label(Control c, const std::string& t) override {
        if (c == Control::Status) statuses.push_back(t);
        Form1::set_label(c, t);
    }
    void set_caption(const std::string& c) override {
        captions.push_back(c);
        Form1::set_caption(c);
    }
    void do_events() override {
        ++servicings;
        Form1::do_events();
    }

    template <typename T>
    T* find(const char* name) { return findChild<T*>(QString::fromLatin1(name)); }
    QString statusText() { return find<QLabel>("Status")->text(); }

    std::vector<std::string> statuses;
    std::vector<std::string> captions;
    int servicings = 0;
};

// Points the analyser's per-user settings at a folder of its own; when
// appDir is given, the settings name it as the installation folder.
void UseSettingsFolder(const QString& configDir, const QString* appDir) {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, configDir);
    if (!appDir) return;
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Corvalis"),
                       QStringLiteral("Olvane"));
    settings.setValue(QStringLiteral("Paths/Application directory"), *appDir);
    settings.sync();
}

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

// Runs action once, the first time the run services events while the status
// line reads status. A zero timer fires each time the run services events,
// that is once per tone, so the action happens inside the run.
void ActWhenStatusReads(RecordingForm& form, const QString& status,
                        std::function<void(RecordingForm&)> action, QTimer& timer) {
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, &form, [&form, &timer, status, action] {
        if (form.running() && form.statusText() == status) {
            timer.stop();
            action(form);
        }
    });
    timer.start();
}

const std::vector<const char*> kInputNames = {
    "StartFreq", "EndFreq",  "StartLevel", "EndLevel",   "Steps",     "Logsteps",
    "ToneTime",  "ToneCycles", "Dither1",  "Shiftmode",  "Samplerate", "Wordlength",
    "Channels",  "ShowInfo", "AutoName",   "FileName",   "OK"};

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> temp_;
    QString appDir_;
    QString outDir_;
    TestServices services_;
    std::vector<Box> boxes_;
    int runs_ = 0;

    std::unique_ptr<RecordingForm> makeForm() {
        auto form = std::make_unique<RecordingForm>(services_, boxes_);
        form->show();
        return form;
    }

    bool allInputsEnabled(RecordingForm& form) {
        for (const char* name : kInputNames) {
            if (!form.find<QWidget>(name)->isEnabled()) return false;
        }
        return true;
    }

    // The idle look every command ends in.
    void verifyIdle(RecordingForm& form) {
        QVERIFY(allInputsEnabled(form));
        QVERIFY(!form.find<QPushButton>("Abort")->isEnabled());
        QCOMPARE(form.statusText(), QStringLiteral("Sweep Configuration"));
        QCOMPARE(form.windowTitle(), QStringLiteral("Sweep WAV generation"));
        QCOMPARE(form.find<ProgressLine>("Progress1")->x2(), 60.0f);
        QCOMPARE(form.find<ProgressLine>("Progress2")->x2(), 60.0f);
        QVERIFY(!form.running());
    }

private slots:
    void initTestCase() {
        temp_ = std::make_unique<QTemporaryDir>();
        QVERIFY(temp_->isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(temp_->filePath(QStringLiteral("config"))));
    }

    void init() {
        boxes_.clear();
        services_.sleeps.clear();
        services_.viewed.clear();
        const QString run = temp_->filePath(QStringLiteral("run%1").arg(++runs_));
        appDir_ = run + QStringLiteral("/Olvane Vexlor");
        outDir_ = appDir_ + QStringLiteral("/User Wavetables");
        QVERIFY(QDir().mkpath(outDir_));
        UseSettingsFolder(run + QStringLiteral("/config"), &appDir_);
    }

    void startUpLists_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QList<int>>("values");
        QTest::addColumn<int>("selected");
        QTest::newRow("Samplerate")
            << "Samplerate" << QStringList{"32kHz", "44.1kHz", "48kHz", "96kHz", "192kHz"}
            << QList<int>{32000, 44100, 48000, 96000, 192000} << 1;
        QTest::newRow("Wordlength") << "Wordlength"
                                    << QStringList{"16 bit", "18 bit", "20 bit", "22 bit", "24 bit"}
                                    << QList<int>{16, 18, 20, 22, 24} << 0;
        QTest::newRow("Channels")
            << "Channels"
            << QStringList{"mono", "stereo", "3 ch", "4 ch", "5 ch", "6 ch", "7 ch", "8 ch"}
            << QList<int>{0, 0, 0, 0, 0, 0, 0, 0} << 1;
        QTest::newRow("Shiftmode") << "Shiftmode"
                                   << QStringList{"use frequency and time as entered",
                                                  "shift frequency to fit time",
                                                  "shift time to fit frequency"}
                                   << QList<int>{0, 0, 0} << 2;
    }

    void startUpLists() {
        QFETCH(QString, list);
        QFETCH(QStringList, items);
        QFETCH(QList<int>, values);
        QFETCH(int, selected);
        auto form = makeForm();
        QComboBox* combo = form->findChild<QComboBox*>(list);
        QVERIFY(combo);
        QVERIFY(!combo->isEditable());
        QCOMPARE(combo->count(), items.size());
        for (int i = 0; i < combo->count(); ++i) {
            QCOMPARE(combo->itemText(i), items[i]);
            QCOMPARE(combo->itemData(i).toInt(), values[i]);
        }
        QCOMPARE(combo->currentIndex(), selected);
    }

    void startUpControls() {
        auto form = makeForm();
        const std::pair<const char*, const char*> texts[] = {
            {"StartFreq", "20"}, {"EndFreq", "20000"}, {"StartLevel", "0"}, {"EndLevel", "0"},
            {"Steps", "10"},     {"ToneTime", "200"},  {"ToneCycles", "20"},
            {"FileName", "filename.wav"}};
        for (const auto& [name, text] : texts) QCOMPARE(form->find<QLineEdit>(name)->text(), QString::fromLatin1(text));
        QVERIFY(form->find<QCheckBox>("Logsteps")->isChecked());
        QVERIFY(form->find<QCheckBox>("Dither1")->isChecked());
        QVERIFY(boxes_.empty());
        verifyIdle(*form);
        QCOMPARE(form->state().sAppDirectory, appDir_.toStdString());
        QCOMPARE(form->find<QLabel>("titletext")->text(), QStringLiteral("AUDIO SINE SWEEPS"));
        QCOMPARE(form->find<QLabel>("Label16")->text(),
                 QStringLiteral("WAV file digital test signal generation"));
        QVERIFY(!form->find<QLabel>("Image1")->pixmap().isNull());
    }

    void captionsAndTooltips() {
        auto form = makeForm();
        struct Row {
            const char* name;
            const char* caption;
            const char* tip;
        };
        const Row rows[] = {
            {"StartFreq", nullptr, "Starting frequency of the sweep in Hz"},
            {"EndFreq", nullptr, "Ending frequency of the sweep in Hz"},
            {"StartLevel", nullptr, "Starting amplitude of the sweep in dBFS"},
            {"EndLevel", nullptr, "Ending level of the sweep in dBFS"},
            {"Steps", nullptr, "Number of steps in the sweep (= tones - 1)"},
            {"Logsteps", "Use log frequency steps", "Use logarithmic frequency intervals"},
            {"ToneTime", nullptr, "Minimum duration of each tone in milliseconds"},
            {"ToneCycles", nullptr, "Minimum duration of each tone in cycles"},
            {"Dither1", "On", "Apply TPDF dither at the WAV file word length "},
            {"Shiftmode", nullptr,
             "Force clean zero crossing transitions between tones by adjusting freq or time"},
            {"Samplerate", nullptr, "Audio sample rate of the digital audio in the WAV file"},
            {"Wordlength", nullptr, "The word length of the digital audio in the WAV file"},
            {"Channels", nullptr, "The number of channels of audio in the WAV file"},
            {"ShowInfo", "Show Info",
             "Show information about the resulting file from the current settings"},
            {"AutoName", "Make file name", "Make a file name based on the current settings"},
            {"FileName", nullptr, "The name of the file to save the result to"},
            {"OK", "Generate file", "Generate the WAV file"},
            {"Abort", "Abort", "Abort generation of the WAV file"},
        };
        for (const Row& row : rows) {
            QWidget* w = form->find<QWidget>(row.name);
            QVERIFY2(w, row.name);
            QCOMPARE(w->toolTip(), QString::fromLatin1(row.tip));
            if (row.caption) QCOMPARE(qobject_cast<QAbstractButton*>(w)->text(), QString::fromLatin1(row.caption));
        }
        // No button answers Enter or Escape by itself.
        for (QPushButton* b : form->findChildren<QPushButton*>()) {
            QVERIFY(!b->autoDefault());
            QVERIFY(!b->isDefault());
        }
    }

    void focusAndTabOrder() {
        auto form = makeForm();
        QApplication::setActiveWindow(form.get());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QCOMPARE(QApplication::focusWidget(), form->find<QWidget>("StartFreq"));

        // The focus chain holds all 18 controls in order, Abort last.
        std::vector<QString> chain;
        QWidget* w = form->find<QWidget>("StartFreq");
        do {
            if (w->focusPolicy() & Qt::TabFocus) chain.push_back(w->objectName());
            w = w->nextInFocusChain();
        } while (w != form->find<QWidget>("StartFreq"));
        std::vector<QString> expected;
        for (const char* name : kInputNames) expected.push_back(QString::fromLatin1(name));
        expected.push_back(QStringLiteral("Abort"));
        QCOMPARE(chain, expected);

        // Tab walks the 17 enabled controls (Abort is disabled) and wraps.
        for (std::size_t i = 1; i <= kInputNames.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(),
                     QString::fromLatin1(kInputNames[i % kInputNames.size()]));
        }
    }

    void enterStartsNothing() {
        auto form = makeForm();
        for (const char* name : {"FileName", "OK", "StartFreq"}) {
            QWidget* w = form->find<QWidget>(name);
            w->setFocus();
            QTest::keyClick(w, Qt::Key_Return);
            QTest::keyClick(w, Qt::Key_Escape);
        }
        QVERIFY(form->statuses.empty());
        QVERIFY(!QFile::exists(outDir_ + QStringLiteral("/filename.wav")));
    }

    void enableFormNeverTouchesAbort() {
        auto form = makeForm();
        QPushButton* abort = form->find<QPushButton>("Abort");
        for (bool abortOn : {true, false}) {
            for (bool enabled : {false, true}) {
                abort->setEnabled(abortOn);
                Enable_form(*form, enabled);
                QCOMPARE(abort->isEnabled(), abortOn);
                for (const char* name : kInputNames) QCOMPARE(form->find<QWidget>(name)->isEnabled(), enabled);
            }
        }
    }

    void generateWithNothingChanged() {
        auto form = makeForm();
        QTest::mouseClick(form->find<QPushButton>("OK"), Qt::LeftButton);

        const QByteArray file = ReadFile(outDir_ + QStringLiteral("/filename.wav"));
        QCOMPARE(file.size(), 44 + form->state().iTotalBytes);
        QVERIFY(form->state().iTotalBytes > 0);
        QCOMPARE(file.left(4), QByteArray("RIFF"));
        QCOMPARE(file.mid(8, 8), QByteArray("WAVEfmt "));

        std::vector<std::string> expected{"Setting up calculations"};
        for (int k = 0; k <= 10; ++k) expected.push_back("Generating sweep step " + std::to_string(k) + " of 10");
        expected.push_back("Writing data to file...");
        QCOMPARE(form->statuses.size(), expected.size() + 2);
        QVERIFY(std::equal(expected.begin(), expected.end(), form->statuses.begin()));
        const QString done = QString::fromStdString(form->statuses[13]);
        QVERIFY2(done.startsWith("Done in ") && done.endsWith(" seconds"), qPrintable(done));
        QCOMPARE(form->statuses.back(), std::string("Sweep Configuration"));
        QCOMPARE(form->captions.front(), std::string("0/10: Sweep WAV generation"));
        QCOMPARE(form->captions.back(), std::string("Sweep WAV generation"));
        QCOMPARE(form->servicings, 11);
        QCOMPARE(services_.sleeps, std::vector<int>{2000});
        QVERIFY(boxes_.empty());
        verifyIdle(*form);
    }

    void abortClickDuringRun() {
        auto form = makeForm();
        QTimer timer;
        // The click lands at the start of tone 3, while "step 2" still shows.
        ActWhenStatusReads(*form, QStringLiteral("Generating sweep step 2 of 10"),
                           [](RecordingForm& f) { QTest::mouseClick(f.find<QWidget>("Abort"), Qt::LeftButton); },
                           timer);
        QTest::mouseClick(form->find<QPushButton>("OK"), Qt::LeftButton);

        const GeneratorState& s = form->state();
        QCOMPARE(form->statuses.at(form->statuses.size() - 2), std::string("Calculations aborted"));
        QCOMPARE(form->statuses.back(), std::string("Sweep Configuration"));
        QVERIFY(std::find(form->statuses.begin(), form->statuses.end(),
                          "Generating sweep step 4 of 10") == form->statuses.end());
        QCOMPARE(services_.sleeps, std::vector<int>{2000});

        // Full planned length; tones 0 to 2 and one frame of tone 3, then silence.
        const QByteArray file = ReadFile(outDir_ + QStringLiteral("/filename.wav"));
        QCOMPARE(file.size(), 44 + s.iTotalBytes);
        const int frame = s.iChannels * s.iBytesPerSample;
        const double framesBefore = std::accumulate(s.dSamples.begin(), s.dSamples.begin() + 3, 0.0);
        const qsizetype written = static_cast<qsizetype>(framesBefore) * frame + frame;
        QCOMPARE(s.iWritePos, written);
        const QByteArray rest = file.mid(44 + written);
        QVERIFY(!rest.isEmpty());
        QCOMPARE(rest.count('\0'), rest.size());
        QVERIFY(file.mid(44, written).count('\0') < written);
        verifyIdle(*form);
    }

    void closeDuringRunAborts() {
        auto form = makeForm();
        QTimer timer;
        bool openAfterClose = false;
        ActWhenStatusReads(*form, QStringLiteral("Generating sweep step 1 of 10"),
                           [&openAfterClose](RecordingForm& f) {
                               f.close();
                               openAfterClose = f.isVisible();
                           },
                           timer);
        QTest::mouseClick(form->find<QPushButton>("OK"), Qt::LeftButton);

        // The close waited for the run, then took place.
        QVERIFY(openAfterClose);
        QVERIFY(!form->isVisible());
        QCOMPARE(form->statuses.at(form->statuses.size() - 2), std::string("Calculations aborted"));
        QVERIFY(std::find(form->statuses.begin(), form->statuses.end(),
                          "Generating sweep step 3 of 10") == form->statuses.end());
        const QByteArray file = ReadFile(outDir_ + QStringLiteral("/filename.wav"));
        QCOMPARE(file.size(), 44 + form->state().iTotalBytes);
        QVERIFY(form->state().bAbort);
    }

    void closeWhenIdleCloses() {
        auto form = makeForm();
        QVERIFY(form->close());
        QVERIFY(!form->isVisible());
        QVERIFY(!form->state().bAbort);
    }

    void missingSettingsFallsBack() {
        QTemporaryDir home;
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(home.path()));
        UseSettingsFolder(temp_->filePath(QStringLiteral("no-settings")), nullptr);

        auto form = makeForm();
        qputenv("HOME", oldHome);
        QCOMPARE(boxes_.size(), std::size_t{1});
        QCOMPARE(boxes_[0].text, std::string("Couldn't find Olvane installation path"));
        QCOMPARE(boxes_[0].title, std::string());
        QCOMPARE(boxes_[0].icon, Icon::None);
        QCOMPARE(form->state().sWavetableFolder, std::string());

        // Files go straight into the root-level fallback folder.
        QTest::mouseClick(form->find<QPushButton>("OK"), Qt::LeftButton);
        QVERIFY(QFile::exists(home.filePath(QStringLiteral("filename.wav"))));
        verifyIdle(*form);
    }

    void faultsLeaveWindowIdle_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("removeFolder");
        QTest::newRow("write failure") << "" << "" << "Could not write the file " << true;
        QTest::newRow("oversize plan") << "Steps" << "1000" << QString::fromLatin1(kOversizeMessage) << false;
        QTest::newRow("entry not a number")
            << "EndFreq" << "2x" << "Please check the End frequency is a valid number." << false;
        QTest::newRow("out of range")
            << "StartLevel" << "3" << "Please check sweep start amplitude is between 0 and -200dBFS"
            << false;
    }

    void faultsLeaveWindowIdle() {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QString, message);
        QFETCH(bool, removeFolder);
        auto form = makeForm();
        if (removeFolder) QVERIFY(QDir(outDir_).removeRecursively());
        if (box == "Steps") {
            // The largest format with the longest tones: far beyond 2 GB.
            form->find<QComboBox>("Samplerate")->setCurrentIndex(4);
            form->find<QComboBox>("Wordlength")->setCurrentIndex(4);
            form->find<QComboBox>("Channels")->setCurrentIndex(7);
            form->find<QLineEdit>("ToneTime")->setText("10000");
        }
        if (!box.isEmpty()) form->findChild<QLineEdit*>(box)->setText(text);

        QTest::mouseClick(form->find<QPushButton>("OK"), Qt::LeftButton);
        QCOMPARE(boxes_.size(), std::size_t{1});
        QVERIFY2(QString::fromStdString(boxes_[0].text).startsWith(message), boxes_[0].text.c_str());
        QCOMPARE(boxes_[0].title, std::string("Sweep WAV generation"));
        QCOMPARE(boxes_[0].icon, Icon::Exclamation);
        QVERIFY(!form->state().bFileWritten);
        verifyIdle(*form);
        // The window still works: the next run (with good entries) writes its file.
        if (removeFolder) {
            QVERIFY(QDir().mkpath(outDir_));
            QTest::mouseClick(form->find<QPushButton>("OK"), Qt::LeftButton);
            QVERIFY(form->state().bFileWritten);
        }
    }

    void showInfoAndMakeFileName() {
        auto form = makeForm();
        form->find<QLineEdit>("Steps")->setText("2");
        form->find<QLineEdit>("EndLevel")->setText("-20");
        QTest::mouseClick(form->find<QPushButton>("ShowInfo"), Qt::LeftButton);
        QCOMPARE(boxes_.size(), std::size_t{1});
        QCOMPARE(boxes_[0].title, std::string("Sweep WAV generation - file info"));
        QCOMPARE(boxes_[0].icon, Icon::Information);
        QVERIFY(boxes_[0].text.find("\r\n") != std::string::npos);
        QVERIFY(allInputsEnabled(*form));

        // A long report goes to wav_info.txt in the output folder and is opened.
        form->find<QLineEdit>("Steps")->setText("100");
        QTest::mouseClick(form->find<QPushButton>("ShowInfo"), Qt::LeftButton);
        QCOMPARE(boxes_.size(), std::size_t{1});
        const QString info = outDir_ + QStringLiteral("/wav_info.txt");
        QCOMPARE(services_.viewed, std::vector<std::string>{info.toStdString()});
        QVERIFY(QFile::exists(info));

        const std::size_t statuses = form->statuses.size();
        QTest::mouseClick(form->find<QPushButton>("AutoName"), Qt::LeftButton);
        QCOMPARE(form->find<QLineEdit>("FileName")->text(),
                 QStringLiteral("SW 20Hz,0dBFS to 20kHz,-20dBFS.wav"));
        QCOMPARE(form->statuses.size(), statuses);
        QCOMPARE(boxes_.size(), std::size_t{1});
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int failures = 0;
    {
        WindowTest window;
        failures += QTest::qExec(&window, argc, argv);
    }
    {
        ProgressLineTest line;
        failures += QTest::qExec(&line, argc, argv);
    }
    return failures == 0 ? 0 : 1;
}

#include "window_test.moc"
