// The menu bar and the plan view, driven through the window on the offscreen
// platform: menus, shortcuts, the output folder and About, tone markers, the
// plan view's chart and table, exports and pictures, refusals.
#include <QAbstractButton>
#include <QApplication>
#include <QCategoryAxis>
#include <QChart>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGraphicsLineItem>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QLabel>
#include <QPushButton>
#include <QAccessible>
#include <QTest>
#include <QTimer>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>

#include "window/form1.h"
#include "window/plan_view.h"
#include "plan/tone_plan.h"
#include "platform/system_services.h"
#include "report/plan_export.h"
#include "sweepwav_version.h"
#include "support/not_regular_files.h"

using namespace sweepwav;

namespace {

// Real files; the hold, the viewer and the file manager are only recorded.
struct TestServices : SystemServices {
    void sleep_ms(int) override {}
    Status open_in_viewer(const std::string&) override { return {}; }
    Status open_folder(const std::string& path) override {
        folders.push_back(path);
        return folderWorks ? Status() : Status::Failure("no file manager");
    }
    std::vector<std::string> folders;
    bool folderWorks = true;
};

// The window with its message boxes recorded and the file question answered.
struct PlanForm : Form1 {
    explicit PlanForm(Services& sv)
        : Form1(sv, [this](const std::string& t, const std::string&, Icon) { boxes.push_back(t); }) {}
    QString ask_save_file_name(const QString& caption, const QString& suggestion, const QStringList& filters,
                            QString* selected) override {
        questions << caption + " | " + suggestion + " | " + filters.join(";;");
        *selected = answerFilter.isEmpty() ? filters.value(0) : answerFilter;
        return answer;
    }
    QString ask_open_file_name(const QString& caption, const QString&, const QStringList&) override {
        questions << caption;
        return answer;
    }
    template <typename T = QWidget>
    T* find(const QString& name) { return findChild<T*>(name); }
    QAction* action(const QString& name) { return findChild<QAction*>(name); }
    void enter(const char* box, const QString& text) { find<QLineEdit>(box)->setText(text); }

    std::vector<std::string> boxes;
    QStringList questions;
    QString answer, answerFilter;
};

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

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

    void menusShortcutsFolderAndAbout() {
        auto form = makeForm();
        const QString quitKeys = QKeySequence(QKeySequence::Quit).toString();  // none on this platform
        const std::pair<const char*, QStringList> menus[] = {
            {"FileMenu", {"&File", "ExportPlan", "&Export tone plan\u2026", "Ctrl+Shift+E", "OpenOutputFolder",
                          "&Open output folder", "Ctrl+Shift+O", "", "", "", "OpenSettings", "O&pen settings\u2026",
                          "Ctrl+O", "SaveSettings", "&Save settings as\u2026", "Ctrl+S", "RecentSettings",
                          "&Recent settings", "", "Presets", "Prese&ts", "", "Reset", "Reset to start-&up values", "", "",
                          "", "", "Quit", "&Quit", quitKeys}},
            {"OptionsMenu", {"&Options", "WriteMarkers", "Write tone &markers", "", "SignalOptions",
                             "&Signal options\u2026", "", "Frequencies", "&Frequencies\u2026", ""}},
            {"ViewMenu", {"&View", "SweepPlan", "&Sweep plan\u2026", "Ctrl+Shift+P"}},
            {"HelpMenu", {"&Help", "About", "&About sweepwav", ""}},
        };
        QCOMPARE(form->menu_bar()->actions().size(), 4);
        for (const auto& [name, entries] : menus) {
            auto* menu = form->find<QMenu>(name);
            QStringList shown{menu->title()};
            for (QAction* a : menu->actions()) shown << a->objectName() << a->text() << a->shortcut().toString();
            QCOMPARE(shown, entries);
        }
        QCOMPARE(form->action("Quit")->shortcuts(), QKeySequence::keyBindings(QKeySequence::Quit));
        QVERIFY(form->action("WriteMarkers")->isCheckable() && !form->action("WriteMarkers")->isChecked());
        // Above the form and out of its focus order (window_test checks the order).
        QCOMPARE(form->menu_bar()->focusPolicy(), Qt::NoFocus);
        QVERIFY(form->menu_bar()->geometry().bottom() < form->find("Header")->mapTo(form.get(), QPoint()).y());

        // The keys work while the cursor is in a text box.
        QApplication::setActiveWindow(form.get());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        services_.folderWorks = false;
        for (const char* name : {"ExportPlan", "OpenOutputFolder", "SweepPlan"}) {
            QSignalSpy triggered(form->action(name), &QAction::triggered);
            form->find("StartFreq")->setFocus();
            QTest::keySequence(form->find("StartFreq"), form->action(name)->shortcut());
            QVERIFY2(triggered.count() == 1, name);
        }
        QCOMPARE(form->questions.size(), 1);
        QVERIFY(form->find<PlanView>("PlanView"));
        const std::string folder = (outDir_ + "/").toStdString();
        QCOMPARE(services_.folders, std::vector<std::string>{folder});
        QCOMPARE(form->boxes, std::vector<std::string>{"Could not open " + folder + " in the file manager."});

        form->action("About")->trigger();
        auto* about = form->find<QMessageBox>("AboutBox");
        QVERIFY(about && about->isVisible() && !about->isModal());
        QVERIFY(about->text().startsWith("sweepwav " SWEEPWAV_VERSION "\n") && about->text().contains("MIT licence"));
        // Quit closes the window, and with it the plan view and the About box.
        form->action("Quit")->trigger();
        QVERIFY(!form->isVisible());
        QTRY_VERIFY(!form->find<QMessageBox>("AboutBox") && !form->find<PlanView>("PlanView"));
    }

    void settingsFiles() {
        // Saved from one window, opened in another: the same form, markers included.
        auto saved = makeForm();
        saved->enter("StartFreq", " 1e3 ");
        saved->enter("FileName", "Süß.sweep.wav");
        saved->find<QComboBox>("Channels")->setCurrentIndex(7);
        saved->action("WriteMarkers")->trigger();
        saved->answer = temp_.filePath("a.sweep");
        saved->action("SaveSettings")->trigger();
        QVERIFY(saved->boxes.empty());

        auto opened = makeForm();
        opened->answer = saved->answer;
        opened->action("OpenSettings")->trigger();
        QCOMPARE(opened->find<QLineEdit>("StartFreq")->text(), " 1e3 ");
        QCOMPARE(opened->find<QLineEdit>("FileName")->text(), "Süß.sweep.wav");
        QCOMPARE(opened->find<QComboBox>("Channels")->currentIndex(), 7);
        QVERIFY(opened->action("WriteMarkers")->isChecked() && opened->state().markers);
        QVERIFY(!opened->state().bFileWritten);  // opening runs nothing
        // The file is at the top of the recent list, which opens it again: its
        // name first, the whole path in the tooltip.
        QList<QAction*> recent = opened->find<QMenu>("RecentSettingsMenu")->actions();
        QVERIFY(!recent.isEmpty());
        QVERIFY2(recent[0]->text().startsWith("&1 a.sweep \u2014 "), qPrintable(recent[0]->text()));
        QCOMPARE(recent[0]->toolTip(), saved->answer);

        // A file that is not a settings file changes nothing.
        QFile bad(temp_.filePath("bad.sweep"));
        QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("[Paths]\n") > 0);
        bad.close();
        opened->enter("StartFreq", "5");
        opened->answer = bad.fileName();
        opened->action("OpenSettings")->trigger();
        QCOMPARE(opened->find<QLineEdit>("StartFreq")->text(), "5");
        QCOMPARE(opened->boxes, std::vector<std::string>{"Could not open the settings file " + bad.fileName().toStdString() +
                                                         ": it is not a sweepwav settings file."});
        recent[0]->trigger();
        QCOMPARE(opened->find<QLineEdit>("StartFreq")->text(), " 1e3 ");
    }

    void signalOptions() {
        auto form = makeForm();
        QCOMPARE(form->find<QLabel>("SignalOptions")->isVisible(), false);
        // answer(fields, list, mode): fills the dialog's fields as a person would, and presses OK.
        QString shownLeadIn, problem;
        const auto answer = [&](const std::map<QString, QString>& fields, int mode, const QString& list) {
            QTimer::singleShot(0, form.get(), [&, fields, mode, list] {
                auto* dialog = form->find<QDialog>("SignalOptionsDialog");
                QVERIFY(dialog);
                shownLeadIn = dialog->findChild<QLineEdit*>("LeadInMs")->text();
                for (const auto& [name, text] : fields) dialog->findChild<QLineEdit*>(name)->setText(text);
                dialog->findChild<QComboBox*>("SignalChannels")->setCurrentIndex(mode);
                dialog->findChild<QLineEdit*>("SignalChannelList")->setText(list);
                dialog->accept();
                problem = dialog->isVisible() ? dialog->findChild<QLabel*>("SignalOptionsProblem")->text() : QString();
                if (dialog->isVisible()) dialog->reject();
            });
            form->action("SignalOptions")->trigger();
        };
        answer({{"GapMs", "100"}, {"RampMs", "5"}}, 1, " 1, 2 ");
        QCOMPARE(form->state().signal.gapMs, 100.0);
        QCOMPARE(form->state().signal.channels.channels, (std::vector<int>{1, 2}));
        QCOMPARE(form->find<QLabel>("SignalOptions")->text(), "Signal: gap 100 ms, ramps 5 ms, channels 1,2");
        // The form itself is as it was.
        QCOMPARE(form->find<QLineEdit>("StartFreq")->text(), "20");

        // Values are shown and kept as given, to the last digit; only an edited one changes.
        // (A settings file may hold more digits than the field shows.)
        const double leadIn = 0.1 + 0.2;  // 0.30000000000000004
        form->state().signal.leadInMs = leadIn;
        form->state().signal.gapMs = 1.0105;
        answer({{"TailMs", "2"}}, 1, "1,2");
        QCOMPARE(shownLeadIn, "0.3");
        QVERIFY(form->state().signal.leadInMs == leadIn);
        QCOMPARE(form->state().signal.gapMs, 1.0105);
        QCOMPARE(form->state().signal.tailMs, 2.0);
        // A value out of range is refused in the dialog, and nothing changes.
        answer({{"RampMs", "1001"}}, 0, "");
        QCOMPARE(problem, "Ramps where a tone meets silence must be a number from 0 to 1000 ms.");
        QCOMPARE(form->state().signal.rampMs, 5.0);
        QCOMPARE(form->state().signal.channels.channels, (std::vector<int>{1, 2}));
    }

    void signalOptionsDialogIsNamedLikeTheForm() {
        auto form = makeForm();
        QStringList names, undescribed;
        QTimer::singleShot(0, form.get(), [&] {
            auto* dialog = form->find<QDialog>("SignalOptionsDialog");
            QVERIFY(dialog);
            for (QWidget* w : dialog->findChildren<QWidget*>()) {
                if (!(w->focusPolicy() & Qt::TabFocus) || qobject_cast<QAbstractButton*>(w)) continue;
                QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
                names << a->text(QAccessible::Name);
                if (a->text(QAccessible::Description).isEmpty()) undescribed << w->objectName();
            }
            dialog->reject();
        });
        form->action("SignalOptions")->trigger();
        QCOMPARE(names, QStringList({"Lead-in silence", "Gap between tones", "Tail silence",
                                     "Ramps where a tone meets silence", "Signal on", "These channels"}));
        QCOMPARE(undescribed, QStringList());
    }

    void frequenciesInPlaceOfTheSteps() {
        auto form = makeForm();
        const auto choose = [&](int spacing, const QString& list) {
            QTimer::singleShot(0, form.get(), [&, spacing, list] {
                auto* dialog = form->find<QDialog>("FrequenciesDialog");
                QVERIFY(dialog);
                dialog->findChild<QComboBox*>("Spacing")->setCurrentIndex(spacing);
                dialog->findChild<QLineEdit*>("FrequencyList")->setText(list);
                dialog->accept();
            });
            form->action("Frequencies")->trigger();
        };
        form->enter("Steps", "abc");  // greyed with bands, and then neither checked nor used
        choose(2, "");
        QCOMPARE(form->state().toneSpacing, "bands3");
        QCOMPARE(form->find<QLabel>("SignalOptions")->text(), "Frequencies: third-octave bands");
        // The steps and their spacing count no more, also after a run.
        QVERIFY(!form->find("Steps")->isEnabled() && !form->find("Logsteps")->isEnabled());
        form->enter("ToneTime", "1");
        form->enter("ToneCycles", "0");
        QTest::mouseClick(form->find("OK"), Qt::LeftButton);
        QVERIFY(form->boxes.empty());
        QCOMPARE(form->state().iSteps, 29);  // 25 Hz to 20 kHz: 19.953 Hz lies below 20 Hz
        QCOMPARE(form->find<QLineEdit>("Steps")->text(), "abc");
        QVERIFY(!form->find("Steps")->isEnabled() && form->find("ToneTime")->isEnabled());
        choose(6, "100, 200");
        QCOMPARE(form->state().toneList, "100, 200");
        QCOMPARE(form->find<QLabel>("SignalOptions")->text(), "Frequencies: the listed frequencies");
        choose(0, "100, 200");
        QVERIFY(form->find("Steps")->isEnabled() && form->find("Logsteps")->isEnabled());
        QVERIFY(!form->find<QLabel>("SignalOptions")->isVisible());
    }

    void markersAndRunLock() {
        auto form = makeForm();
        for (bool on : {true, false, true}) {
            form->action("WriteMarkers")->trigger();
            QCOMPARE(form->state().markers, on);
        }
        // During a run the commands that plan or change the file are off.
        form->enter("Steps", "2");
        QStringList offDuringRun;
        QTimer timer;
        connect(&timer, &QTimer::timeout, form.get(), [&] {
            if (!form->running()) return;
            timer.stop();
            for (QAction* a : form->menu_bar()->findChildren<QAction*>()) {
                if (!a->isEnabled()) offDuringRun << a->objectName();
            }
        });
        timer.start(0);
        QTest::mouseClick(form->find("OK"), Qt::LeftButton);
        offDuringRun.sort();
        QCOMPARE(offDuringRun,
                 QStringList({"ExportPlan", "Frequencies", "OpenSettings", "Presets", "RecentSettings", "Reset",
                              "SignalOptions", "SweepPlan", "WriteMarkers"}));
        // Back on after the run; the recent files and the presets only once
        // there are some (none are installed beside the tests).
        for (const QString& name : offDuringRun) {
            QCOMPARE(form->action(name)->isEnabled(), name != "RecentSettings" && name != "Presets");
        }
        QVERIFY(form->state().markers);
    }

    void planView_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("logSteps");
        QTest::addColumn<int>("shiftMode");
        QTest::addColumn<QString>("endLevel");
        QTest::addColumn<QString>("title");
        QTest::newRow("log, aligned lengths")
            << "10" << true << 2 << "-200" << "filename.wav: 20Hz to 20kHz, 11 tones, log spacing, 44.1kHz 16 bit stereo";
        QTest::newRow("linear, aligned frequencies")
            << "3" << false << 1 << "-40" << "filename.wav: 20Hz to 20kHz, 4 tones, linear spacing, 44.1kHz 16 bit stereo";
        QTest::newRow("one tone at 0 dBFS")
            << "0" << true << 0 << "0" << "filename.wav: 20Hz to 20kHz, 1 tone, log spacing, 96kHz 24 bit mono";
    }

    void planView() {
        QFETCH(QString, steps);
        QFETCH(bool, logSteps);
        QFETCH(int, shiftMode);
        QFETCH(QString, endLevel);
        QFETCH(QString, title);
        auto form = makeForm();
        form->enter("Steps", steps);
        form->enter("EndLevel", endLevel);
        form->find<QAbstractButton>("Logsteps")->setChecked(logSteps);
        form->find<QComboBox>("Shiftmode")->setCurrentIndex(shiftMode);
        if (steps == "0") {
            form->find<QComboBox>("Samplerate")->setCurrentIndex(3);
            form->find<QComboBox>("Wordlength")->setCurrentIndex(4);
            form->find<QComboBox>("Channels")->setCurrentIndex(0);
        }
        form->action("SweepPlan")->trigger();
        auto* view = form->find<PlanView>("PlanView");
        QVERIFY(view && view->isVisible() && !view->isModal());
        QVERIFY(form->boxes.empty());
        QCOMPARE(view->chart()->title(), title);

        // Headings in words; each number rounded to its column's decimals,
        // with the exported value in full as the cell's tooltip.
        const GeneratorState& s = form->state();
        const std::vector<PlanRow> rows = PlanRows(s);
        QTableWidget* table = view->table();
        QCOMPARE(table->rowCount(), s.iSteps + 1);
        QStringList headings;
        for (int c = 0; c < table->columnCount(); ++c) headings << table->horizontalHeaderItem(c)->text();
        QCOMPARE(headings, QStringList({"Tone", "First frame", "Frames", "Start (s)", "Duration (s)", "Frequency (Hz)",
                                        "Level (dBFS)", "Peak (codes)", "Cycles"}));
        // No heading is cut.
        for (int c = 0; c < table->columnCount(); ++c) {
            QVERIFY(table->columnWidth(c) >= table->horizontalHeader()->sectionSizeHint(c));
        }
        const int decimals[] = {0, 0, 0, 6, 6, 3, 3, 1, 3};
        for (int r = 0; r < table->rowCount(); ++r) {
            const auto exact = PlanRowTexts(rows[static_cast<std::size_t>(r)]);
            for (int c = 0; c < table->columnCount(); ++c) {
                const QTableWidgetItem* cell = table->item(r, c);
                const double value = QString::fromStdString(exact[static_cast<std::size_t>(c)]).toDouble();
                const QString where = cell->text() + " for " + QString::fromStdString(exact[static_cast<std::size_t>(c)]);
                QCOMPARE(cell->text().section('.', 1).size(), decimals[c]);
                QVERIFY2(qAbs(cell->text().toDouble() - value) <= 0.5000001 * std::pow(10.0, -decimals[c]), qPrintable(where));
                QVERIFY2(!cell->text().startsWith('-') || cell->text().toDouble() != 0, qPrintable(where));
                if (decimals[c] > 0) QCOMPARE(cell->toolTip(), QString::fromStdString(exact[static_cast<std::size_t>(c)]));
            }
        }

        // Frequency and level as steps, two points a tone; log steps on a log axis.
        const auto series = view->chart()->series();
        QCOMPARE(series.size(), 2);
        for (auto* line : series) QCOMPARE(static_cast<QLineSeries*>(line)->count(), 2 * table->rowCount());
        auto* freq = static_cast<QLineSeries*>(series[0]);
        QCOMPARE(freq->at(1), QPointF(s.dSamples[0] / s.iSampleRate, s.dFreq[0]));
        QCOMPARE(static_cast<QLineSeries*>(series[1])->at(0).y(), s.dLevel[0]);
        QCOMPARE(qobject_cast<QLogValueAxis*>(freq->attachedAxes().value(1)) != nullptr, logSteps);
        // The level axis covers the levels, with little room above the highest.
        const auto [lowest, highest] = std::minmax_element(s.dLevel.begin(), s.dLevel.end());
        auto* levels = qobject_cast<QValueAxis*>(static_cast<QLineSeries*>(series[1])->attachedAxes().value(1));
        QVERIFY(levels && levels->min() < *lowest && levels->max() > *highest);
        QVERIFY2(levels->max() <= *highest + 0.05 * std::max(*highest - *lowest, 1.0), qPrintable(QString::number(levels->max())));

        // The axes show the engine's ticks: a label at each labelled one (a
        // log axis at its logarithm), a grid line across the plot at each other.
        QStringList shown, wanted;
        for (QAbstractAxis* axis : view->chart()->axes()) {
            auto* c = qobject_cast<QCategoryAxis*>(axis);
            for (const QString& label : c ? c->categoriesLabels() : QStringList()) {
                shown << c->titleText() + " " + label + " at " + QString::number(c->endValue(label));
            }
        }
        QList<int> gridOnly, gridLines;  // where the grid lines without a label are
        const PlanChart axes = PlanChartAxes(rows, logSteps);
        for (const ChartAxis* a : {&axes.time, &axes.frequency, &axes.level}) {
            for (const ChartTick& t : a->ticks) {
                if (t.label.empty()) gridOnly << qRound(view->chart()->mapToPosition({0, t.value}, freq).y());
                if (!t.label.empty()) {
                    wanted << QString::fromStdString(a->title + " " + t.label) + " at " +
                                  QString::number(a->log ? std::log10(t.value) : t.value);
                }
            }
        }
        shown.sort();
        wanted.sort();
        QCOMPARE(shown, wanted);
        // The lines are drawn on the same ends as the axes show.
        for (auto [line, values] : {std::pair(series[0], &axes.frequency), std::pair(series[1], &axes.level)}) {
            for (auto [axis, ends] : {std::pair(line->attachedAxes()[0], &axes.time), std::pair(line->attachedAxes()[1], values)}) {
                QCOMPARE(QPointF(axis->property("min").toDouble(), axis->property("max").toDouble()), QPointF(ends->low, ends->high));
            }
        }
        for (QGraphicsItem* item : view->chart()->childItems()) {
            if (auto* line = qgraphicsitem_cast<QGraphicsLineItem*>(item)) gridLines << qRound(line->line().y1());
        }
        QCOMPARE(gridLines, gridOnly);

        // A second view replaces the first.
        QPointer<PlanView> first = view;
        QVERIFY(form->show_plan_view() != view);
        QTRY_VERIFY(!first);
    }

    void planViewByKeyboard() {
        auto form = makeForm();
        form->enter("Steps", "200");  // a table far longer than its view
        PlanView* view = form->show_plan_view();
        QVERIFY(view);
        QApplication::setActiveWindow(view);
        QVERIFY(QTest::qWaitForWindowActive(view));
        auto* table = view->findChild<QTableWidget*>("PlanTable");
        auto* chart = view->findChild<QWidget*>("PlanChart");
        // Tab goes round the chart, the table and the buttons; arrows move in the table.
        QStringList order;
        chart->setFocus();
        for (int i = 0; i < 6; ++i) {
            order << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(order, QStringList({"PlanChart", "PlanTable", "ExportPlanButton", "SavePictureButton", "CloseButton",
                                     "PlanChart"}));
        table->setFocus();
        table->setCurrentCell(0, 0);
        QTest::keyClick(table, Qt::Key_Down);
        QCOMPARE(table->currentRow(), 1);
        // Both say what they are.
        QCOMPARE(QAccessible::queryAccessibleInterface(chart)->text(QAccessible::Name), "Sweep plan chart");
        QVERIFY(QAccessible::queryAccessibleInterface(chart)->text(QAccessible::Description).startsWith("filename.wav: "));
        QCOMPARE(QAccessible::queryAccessibleInterface(table)->text(QAccessible::Name), "Tone plan table");
        view->close();
    }

    void refusalsOpenNothing_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("startFreq");
        QTest::addColumn<QString>("message");
        const QString notANumber = "Please check the start frequency is a valid number.";
        QTest::newRow("plan view, not a number") << "SweepPlan" << "10" << "abc" << notANumber;
        QTest::newRow("export, not a number") << "ExportPlan" << "10" << "abc" << notANumber;
        QTest::newRow("out of range") << "SweepPlan" << "1001" << "20"
                                      << "Please check the number of steps is between 0 and 1000";
        QTest::newRow("too large") << "ExportPlan" << "1000" << "20" << QString(kOversizeMessage);
    }

    void refusalsOpenNothing() {
        QFETCH(QString, action);
        QFETCH(QString, steps);
        QFETCH(QString, startFreq);
        QFETCH(QString, message);
        auto form = makeForm();
        form->enter("StartFreq", startFreq);
        form->enter("Steps", steps);
        form->enter("ToneTime", "10000");
        form->find<QComboBox>("Channels")->setCurrentIndex(7);  // 1001 tones of 10 s in 8 channels: 7 GB
        form->action(action)->trigger();
        QCOMPARE(form->boxes, std::vector<std::string>{message.toStdString()});
        QVERIFY(!form->find<PlanView>("PlanView"));
        QVERIFY(form->questions.isEmpty());
    }

    void exportAndPicture_data() {
        QTest::addColumn<QString>("source");  // a menu action or a button of the plan view
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("written");  // csv, json, png or empty for a failed write
        QTest::addColumn<QString>("planted");  // a socket at the name, or nothing
        QTest::newRow("csv") << "ExportPlan" << "plan.csv" << "" << "csv" << "";
        QTest::newRow("json by its name") << "ExportPlan" << "Plan.JSON" << "CSV files (*.csv)" << "json" << "";
        QTest::newRow("other name, json filter") << "ExportPlan" << "plan.txt" << "JSON files (*.json)" << "json" << "";
        QTest::newRow("from the plan view") << "ExportPlanButton" << "view.json" << "" << "json" << "";
        QTest::newRow("missing folder") << "ExportPlan" << "missing/plan.csv" << "" << "" << "";
        QTest::newRow("plan at a socket") << "ExportPlan" << "plan.csv" << "" << "" << "socket";
        QTest::newRow("chart picture") << "SavePictureButton" << "chart.png" << "" << "png" << "";
        QTest::newRow("chart, missing folder") << "SavePictureButton" << "missing/chart.png" << "" << "" << "";
        QTest::newRow("chart at a socket") << "SavePictureButton" << "chart.png" << "" << "" << "socket";
    }

    void exportAndPicture() {
        QFETCH(QString, source);
        QFETCH(QString, name);
        QFETCH(QString, filter);
        QFETCH(QString, written);
        QFETCH(QString, planted);
        auto form = makeForm();
        form->enter("Steps", "4");
        form->enter("FileName", "mine");
        form->answer = outDir_ + "/" + name;
        form->answerFilter = filter;
        const std::filesystem::path at = QFile::encodeName(form->answer).toStdString();
        if (planted == "socket") QVERIFY(testing::MakeSocket(at));
        if (source.endsWith("Button")) {
            PlanView* view = form->show_plan_view();
            QVERIFY(QTest::qWaitForWindowExposed(view));
            form->enter("Steps", "7");  // the view keeps the plan it shows
            QTest::mouseClick(view->findChild<QWidget*>(source), Qt::LeftButton);
            form->enter("Steps", "4");
        } else {
            form->action(source)->trigger();
        }
        const bool png = source == "SavePictureButton";
        QCOMPARE(form->questions, QStringList(png ? "Save chart picture | " + outDir_ + "/mine.png | PNG pictures (*.png)"
                                                  : "Export tone plan | " + outDir_ +
                                                        "/mine.csv | CSV files (*.csv);;JSON files (*.json)"));
        if (written.isEmpty()) {
            QCOMPARE(form->boxes.size(), 1u);
            QVERIFY2(QString::fromStdString(form->boxes[0]).startsWith("Could not write the file " + form->answer + ": "),
                     form->boxes[0].c_str());
            if (planted == "socket") {
                QVERIFY(form->boxes[0].ends_with(": it is a socket, not a file"));
                QCOMPARE(testing::KindAt(at), "socket");
            }
            return;
        }
        QVERIFY(form->boxes.empty());
        const QByteArray file = ReadFile(form->answer);
        if (png) {
            QVERIFY(!QImage::fromData(file, "PNG").isNull());
            return;
        }
        const std::string text = written == "csv" ? PlanCsv(form->state()) : PlanJson(form->state());
        QCOMPARE(form->state().iSteps, 4);
        QCOMPARE(file, QByteArray::fromStdString(text));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    PlanWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "plan_window_test.moc"
