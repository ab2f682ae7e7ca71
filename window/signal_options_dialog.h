// Options > Signal options...: silence before, between and after the tones,
// ramps where a tone meets silence, and the channels that carry the signal.
// Its fields are the catalogue's Signal options entries, in their order. The
// form itself does not change; the options live in the state.
#pragma once

#include <QDialog>
#include <utility>
#include <vector>

#include "core/generator_state.h"

class QComboBox;
class QDoubleSpinBox;
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
    void add_length(QFormLayout* form, const Entry& e);
    void add_channels(QFormLayout* form, const Entry& e);

    GeneratorState& state_;
    std::vector<std::pair<const Entry*, QDoubleSpinBox*>> lengths_;
    QComboBox* channels_ = nullptr;
    QLineEdit* channelList_ = nullptr;
    QLabel* problem_ = nullptr;
};

}  // namespace sweepwav
