// The dialogs of the Options menu beside the form: Signal options...
// (silence, ramps and the channels that carry the signal) and
// Frequencies... (band centres or a list in place of the form's steps).
// Each shows the fields of an OptionsForm, which decides what they show,
// which of them count and what OK takes; the form itself does not change.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "commands/options_form.h"

class QFormLayout;
class QLabel;
class QLineEdit;

namespace sweepwav {

class OptionsDialog : public QDialog {
    Q_OBJECT

public:
    // The dialog named form.name() + "Dialog" (its problem line
    // form.name() + "Problem").
    explicit OptionsDialog(OptionsForm form, QWidget* parent = nullptr);

    // The values OK took that differ from those the dialog opened with.
    const EntryTexts& edited() const { return edited_; }

    void accept() override;

private:
    struct Field {
        Control control;
        QWidget* widget;
    };

    void add_row(QFormLayout* form, const OptionsForm::Field& field);
    void add_channels(QFormLayout* form, const OptionsForm::Field& field);
    // Fields that only count for some choices of a list go grey otherwise.
    void follow_choices();
    // What the widgets hold, into the form.
    void take_widgets();

    OptionsForm form_;
    std::vector<Field> fields_;
    QLineEdit* channelList_ = nullptr;
    QLabel* problem_ = nullptr;
    EntryTexts edited_;
};

}  // namespace sweepwav
