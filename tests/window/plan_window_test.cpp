// The menu bar and the plan view, driven through the window on the offscreen
// platform: the menus and their shortcuts, tone markers, the plan view's
// chart and table, exports and pictures, refusals and the About box.
#include <QAbstractButton>
#include <QApplication>
#include <QChart>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "app/form1.h"
#include "app/plan_view.h"
#include "plan/tone_plan.h"
#include "platform/system_services.h"
#include "report/plan_export.h"
#include "sweepwav_version.h"

using namespace sweepwav;

namespace {

// Real files; the hold, the viewer and the file manager are only recorded.
struct TestServices : SystemServices {
    void sleep_ms(int) override {}
    bool open_in_viewer(const std::string&) override { return true; }
    bool open_folder(const std::string& path) override { return folders.push_back(path), folderWorks; }
    std::vector<std::string> folders;
    bool folderWorks = true;
};

// The window with its message boxes recorded and the file question answered.
struct PlanForm : Form1 {
    explicit PlanForm(Services& sv)
        : Form1(sv, [this](const std::string& t, const std::string&, Icon) { boxes.push_back(t); }) {}
    QString askSaveFileName(const QString& caption, const QString& suggestion, const QStringList& filters,
                            QString* selected) override {
        questions << caption + " | " + suggestion + " | " + filters.join(";;");
        *selected = answerFilter.isEmpty() ? filters.value(0) : answerFilter;
        return answer;
    }
    template <typename T = QWidget>
    T* find(const QString& name) { return findChild<T*>(name); }
    QAction* action(const char* name) { return findChild<QAction*>(name); }
    void enter(const char* box, const char* text) { find<QLineEdit>(box)->setText(text); }

    std::vector<std::string> boxes;
    QStringList questions;
    QString answer, answerFilter;
};

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray Bytes(const std::string& s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

class PlanWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir temp_;
    QString outDir_;
    TestServices services_;
    int runs_ = 0;

    std::unique_ptr<PlanForm> makeForm() {
        auto form = std::make_unique<PlanForm>(services_);
        form->show();
        return form;
    }

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(temp_.filePath("config"))); }

    void init() {
        services_.folders.clear();
        services_.folderWorks = true;
        const QString run = temp_.filePath(QStringLiteral("run%1").arg(++runs_));
        outDir_ = run + "/Analyser/User Wavetables";
        QVERIFY(QDir().mkpath(outDir_));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, run + "/config");
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Corvalis", "Olvane")
            .setValue("Paths/Application directory", run + "/Analyser");
    }

    void menusAboveTheForm() {
        auto form = makeForm();
        QVERIFY(form->boxes.empty());
        const struct {
            const char* menu;
            QString title;
            QStringList actions;  // name, text, shortcut
        } menus[] = {
            {"FileMenu", "&File", {"ExportPlan", "&Export tone plan\u2026", "Ctrl+Shift+E",
                                   "OpenOutputFolder", "&Open output folder", "Ctrl+Shift+O",
                                   "", "", "",  // separator
                                   "Quit", "&Quit", QKeySequence(QKeySequence::Quit).toString()}},
            {"OptionsMenu", "&Options", {"WriteMarkers", "Write tone &markers", ""}},
            {"ViewMenu", "&View", {"SweepPlan", "&Sweep plan\u2026", "Ctrl+Shift+P"}},
            {"HelpMenu", "&Help", {"About", "&About sweepwav", ""}},
        };
        QStringList titles;
        for (QAction* a : form->menuBar()->actions()) titles << a->text();
        QCOMPARE(titles, QStringList({"&File", "&Options", "&View", "&Help"}));
        for (const auto& m : menus) {
            auto* menu = form->find<QMenu>(m.menu);
            QVERIFY2(menu, m.menu);
            QCOMPARE(menu->title(), m.title);
            QStringList actions;
            for (QAction* a : menu->actions()) actions << a->objectName() << a->text() << a->shortcut().toString();
            QCOMPARE(actions, m.actions);
        }
        QVERIFY(form->action("WriteMarkers")->isCheckable());
        QVERIFY(!form->action("WriteMarkers")->isChecked());
        QVERIFY(!form->state().bMarkers);

        // The bar sits above the form and stays out of its focus order.
        QCOMPARE(form->menuBar()->focusPolicy(), Qt::NoFocus);
        QVERIFY(form->menuBar()->geometry().bottom() < form->find("Header")->mapTo(form.get(), QPoint()).y());
        QStringList chain;
        QWidget* w = form->find("StartFreq");
        do {
            if (w->isVisible() && (w->focusPolicy() & Qt::TabFocus)) chain << w->objectName();
        } while ((w = w->nextInFocusChain()) != form->find("StartFreq"));
        QCOMPARE(chain, QString("StartFreq EndFreq StartLevel EndLevel Steps Logsteps ToneTime ToneCycles Dither1 "
                                "Shiftmode Samplerate Wordlength Channels ShowInfo AutoName FileName OK Abort")
                            .split(' '));
    }

    void shortcutsWorkFromATextBox() {
        auto form = makeForm();
        QApplication::setActiveWindow(form.get());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        // Every shortcut while the cursor is in a text box; Quit last. Quit
        // has the platform's keys (none on some platforms, such as this test's).
        QCOMPARE(form->action("Quit")->shortcuts(), QKeySequence::keyBindings(QKeySequence::Quit));
        for (const char* name : {"ExportPlan", "OpenOutputFolder", "SweepPlan", "Quit"}) {
            form->find("StartFreq")->setFocus();
            QAction* action = form->action(name);
            QSignalSpy triggered(action, &QAction::triggered);
            if (action->shortcut().isEmpty()) {
                action->trigger();
            } else {
                QTest::keySequence(form->find("StartFreq"), action->shortcut());
            }
            QVERIFY2(triggered.count() == 1, name);
            if (auto* view = form->find<PlanView>("PlanView")) view->close();
        }
        QCOMPARE(form->questions.size(), 1);
        QCOMPARE(services_.folders.size(), 1u);
        QVERIFY(!form->isVisible());
    }

    void markersAndRunLock() {
        auto form = makeForm();
        QAction* markers = form->action("WriteMarkers");
        for (bool on : {true, false, true}) {
            markers->trigger();
            QCOMPARE(form->state().bMarkers, on);
        }
        // During a run the commands that plan or change the file are off.
        form->enter("Steps", "2");
        QStringList offDuringRun;
        QTimer timer;
        connect(&timer, &QTimer::timeout, form.get(), [&] {
            if (!form->running()) return;
            timer.stop();
            for (QAction* a : form->menuBar()->findChildren<QAction*>()) {
                if (!a->isEnabled()) offDuringRun << a->objectName();
            }
            offDuringRun.sort();
        });
        timer.start(0);
        QTest::mouseClick(form->find("OK"), Qt::LeftButton);
        QCOMPARE(offDuringRun, QStringList({"ExportPlan", "SweepPlan", "WriteMarkers"}));
        for (const char* name : {"ExportPlan", "SweepPlan", "WriteMarkers"}) QVERIFY(form->action(name)->isEnabled());
        QVERIFY(form->state().bMarkers);
    }

    void planViewShowsThePlan_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("logSteps");
        QTest::addColumn<int>("shiftMode");
        QTest::newRow("log, 11 tones") << "10" << true << 2;
        QTest::newRow("linear, aligned frequencies") << "3" << false << 1;
        QTest::newRow("one tone") << "0" << true << 0;
    }

    void planViewShowsThePlan() {
        QFETCH(QString, steps);
        QFETCH(bool, logSteps);
        QFETCH(int, shiftMode);
        auto form = makeForm();
        form->find<QLineEdit>("Steps")->setText(steps);
        form->find<QAbstractButton>("Logsteps")->setChecked(logSteps);
        form->find<QComboBox>("Shiftmode")->setCurrentIndex(shiftMode);
        form->enter("EndLevel", "-40");
        form->action("SweepPlan")->trigger();
        auto* view = form->find<PlanView>("PlanView");
        QVERIFY(view && view->isVisible());
        QVERIFY(!view->isModal());
        QVERIFY(form->boxes.empty());

        // The table holds the exported CSV, cell by cell.
        const QStringList csv = QString::fromStdString(PlanCsv(form->state())).trimmed().split('\n');
        QTableWidget* table = view->table();
        QCOMPARE(table->rowCount(), form->state().iSteps + 1);
        QCOMPARE(csv.size(), table->rowCount() + 1);
        QStringList headers;
        for (int c = 0; c < table->columnCount(); ++c) headers << table->horizontalHeaderItem(c)->text();
        QCOMPARE(headers.join(','), csv[0]);
        for (int r = 0; r < table->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < table->columnCount(); ++c) cells << table->item(r, c)->text();
            QCOMPARE(cells.join(','), csv[r + 1]);
        }

        // Frequency and level as steps: two points per tone, on a log axis
        // for log steps.
        const auto series = view->chart()->series();
        QCOMPARE(series.size(), 2);
        for (auto* s : series) QCOMPARE(static_cast<QLineSeries*>(s)->count(), 2 * table->rowCount());
        auto* freq = static_cast<QLineSeries*>(series[0]);
        QCOMPARE(freq->at(1).y(), form->state().dFreq[0]);
        QCOMPARE(freq->at(1).x(), form->state().dSamples[0] / form->state().iSampleRate);
        const auto axes = freq->attachedAxes();
        const bool onLogAxis = std::any_of(axes.begin(), axes.end(),
                                           [](QAbstractAxis* a) { return qobject_cast<QLogValueAxis*>(a); });
        QCOMPARE(onLogAxis, logSteps);

        // A second view replaces the first; closing the window closes it.
        QPointer<PlanView> first = view;
        view = form->showPlanView();
        QTRY_VERIFY(!first);
        QVERIFY(view->isVisible());
        form->close();
        QTRY_VERIFY(!view->isVisible());
    }

    void refusalsOpenNothing_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        const QString notANumber = "Please check the start frequency is a valid number.";
        QTest::newRow("plan view, not a number") << "SweepPlan" << "StartFreq" << "abc" << notANumber;
        QTest::newRow("export, not a number") << "ExportPlan" << "StartFreq" << "abc" << notANumber;
        QTest::newRow("plan view, out of range")
            << "SweepPlan" << "Steps" << "1001" << "Please check the number of steps is between 0 and 1000";
        QTest::newRow("export, too large") << "ExportPlan" << "ToneTime" << "10000" << QString(kOversizeMessage);
    }

    void refusalsOpenNothing() {
        QFETCH(QString, action);
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QString, message);
        auto form = makeForm();
        form->find<QLineEdit>(box)->setText(text);
        form->find<QLineEdit>("Steps")->setText(box == "Steps" ? text : "1000");
        form->find<QComboBox>("Channels")->setCurrentIndex(7);  // 1001 tones of 10 s in 8 channels: 7 GB
        form->action(qPrintable(action))->trigger();
        QCOMPARE(form->boxes, std::vector<std::string>{message.toStdString()});
        QVERIFY(!form->find<PlanView>("PlanView"));
        QVERIFY(form->questions.isEmpty());
    }

    void exportWritesTheChosenFile_data() {
        QTest::addColumn<bool>("fromView");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("format");
        QTest::newRow("csv") << false << "plan.csv" << "" << "csv";
        QTest::newRow("json by its name") << false << "Plan.JSON" << "CSV files (*.csv)" << "json";
        QTest::newRow("other name, json filter") << false << "plan.txt" << "JSON files (*.json)" << "json";
        QTest::newRow("from the plan view") << true << "view.json" << "" << "json";
        QTest::newRow("missing folder") << false << "missing/plan.csv" << "" << "";
    }

    void exportWritesTheChosenFile() {
        QFETCH(bool, fromView);
        QFETCH(QString, name);
        QFETCH(QString, filter);
        QFETCH(QString, format);
        auto form = makeForm();
        form->enter("Steps", "4");
        form->enter("FileName", "mine");
        form->answer = outDir_ + "/" + name;
        form->answerFilter = filter;
        if (fromView) {
            PlanView* view = form->showPlanView();
            form->enter("Steps", "7");  // the view exports what it shows
            QTest::mouseClick(view->exportButton(), Qt::LeftButton);
            form->enter("Steps", "4");
            QVERIFY(form->action("ExportPlan")->isEnabled());
        } else {
            form->action("ExportPlan")->trigger();
        }
        QCOMPARE(form->questions, QStringList{"Export tone plan | " + outDir_ +
                                              "/mine.csv | CSV files (*.csv);;JSON files (*.json)"});
        if (format.isEmpty()) {
            QCOMPARE(form->boxes.size(), 1u);
            QVERIFY2(QString::fromStdString(form->boxes[0]).startsWith("Could not write the file " + form->answer + ": "),
                     form->boxes[0].c_str());
            return;
        }
        QVERIFY(form->boxes.empty());
        const GeneratorState& s = form->state();
        QCOMPARE(s.iSteps, 4);
        QCOMPARE(ReadFile(form->answer), Bytes(format == "csv" ? PlanCsv(s) : PlanJson(s)));
    }

    void chartPicture() {
        auto form = makeForm();
        PlanView* view = form->showPlanView();
        QVERIFY(QTest::qWaitForWindowExposed(view));
        for (const QString& name : {QString("chart.png"), QString("missing/chart.png")}) {
            form->answer = outDir_ + "/" + name;
            QTest::mouseClick(view->pictureButton(), Qt::LeftButton);
        }
        QCOMPARE(form->questions.value(0), "Save chart picture | " + outDir_ + "/filename.png | PNG pictures (*.png)");
        const QImage picture = QImage::fromData(ReadFile(outDir_ + "/chart.png"), "PNG");
        QVERIFY(!picture.isNull());
        QCOMPARE(picture.size(), view->chartPng().isEmpty() ? QSize() : QImage::fromData(view->chartPng()).size());
        QCOMPARE(form->boxes.size(), 1u);
        QVERIFY(QString::fromStdString(form->boxes[0]).startsWith("Could not write the file " + outDir_ + "/missing/"));
    }

    void outputFolderAndAbout() {
        auto form = makeForm();
        for (bool works : {true, false}) {
            services_.folderWorks = works;
            form->action("OpenOutputFolder")->trigger();
        }
        const std::string folder = (outDir_ + "/").toStdString();
        QCOMPARE(services_.folders, std::vector<std::string>(2, folder));
        QCOMPARE(form->boxes, std::vector<std::string>{"Could not open " + folder + " in the file manager."});

        form->action("About")->trigger();
        auto* about = form->find<QMessageBox>("AboutBox");
        QVERIFY(about && about->isVisible() && !about->isModal());
        QCOMPARE(about->windowTitle(), "About sweepwav");
        QCOMPARE(about->text(), "sweepwav " SWEEPWAV_VERSION "\n\n"
                                "Writes stepped sine-sweep test signals as PCM WAV files for an audio analyser.\n\n"
                                "Released under the MIT licence.");
        form->close();
        QTRY_VERIFY(!form->find<QMessageBox>("AboutBox"));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    PlanWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "plan_window_test.moc"
