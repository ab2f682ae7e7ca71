// Options > Signal options...: silence before, between and after the tones,
// ramps where a tone meets silence, and the channels that carry the signal.
// Its fields are the catalogue's Signal options entries, in their order. The
// numbers are shown and kept exactly as typed, as the form's boxes keep
// theirs: a field that is not edited leaves its value as it was. The form
// itself does not change; the options live in the state.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "core/generator_state.h"

class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;

namespace sweepwav {

struct Entry;

class SignalOptionsDialog : public QDialog {
    Q_OBJECT

public:
    // Shows the state's options; accept() puts the edited ones back.
    SignalOptionsDialog(GeneratorState& state, QWidget* parent = nullptr);

    void accept() override;

private:
    struct NumberField {
        const Entry* entry;
        QLineEdit* box;
        QString shown;  // the text it was opened with
    };

    void add_number(QFormLayout* form, const Entry& e);
    void add_channels(QFormLayout* form, const Entry& e);
    // Shows a problem under the fields and puts the focus on the field.
    void refuse(QWidget* field, const QString& problem);

    GeneratorState& state_;
    std::vector<NumberField> numbers_;
    QComboBox* channels_ = nullptr;
    QLineEdit* channelList_ = nullptr;
    QLabel* problem_ = nullptr;
};

// The options that are on, as the status bar names them ("gap 100 ms").
QStringList SignalOptionsShown(const GeneratorState& s);

}  // namespace sweepwav
