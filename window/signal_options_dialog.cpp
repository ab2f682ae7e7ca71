#include "window/signal_options_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "commands/window_texts.h"
#include "platform/qt_text.h"
#include "settings/catalogue.h"
#include "settings/entry_values.h"

namespace sweepwav {

namespace {

// The positions of the channel choice's items: all, a list, each in turn.
enum ChannelMode { kAll, kList, kEach };

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Names a field as the form's entries are named: by its caption, described
// by its tooltip.
void Describe(QWidget* field, const Entry& e) {
    field->setObjectName(Text(control_name(e.control)));
    field->setAccessibleName(Text(e.caption));
    field->setToolTip(Text(e.tooltip));
    field->setAccessibleDescription(Text(e.tooltip));
}

}  // namespace

SignalOptionsDialog::SignalOptionsDialog(GeneratorState& state, QWidget* parent)
    : QDialog(parent), state_(state) {
    setObjectName(QStringLiteral("SignalOptionsDialog"));
    setWindowTitle(Text(kSignalOptionsTitle));
    auto* form = new QFormLayout;
    for (const Entry& e : Entries()) {
        if (e.place != Place::SignalDialog) continue;
        if (e.kind == EntryKind::Milliseconds) add_length(form, e);
        if (e.kind == EntryKind::Channels) add_channels(form, e);
    }
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

void SignalOptionsDialog::add_length(QFormLayout* form, const Entry& e) {
    auto* box = new QDoubleSpinBox(this);
    Describe(box, e);
    box->setRange(e.low, e.high);
    box->setDecimals(3);
    box->setSuffix(QStringLiteral(" ") + Text(e.unit));
    box->setValue(MsValue(state_.signal, e));
    form->addRow(Text(e.text), box);
    lengths_.emplace_back(&e, box);
}

void SignalOptionsDialog::add_channels(QFormLayout* form, const Entry& e) {
    const ChannelChoice& choice = state_.signal.channels;
    channels_ = new QComboBox(this);
    Describe(channels_, e);
    for (const ListItem& item : e.items) channels_->addItem(QString::fromUtf8(item.text));
    channelList_ = new QLineEdit(this);
    channelList_->setObjectName(QStringLiteral("SignalChannelList"));
    channelList_->setPlaceholderText(QStringLiteral("1,3"));
    channels_->setCurrentIndex(choice.each ? kEach : choice.channels.empty() ? kAll : kList);
    if (!choice.channels.empty()) channelList_->setText(ToQString(ChannelChoiceText(choice)));
    channelList_->setEnabled(channels_->currentIndex() == kList);
    connect(channels_, &QComboBox::currentIndexChanged, this,
            [this](int mode) { channelList_->setEnabled(mode == kList); });
    form->addRow(Text(e.text), channels_);
    form->addRow(QString(), channelList_);
}

void SignalOptionsDialog::accept() {
    ChannelChoice choice;
    if (channels_->currentIndex() == kEach) choice.each = true;
    if (channels_->currentIndex() == kList) {
        const auto list = ParseChannelChoice(ToUtf8(channelList_->text().remove(QLatin1Char(' '))));
        if (!list || list->each || list->channels.empty()) {
            problem_->setText(Text(kChannelListProblem));
            problem_->show();
            channelList_->setFocus();
            return;
        }
        choice = *list;
    }
    for (const auto& [e, box] : lengths_) MsValue(state_.signal, *e) = box->value();
    state_.signal.channels = choice;
    QDialog::accept();
}

}  // namespace sweepwav
