#include "window/signal_options_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "numbers/number_text.h"
#include "platform/qt_text.h"
#include "settings/signal_options.h"

namespace sweepwav {

namespace {

enum ChannelMode { kAll, kList, kEach };

QString Ms(double ms) { return ToQString(NumberText(ms)) + QStringLiteral(" ms"); }

}  // namespace

QStringList SignalOptionsShown(const GeneratorState& s) {
    QStringList shown;
    if (s.dLeadInMs > 0) shown << QStringLiteral("lead-in ") + Ms(s.dLeadInMs);
    if (s.dGapMs > 0) shown << QStringLiteral("gap ") + Ms(s.dGapMs);
    if (s.dTailMs > 0) shown << QStringLiteral("tail ") + Ms(s.dTailMs);
    if (s.dRampMs > 0) shown << QStringLiteral("ramps ") + Ms(s.dRampMs);
    if (s.bEachChannel) {
        shown << QStringLiteral("one channel at a time");
    } else if (!s.iSignalChannels.empty()) {
        shown << QStringLiteral("channels ") + ToQString(ChannelChoiceText(s));
    }
    return shown;
}

QDoubleSpinBox* SignalOptionsDialog::ms_box(const char* name, double value, double longest) {
    auto* box = new QDoubleSpinBox(this);
    box->setObjectName(QLatin1String(name));
    box->setRange(0, longest);
    box->setDecimals(3);
    box->setSuffix(QStringLiteral(" ms"));
    box->setValue(value);
    return box;
}

SignalOptionsDialog::SignalOptionsDialog(GeneratorState& state, QWidget* parent)
    : QDialog(parent), state_(state) {
    setObjectName(QStringLiteral("SignalOptionsDialog"));
    setWindowTitle(QStringLiteral("Signal options"));
    leadIn_ = ms_box("LeadInMs", state.dLeadInMs, kLongestSilenceMs);
    gap_ = ms_box("GapMs", state.dGapMs, kLongestSilenceMs);
    tail_ = ms_box("TailMs", state.dTailMs, kLongestSilenceMs);
    ramp_ = ms_box("RampMs", state.dRampMs, kLongestRampMs);
    channels_ = new QComboBox(this);
    channels_->setObjectName(QStringLiteral("SignalChannels"));
    channels_->addItems({QStringLiteral("All channels"), QStringLiteral("These channels:"),
                         QStringLiteral("One channel at a time")});
    channelList_ = new QLineEdit(this);
    channelList_->setObjectName(QStringLiteral("SignalChannelList"));
    channelList_->setPlaceholderText(QStringLiteral("1,3"));
    channels_->setCurrentIndex(state.bEachChannel ? kEach : state.iSignalChannels.empty() ? kAll : kList);
    if (!state.iSignalChannels.empty()) channelList_->setText(ToQString(ChannelChoiceText(state)));
    channelList_->setEnabled(channels_->currentIndex() == kList);
    connect(channels_, &QComboBox::currentIndexChanged, this,
            [this](int mode) { channelList_->setEnabled(mode == kList); });

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Lead-in silence:"), leadIn_);
    form->addRow(QStringLiteral("&Gap between tones:"), gap_);
    form->addRow(QStringLiteral("&Tail silence:"), tail_);
    form->addRow(QStringLiteral("&Ramps where a tone meets silence:"), ramp_);
    form->addRow(QStringLiteral("&Signal on:"), channels_);
    form->addRow(QString(), channelList_);
    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("SignalOptionsProblem"));
    problem_->hide();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(problem_);
    layout->addWidget(buttons);
}

void SignalOptionsDialog::accept() {
    ChannelChoice choice;
    if (channels_->currentIndex() == kEach) choice.each = true;
    if (channels_->currentIndex() == kList) {
        const auto list = ParseChannelChoice(ToUtf8(channelList_->text().remove(QLatin1Char(' '))));
        if (!list || list->each || list->channels.empty()) {
            problem_->setText(QStringLiteral("Please give the channels as numbers from 1 to 8, such as 1,3."));
            problem_->show();
            channelList_->setFocus();
            return;
        }
        choice = *list;
    }
    state_.dLeadInMs = leadIn_->value();
    state_.dGapMs = gap_->value();
    state_.dTailMs = tail_->value();
    state_.dRampMs = ramp_->value();
    state_.iSignalChannels = choice.channels;
    state_.bEachChannel = choice.each;
    QDialog::accept();
}

}  // namespace sweepwav
