// The program's one window. It shows the controls of form1.ui, runs the
// start-up values through Form_Load and hands its four buttons to the
// command procedures, answering their window operations with its widgets.
// A menu bar above the form holds the commands around a sweep: exporting
// its plan, the output folder, settings files, tone markers, the signal
// options, the plan view and About; a bar below it says where files go.
// During synthesis the progress lines and the status line are redrawn at
// the display's pace (FramePacer).
#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "core/generator_state.h"
#include "core/services.h"
#include "core/window_ops.h"
#include "window/frame_pacer.h"

class QAction;
class QComboBox;
class QLineEdit;
class QAbstractButton;
class QMenu;
class QMenuBar;
class QMessageBox;

namespace Ui {
class Form1;
}

namespace sweepwav {

class OutputBar;
class PlanView;
class ProgressLine;

class Form1 : public QWidget, public WindowOps {
    Q_OBJECT

public:
    // Answers a message box in place of the modal dialog (tests).
    using MessageHook =
        std::function<void(const std::string& text, const std::string& title, Icon icon)>;

    // Runs Form_Load before returning; a message box of the start-up goes
    // through messageHook when one is given.
    explicit Form1(Services& services, MessageHook messageHook = {}, QWidget* parent = nullptr);
    ~Form1() override;

    GeneratorState& state() { return state_; }

    // True while a "Generate file" command is in progress.
    bool running() const { return running_; }

    // The form's widget of a control; nullptr for the options beside it.
    QWidget* control(Control c) const;

    // The menu bar above the form. Its actions are named ExportPlan,
    // OpenOutputFolder, OpenSettings, SaveSettings, Quit, WriteMarkers,
    // SignalOptions, Frequencies, SweepPlan and About; the recent settings
    // files are in RecentSettingsMenu.
    QMenuBar* menu_bar() const { return menuBar_; }

    // The bar under the form: the output folder, or the file a run wrote.
    OutputBar* output_bar() const { return outputBar_; }

    // View > Sweep plan: plans from the entries and opens the plan view
    // beside the window without waiting for it. Returns nullptr, after the
    // planning's message, when the entries or the plan were refused.
    PlanView* show_plan_view();

    // File > Open settings for the given file: fills the form; nothing runs.
    void open_settings_file(const QString& path);

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

protected:
    // Closing during a run aborts it; the window closes once the run ends.
    // The plan view and the About box close with the window.
    void closeEvent(QCloseEvent* event) override;

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
    void fill_recent_menu();
    void remember_settings_file(const QString& path);
    // Where the settings dialogs start: the folder of the last settings file.
    QString settings_folder() const;
    // The FileName box's name without its ending, for a settings file's name.
    std::string file_name_stem();
    void build_output_bar();
    // Keyboard use: Return and Enter press the focused command button, its
    // Alt+letter presses it at once.
    void wire_keys();
    // The options beside the form that are on, under the output bar; the
    // Steps box and Log steps follow the tones' spacing.
    void show_options();
    // The bar's idle text, shown again at the start of every command.
    void show_output_folder();
    // Runs a command. A fault it does not handle itself is shown as "The
    // <what> stopped: <reason>" and the window returns to its idle look;
    // returns false then.
    bool guarded(const char* what, const std::function<void()>& command);
    // PlanFromEntries, through guarded().
    bool plan_from_entries();
    // Asks for a CSV or JSON file and writes the plan's text into it.
    void export_plan(const std::string& csv, const std::string& json, const std::string& wavName);
    void save_plan_picture(PlanView& view);
    // The output folder path of a file like wavName with another ending.
    QString suggested_path(const std::string& wavName, const char* ending) const;
    void report_write_failure(const QString& path, const Status& failure);
    // After a refused entry, the focus goes to the entry the message was
    // about, its text selected.
    void focus_refused_entry();
    // Disables the commands that plan or change the run while it goes on.
    void enable_menu_commands(bool enabled);
    QLineEdit* box(Control c) const;
    QAbstractButton* check_box(Control c) const;
    QComboBox* list(Control c) const;
    ProgressLine* line(Control c) const;
    // Captions, tooltips, texts and labels from the catalogue.
    void apply_catalogue();
    void apply_look();

    std::unique_ptr<Ui::Form1> ui_;
    std::array<QWidget*, kFormControlCount> widgets_{};  // by control
    Services& services_;
    GeneratorState state_;
    MessageHook messageHook_;
    bool running_ = false;
    bool closeRequested_ = false;
    FramePacer pacer_;

    QMenuBar* menuBar_ = nullptr;
    OutputBar* outputBar_ = nullptr;
    QAction* exportPlan_ = nullptr;
    QAction* writeMarkers_ = nullptr;
    QAction* sweepPlan_ = nullptr;
    QAction* openSettings_ = nullptr;
    QAction* signalOptions_ = nullptr;
    QAction* frequencies_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QPointer<PlanView> planView_;
    QPointer<QMessageBox> aboutBox_;
};

}  // namespace sweepwav
