// The program's one window, a view of the form model (commands/form_model.h):
// it shows the controls of form1.ui as the model's look says, forwards its
// buttons, menu commands and dialogs to the model, and answers the engine's
// window operations with its widgets. A menu bar above the form holds the
// commands around a sweep: exporting its plan, the output folder, settings
// files, tone markers, the signal options, the plan view and About; a bar
// below it says where files go. During synthesis the progress lines and
// the status line are redrawn at the display's pace.
#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "commands/form_model.h"
#include "core/generator_state.h"
#include "core/services.h"
#include "core/window_ops.h"
#include "platform/presets.h"
#include "window/frame_pacer.h"

class QAction;
class QComboBox;
class QLineEdit;
class QAbstractButton;
class QMenu;
class QMenuBar;
class QMessageBox;
class QDropEvent;

namespace Ui {
class Form1;
}

namespace sweepwav {

class OutputBar;
class PlanView;
class ProgressLine;

// The recent settings files in the user's settings of this program.
class QtRecentStore : public RecentStore {
public:
    std::vector<std::string> read() override;
    void write(const std::vector<std::string>& files) override;
};

class Form1 : public QWidget, public WindowOps, public FormView {
    Q_OBJECT

public:
    // Answers a message box in place of the modal dialog (tests).
    using MessageHook =
        std::function<void(const std::string& text, const std::string& title, Icon icon)>;

    // Runs Form_Load before returning; a message box of the start-up goes
    // through messageHook when one is given.
    explicit Form1(Services& services, MessageHook messageHook = {}, QWidget* parent = nullptr);
    ~Form1() override;

    GeneratorState& state() { return model_.state(); }

    // True while a "Generate file" command is in progress, or Play.
    bool running() const { return model_.running(); }

    // The output Play plays on: Qt Multimedia's default device unless a
    // test gives another.
    void use_audio_output(AudioOutput& out) { model_.set_audio_output(out); }

    // The form's widget of a control; nullptr for the options beside it.
    QWidget* control(Control c) const;

    // The menu bar above the form. Its actions are named ExportPlan,
    // OpenOutputFolder, OpenSettings, SaveSettings, Quit, WriteMarkers,
    // SignalOptions, Frequencies, SweepPlan, About and Reset; the recent
    // settings files are in RecentSettingsMenu, the presets in PresetsMenu
    // (each action named as its preset).
    QMenuBar* menu_bar() const { return menuBar_; }

    // The bar under the form: the output folder, or the file a run wrote.
    OutputBar* output_bar() const { return outputBar_; }

    // View > Sweep plan: plans from the entries and opens the plan view
    // beside the window without waiting for it. Returns nullptr, after the
    // planning's message, when the entries or the plan were refused.
    PlanView* show_plan_view();

    // File > Open settings for the given file: fills the form; nothing runs.
    void open_settings_file(const QString& path);

    // The presets of the Presets menu; at start-up those installed with the
    // program.
    void use_presets(const std::vector<Preset>& presets);

    // WindowOps
    std::string text(Control box) override;
    void set_text(Control box, const std::string& text) override;
    bool checked(Control box) override;
    void set_checked(Control box, bool ticked) override;
    void add_item(Control list, const std::string& text, int position, std::int32_t value) override;
    void select_index(Control list, int position) override;
    int selected_index(Control list) override;
    int item_count(Control list) override;
    std::int32_t item_value(Control list, int position) override;
    void set_enabled(Control c, bool enabled) override;
    void set_caption(const std::string& caption) override;
    void set_label(Control label, const std::string& text) override;
    void set_progress(Control line, double fraction, bool redraw) override;
    void do_events() override;
    void message_box(const std::string& text, const std::string& title, Icon icon) override;
    // The note above the text, selectable and scrollable, in a dialog of
    // its own.
    void show_long_text(const std::string& note, const std::string& text, const std::string& title) override;

    // FormView
    void show_look(const FormLook& look) override;

protected:
    // Closing during a run aborts it; the window closes once the run ends.
    // The plan view and the About box close with the window.
    void closeEvent(QCloseEvent* event) override;
    // Files dragged onto the window, its boxes included, go to the model;
    // a box takes no file's path as text.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Asks for the file to save to, offering the name filters (the first
    // selected); returns the path, empty when cancelled, and the filter
    // chosen. A name typed without an ending gets that of the filter.
    virtual QString ask_save_file_name(const QString& caption, const QString& suggestion,
                                    const QStringList& filters, QString* selectedFilter);

    // Asks for an existing file to open, starting in folder; empty when
    // cancelled.
    virtual QString ask_open_file_name(const QString& caption, const QString& folder, const QStringList& filters);

private slots:
    void OK_clicked();
    void ShowInfo_clicked();
    void AutoName_clicked();
    void Abort_clicked();
    void Play_clicked();
    void ExportPlan_triggered();
    void OpenOutputFolder_triggered();
    void WriteMarkers_toggled(bool on);
    void SweepPlan_triggered();
    void About_triggered();
    void OpenSettings_triggered();
    void SignalOptions_triggered();
    void Frequencies_triggered();
    void SaveSettings_triggered();

private:
    void build_menu_bar();
    // File > Open settings..., Save settings as... and the recent files.
    void build_settings_menu(QMenu* file);
    void fill_recent_menu(const std::vector<RecentFile>& files);
    void fill_presets_menu(const std::vector<PresetFile>& presets);
    void accept_drag(QDropEvent* event);
    // Where the settings dialogs start: the folder of the last settings file.
    QString settings_folder() const;
    void build_output_bar();
    // Keyboard use: Return and Enter press the focused command button, its
    // Alt+letter presses it at once.
    void wire_keys();
    // An options dialog of the place, its edited values to the model.
    void ask_options(Place place);
    // Asks for a CSV or JSON file and writes the plan's text into it.
    void export_plan(const std::string& csv, const std::string& json, const std::string& wavName);
    void save_plan_picture(PlanView& view);
    void show_focus(const FocusRequest& focus);
    // The menu's commands and the plan view's buttons, on or off.
    void show_commands(const FormLook& look);
    // The Play button's text and tooltip (Stop while it plays).
    void show_play(const FormLook& look);
    QLineEdit* box(Control c) const;
    QAbstractButton* check_box(Control c) const;
    QComboBox* list(Control c) const;
    ProgressLine* line(Control c) const;
    // Captions, tooltips, texts and labels from the catalogue.
    void apply_catalogue();
    void apply_look();

    std::unique_ptr<Ui::Form1> ui_;
    std::array<QWidget*, kFormControlCount> widgets_{};  // by control
    MessageHook messageHook_;
    QtRecentStore recentStore_;
    std::unique_ptr<AudioOutput> audio_;
    FormModel model_;
    WidgetPacer pacer_;
    std::vector<RecentFile> recentShown_;
    bool recentFilled_ = false;
    std::vector<PresetFile> presetsShown_;

    QMenuBar* menuBar_ = nullptr;
    OutputBar* outputBar_ = nullptr;
    QAction* exportPlan_ = nullptr;
    QAction* writeMarkers_ = nullptr;
    QAction* sweepPlan_ = nullptr;
    QAction* openSettings_ = nullptr;
    QAction* signalOptions_ = nullptr;
    QAction* frequencies_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QMenu* presetsMenu_ = nullptr;
    QPointer<PlanView> planView_;
    QPointer<QMessageBox> aboutBox_;
};

}  // namespace sweepwav
