// Options > Signal options...: silence before, between and after the tones,
// ramps where a tone meets silence, and the channels that carry the signal.
// The form itself does not change; the options live in the state.
#pragma once

#include <QDialog>

#include "core/generator_state.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;

namespace sweepwav {

class SignalOptionsDialog : public QDialog {
    Q_OBJECT

public:
    // Shows the state's options; accept() puts the edited ones back.
    SignalOptionsDialog(GeneratorState& state, QWidget* parent = nullptr);

    void accept() override;

private:
    QDoubleSpinBox* ms_box(const char* name, double value, double longest);

    GeneratorState& state_;
    QDoubleSpinBox* leadIn_ = nullptr;
    QDoubleSpinBox* gap_ = nullptr;
    QDoubleSpinBox* tail_ = nullptr;
    QDoubleSpinBox* ramp_ = nullptr;
    QComboBox* channels_ = nullptr;
    QLineEdit* channelList_ = nullptr;
    QLabel* problem_ = nullptr;
};

// The options that are on, as the status bar names them ("gap 100 ms").
QStringList SignalOptionsShown(const GeneratorState& s);

}  // namespace sweepwav
