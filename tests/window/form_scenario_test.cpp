// The form's scenario table (tests/support/form_scenario.h) run through the
// window's widgets on the offscreen platform: the window must show what the
// form model decides and pass every event on to it.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QUrl>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "platform/qt_text.h"
#include "platform/system_services.h"
#include "support/form_scenario.h"
#include "support/quiet_device.h"
#include "window/form1.h"
#include "window/output_bar.h"

using namespace sweepwav;
using testing::FormAct;
using testing::FormStep;
using testing::SeenForm;

namespace {

// Real files; the hold is skipped.
struct TestServices : SystemServices {
    void sleep_ms(int) override {}
};

// The window with its message boxes counted and the file dialogs answered.
struct ScenarioForm : Form1 {
    explicit ScenarioForm(Services& sv) : Form1(sv, [this](const std::string&, const std::string&, Icon) { ++boxes; }) {}
    QString ask_save_file_name(const QString&, const QString& suggestion, const QStringList&, QString*) override {
        suggested = QFileInfo(suggestion).fileName();
        return answer;
    }
    QString ask_open_file_name(const QString&, const QString&, const QStringList&) override { return answer; }
    template <typename T = QWidget>
    T* find(std::string_view name) { return findChild<T*>(ToQString(std::string(name))); }

    int boxes = 0;
    QString suggested, answer;
};

}  // namespace

class FormScenarioTest : public QObject {
    Q_OBJECT

    QTemporaryDir temp_;
    TestServices services_;
    testing::QuietDevice device_;
    std::unique_ptr<ScenarioForm> form_;
    int boxesBefore_ = 0;
    bool closed_ = false;

    SeenForm seen() {
        SeenForm s;
        s.closed = closed_;
        if (closed_) return s;
        if (QWidget* focus = form_->focusWidget()) {
            for (int c = 0; c < kFormControlCount; ++c) {
                if (focus == form_->control(static_cast<Control>(c))) s.focus = static_cast<Control>(c);
            }
            auto* box = qobject_cast<QLineEdit*>(focus);
            s.selected = box && !box->text().isEmpty() && box->selectedText() == box->text();
        }
        for (Control c : testing::kScenarioInputs) {
            if (!form_->control(c)->isEnabled()) s.grey.insert(c);
        }
        s.abortOn = form_->control(Control::Abort)->isEnabled();
        auto* play = qobject_cast<QAbstractButton*>(form_->control(Control::Play));
        s.play = testing::PlayButton(play->isEnabled(), ToUtf8(play->text()));
        s.bar = ToUtf8(form_->output_bar()->text());
        s.options = ToUtf8(form_->find<QLabel>("SignalOptions")->text());
        s.boxes = form_->boxes - boxesBefore_;
        s.suggested = ToUtf8(form_->suggested);
        for (const QString& path : QSettings("sweepwav", "sweepwav").value("recent/settings").toStringList()) {
            s.recent.push_back(ToUtf8(QFileInfo(path).fileName()));
        }
        s.fileName = ToUtf8(form_->find<QLineEdit>("FileName")->text());
        return s;
    }

    // The options dialogs of the window, each filled and accepted once it is up.
    void set_options(std::string_view text) {
        for (const Place place : {Place::FrequenciesDialog, Place::SignalDialog}) {
            std::vector<std::pair<Control, std::string>> values;
            for (const auto& value : testing::OptionValues(text)) {
                if (EntryOf(value.first).place == place) values.push_back(value);
            }
            if (!values.empty()) set_options(place, values);
        }
    }

    void set_options(Place place, const std::vector<std::pair<Control, std::string>>& values) {
        const bool frequencies = place == Place::FrequenciesDialog;
        QTimer::singleShot(0, form_.get(), [&] {
            auto* dialog = form_->find<QDialog>(frequencies ? "FrequenciesDialog" : "SignalOptionsDialog");
            QVERIFY(dialog);
            for (const auto& [c, value] : values) {
                const QString name = ToQString(std::string(control_name(c)));
                if (auto* list = dialog->findChild<QComboBox*>(name)) {
                    list->setCurrentIndex(ItemPosition(EntryOf(c), value).value_or(-1));
                } else {
                    dialog->findChild<QLineEdit*>(name)->setText(ToQString(value));
                }
            }
            dialog->accept();
        });
        form_->findChild<QAction*>(frequencies ? "Frequencies" : "SignalOptions")->trigger();
    }

    void save_settings(std::string_view names) {
        for (const std::string& name : testing::Words(names)) {
            form_->answer = temp_.filePath(ToQString(name + ".sweep"));
            form_->findChild<QAction*>("SaveSettings")->trigger();
        }
    }

    // Generate file or Play; while it runs (once the first tone is under
    // way, for Play heard), what is seen, then the next step (Abort or
    // Stop, or closing the window).
    std::vector<SeenForm> run_watched(const FormStep& step, const FormStep& next) {
        std::vector<SeenForm> seenDuring;
        QTimer timer;
        const Control stop = step.control == Control::OK ? Control::Abort : Control::Play;
        connect(&timer, &QTimer::timeout, form_.get(), [&] {
            const QString status = qobject_cast<QLabel*>(form_->control(Control::Status))->text();
            if (!form_->running() || !form_->control(stop)->isEnabled() || !status.contains(" sweep step ")) return;
            timer.stop();
            seenDuring.push_back(seen());
            boxesBefore_ = form_->boxes;
            if (next.act == FormAct::Close) {
                form_->close();
            } else {
                QTest::mouseClick(form_->control(next.control), Qt::LeftButton);
            }
        });
        timer.start(0);
        QTest::mouseClick(form_->control(step.control), Qt::LeftButton);
        closed_ = !form_->isVisible();
        seenDuring.push_back(seen());
        return seenDuring;
    }

    // Files dropped on a box of the form, as from a file manager.
    void drop(const QStringList& names) {
        QMimeData files;
        QList<QUrl> urls;
        for (const QString& name : names) urls << QUrl::fromLocalFile(temp_.filePath(name));
        files.setUrls(urls);
        files.setText(urls.first().toLocalFile());  // as file managers give it too
        QWidget* box = form_->control(Control::FileName);
        QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        if (QApplication::sendEvent(box, &enter), enter.isAccepted()) QApplication::sendEvent(box, &drop);
        QCoreApplication::processEvents();
    }

    // "open 2.sweep", "recent 3.sweep", "drop 1.sweep 2.sweep", "preset octave-bands".
    void open(std::string_view how) {
        QStringList words = ToQString(std::string(how)).split(' ');
        const QString way = words.takeFirst();
        form_->answer = temp_.filePath(words[0]);
        if (way == "drop") return drop(words);
        if (way == "open") return form_->findChild<QAction*>("OpenSettings")->trigger();
        for (QAction* a : form_->findChild<QMenu*>(way == "preset" ? "PresetsMenu" : "RecentSettingsMenu")->actions()) {
            if (a->objectName() == words[0] || a->text().contains(" " + words[0] + " ")) a->trigger();
        }
    }

    std::vector<SeenForm> act(const FormStep& step, const FormStep* next) {
        boxesBefore_ = form_ ? form_->boxes : 0;
        switch (step.act) {
            case FormAct::Start:
                closed_ = false;
                device_.missing = testing::WithoutSound(step);
                form_ = std::make_unique<ScenarioForm>(services_);
                form_->use_audio_output(device_);
                boxesBefore_ = 0;
                form_->use_presets(FindPresets({SWEEPWAV_PRESETS}));
                // As main() does with the settings file it is started on.
                if (const std::string_view file = testing::StartedOn(step); !file.empty()) {
                    form_->open_settings_file(temp_.filePath(ToQString(std::string(file))));
                }
                form_->show();
                QApplication::setActiveWindow(form_.get());
                if (!QTest::qWaitForWindowActive(form_.get())) return {};
                break;
            case FormAct::Type: form_->find<QLineEdit>(control_name(step.control))->setText(ToQString(std::string(step.text))); break;
            case FormAct::Press: QTest::mouseClick(form_->control(step.control), Qt::LeftButton); break;
            case FormAct::Options: set_options(step.text); break;
            case FormAct::SaveSettings: save_settings(step.text); break;
            case FormAct::Open: open(step.text); break;
            case FormAct::Reset: form_->findChild<QAction*>("Reset")->trigger(); break;
            default: return run_watched(step, *next);
        }
        return {seen()};
    }

private slots:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(temp_.filePath("config")));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, temp_.filePath("config"));
        QVERIFY(QDir().mkpath(temp_.filePath("Analyser/User Wavetables")));
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Corvalis", "Olvane")
            .setValue("Paths/Application directory", temp_.filePath("Analyser"));
    }

    void scenarioTable() {
        const std::size_t steps = std::size(testing::kFormScenario);
        for (std::size_t i = 0; i < steps; ++i) {
            const FormStep& step = testing::kFormScenario[i];
            const std::vector<SeenForm> seen = act(step, i + 1 < steps ? &testing::kFormScenario[i + 1] : nullptr);
            QVERIFY2(!seen.empty(), "the window did not open");
            for (std::size_t k = 0; k < seen.size(); ++k) {
                for (const std::string& difference : testing::Differences(testing::kFormScenario[i + k], seen[k])) {
                    QFAIL(qPrintable(QString("step %1: %2").arg(i + k).arg(ToQString(difference))));
                }
            }
            i += seen.size() - 1;
        }
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    FormScenarioTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "form_scenario_test.moc"
