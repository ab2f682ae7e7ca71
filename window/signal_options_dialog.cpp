#include "window/signal_options_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "numbers/number_text.h"
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

QStringList SignalOptionsShown(const GeneratorState& s) {
    QStringList shown;
    for (const std::string& words : SignalOptionWords(s.signal)) shown << ToQString(words);
    return shown;
}

SignalOptionsDialog::SignalOptionsDialog(GeneratorState& state, QWidget* parent)
    : QDialog(parent), state_(state) {
    setObjectName(QStringLiteral("SignalOptionsDialog"));
    setWindowTitle(QStringLiteral("Signal options"));
    auto* form = new QFormLayout;
    for (const Entry& e : Entries()) {
        if (e.place != Place::SignalDialog) continue;
        if (e.kind == EntryKind::OptionNumber) add_number(form, e);
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

void SignalOptionsDialog::add_number(QFormLayout* form, const Entry& e) {
    auto* box = new QLineEdit(this);
    Describe(box, e);
    const QString shown = ToQString(NumberText(OptionValue(state_.signal, e)));
    box->setText(shown);
    auto* row = new QHBoxLayout;
    row->addWidget(box);
    row->addWidget(new QLabel(Text(e.unit), this));
    form->addRow(Text(e.text), row);
    if (auto* label = qobject_cast<QLabel*>(form->labelForField(row))) label->setBuddy(box);
    numbers_.push_back({&e, box, shown});
}

void SignalOptionsDialog::refuse(QWidget* field, const QString& problem) {
    problem_->setText(problem);
    problem_->show();
    field->setFocus();
}

void SignalOptionsDialog::add_channels(QFormLayout* form, const Entry& e) {
    const ChannelChoice& choice = state_.signal.channels;
    channels_ = new QComboBox(this);
    Describe(channels_, e);
    for (const ListItem& item : e.items) channels_->addItem(QString::fromUtf8(item.text));
    channelList_ = new QLineEdit(this);
    channelList_->setObjectName(QStringLiteral("SignalChannelList"));
    // Named by the choice that it belongs to ("These channels").
    channelList_->setAccessibleName(Text(e.items[kList].text).remove(QLatin1Char(':')));
    channelList_->setToolTip(QStringLiteral("Channel numbers from 1 to 8, separated by commas"));
    channelList_->setAccessibleDescription(channelList_->toolTip());
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
    SignalOptions edited = state_.signal;
    for (const NumberField& field : numbers_) {
        if (field.box->text() == field.shown) continue;  // as it was, to the last digit
        const Entry& e = *field.entry;
        const auto value = ParseNumber(ToUtf8(field.box->text()));
        if (!value || !(*value >= e.low && *value <= e.high)) {
            return refuse(field.box, Text(e.caption) + QStringLiteral(" must be a number from ") +
                                         ToQString(NumberText(e.low)) + QStringLiteral(" to ") +
                                         ToQString(NumberText(e.high)) + QStringLiteral(" ") + Text(e.unit) +
                                         QStringLiteral("."));
        }
        OptionValue(edited, e) = *value;
    }
    edited.channels = ChannelChoice{};
    if (channels_->currentIndex() == kEach) edited.channels.each = true;
    if (channels_->currentIndex() == kList) {
        const auto list = ParseChannelChoice(ToUtf8(channelList_->text().remove(QLatin1Char(' '))));
        if (!list || list->each || list->channels.empty()) {
            return refuse(channelList_, QStringLiteral("Please give the channels as numbers from 1 to 8, such as 1,3."));
        }
        edited.channels = *list;
    }
    state_.signal = edited;
    QDialog::accept();
}

}  // namespace sweepwav
