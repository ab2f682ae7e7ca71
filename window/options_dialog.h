// The dialogs of the Options menu beside the form: Signal options...
// (silence, ramps and the channels that carry the signal) and
// Frequencies... (band centres or a list in place of the form's steps).
// Each shows the catalogue's entries of its place, in their order. Numbers
// and texts are shown and kept exactly as typed, as the form's boxes keep
// theirs: a field that is not edited leaves its value as it was. The form
// itself does not change; the options live in the state.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "core/generator_state.h"
#include "core/window_ops.h"
#include "settings/catalogue.h"

class QAbstractButton;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;

namespace sweepwav {

class OptionsDialog : public QDialog {
    Q_OBJECT

public:
    // The dialog of the entries at place, named name + "Dialog" (its problem
    // line name + "Problem"); accept() puts the edited values back.
    OptionsDialog(WindowOps& window, GeneratorState& state, Place place, const QString& name, const QString& title,
                  QWidget* parent = nullptr);

    void accept() override;

private:
    // A field and the text of the value it was opened with.
    struct Field {
        const Entry* entry;
        QWidget* widget;
        QString shown;
    };

    void add_row(QFormLayout* form, const Entry& e, const QString& value);
    void add_channels(QFormLayout* form, const Entry& e, const QString& value);
    // The value a field holds now, as settings files write it; empty after
    // refusing it.
    std::optional<std::string> value_of(const Field& field);
    // Fields that only count for some choices of a list go grey otherwise.
    void follow_choices();
    void refuse(QWidget* field, const QString& problem);

    WindowOps& window_;
    GeneratorState& state_;
    std::vector<Field> fields_;
    QLineEdit* channelList_ = nullptr;
    QLabel* problem_ = nullptr;
};

}  // namespace sweepwav
