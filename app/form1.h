// The program's one window. It shows the controls of form1.ui, runs the
// start-up values through Form_Load and hands its four buttons to the
// command procedures, answering their window operations with its widgets.
#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "app/generator_state.h"
#include "platform/services.h"
#include "platform/window_ops.h"

class QComboBox;
class QLineEdit;
class QAbstractButton;

namespace Ui {
class Form1;
}

namespace sweepwav {

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

    QWidget* control(Control c) const;

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
    void set_line_x2(Control line, float x2, bool redraw) override;
    void do_events() override;
    void message_box(const std::string& text, const std::string& title, Icon icon) override;

protected:
    // Closing during a run aborts it; the window closes once the run ends.
    void closeEvent(QCloseEvent* event) override;

private slots:
    void OK_clicked();
    void ShowInfo_clicked();
    void AutoName_clicked();
    void Abort_clicked();

private:
    QLineEdit* box(Control c) const;
    QAbstractButton* checkBox(Control c) const;
    QComboBox* list(Control c) const;
    ProgressLine* line(Control c) const;
    void applyLook();

    std::unique_ptr<Ui::Form1> ui_;
    std::array<QWidget*, kControlCount> widgets_{};  // by control
    Services& services_;
    GeneratorState state_;
    MessageHook messageHook_;
    bool running_ = false;
    bool closeRequested_ = false;
};

}  // namespace sweepwav
