#include "window/options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "platform/qt_text.h"

namespace sweepwav {

namespace {

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Names a field as the form's entries are named: by its caption, described
// by its tooltip.
void Describe(QWidget* field, const Entry& e) {
    field->setObjectName(Text(control_name(e.control)));
    field->setAccessibleName(Text(e.caption));
    field->setToolTip(Text(e.tooltip));
    field->setAccessibleDescription(Text(e.tooltip));
}

// A list of the entry's items, named before it is filled: a screen reader's
// view of a list is made as the first item goes in.
QComboBox* ItemList(const Entry& e, int position, QWidget* parent) {
    auto* list = new QComboBox(parent);
    Describe(list, e);
    for (const ListItem& item : e.items) list->addItem(QString::fromUtf8(item.text));
    list->setCurrentIndex(position);
    return list;
}

}  // namespace

OptionsDialog::OptionsDialog(OptionsForm form, QWidget* parent) : QDialog(parent), form_(std::move(form)) {
    const QString name = Text(form_.name());
    setObjectName(name + QStringLiteral("Dialog"));
    setWindowTitle(Text(form_.title()));
    auto* rows = new QFormLayout;
    for (const OptionsForm::Field& field : form_.fields()) {
        if (field.entry->kind == EntryKind::Channels) {
            add_channels(rows, field);
        } else {
            add_row(rows, field);
        }
    }
    problem_ = new QLabel(this);
    problem_->setObjectName(name + QStringLiteral("Problem"));
    problem_->setWordWrap(true);
    problem_->hide();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(rows);
    layout->addWidget(problem_);
    layout->addWidget(buttons);
    follow_choices();
}

void OptionsDialog::add_row(QFormLayout* rows, const OptionsForm::Field& field) {
    const Entry& e = *field.entry;
    if (e.kind == EntryKind::Tick) {
        auto* tick = new QCheckBox(Text(e.text), this);
        Describe(tick, e);
        tick->setChecked(field.ticked);
        rows->addRow(QString(), tick);
        fields_.push_back({e.control, tick});
        return;
    }
    if (e.kind == EntryKind::List) {
        auto* list = ItemList(e, field.position, this);
        connect(list, &QComboBox::currentIndexChanged, this, &OptionsDialog::follow_choices);
        rows->addRow(Text(e.text), list);
        fields_.push_back({e.control, list});
        return;
    }
    auto* box = new QLineEdit(ToQString(field.text), this);
    Describe(box, e);
    auto* row = new QHBoxLayout;
    row->addWidget(box);
    if (!field.unit.empty()) row->addWidget(new QLabel(Text(field.unit), this));
    rows->addRow(Text(e.text), row);
    if (auto* label = qobject_cast<QLabel*>(rows->labelForField(row))) label->setBuddy(box);
    fields_.push_back({e.control, box});
}

void OptionsDialog::add_channels(QFormLayout* rows, const OptionsForm::Field& field) {
    const Entry& e = *field.entry;
    auto* channels = ItemList(e, field.position, this);
    channelList_ = new QLineEdit(ToQString(field.text), this);
    channelList_->setObjectName(QStringLiteral("SignalChannelList"));
    channelList_->setPlaceholderText(Text(kChannelListExample));
    channelList_->setAccessibleName(ToQString(form_.channel_list_name()));
    channelList_->setToolTip(Text(kChannelListTip));
    channelList_->setAccessibleDescription(channelList_->toolTip());
    connect(channels, &QComboBox::currentIndexChanged, this, &OptionsDialog::follow_choices);
    rows->addRow(Text(e.text), channels);
    rows->addRow(QString(), channelList_);
    fields_.push_back({e.control, channels});
}

void OptionsDialog::take_widgets() {
    for (const Field& field : fields_) {
        if (auto* tick = qobject_cast<QCheckBox*>(field.widget)) form_.set_ticked(field.control, tick->isChecked());
        if (auto* list = qobject_cast<QComboBox*>(field.widget)) form_.choose(field.control, list->currentIndex());
        if (auto* box = qobject_cast<QLineEdit*>(field.widget)) form_.set_text(field.control, ToUtf8(box->text()));
    }
    if (channelList_) form_.set_text(Control::SignalChannels, ToUtf8(channelList_->text()));
}

void OptionsDialog::follow_choices() {
    take_widgets();
    for (const Field& field : fields_) field.widget->setEnabled(form_.counts(field.control));
    if (channelList_) channelList_->setEnabled(form_.channel_list_counts());
}

void OptionsDialog::accept() {
    take_widgets();
    const std::optional<EntryTexts> edited = form_.accept();
    if (!edited) {
        const OptionsForm::Refusal& refusal = form_.refusal();
        problem_->setText(ToQString(refusal.problem));
        problem_->show();
        for (const Field& field : fields_) {
            if (field.control == refusal.field) (refusal.channelList ? channelList_ : field.widget)->setFocus();
        }
        return;
    }
    edited_ = *edited;
    QDialog::accept();
}

}  // namespace sweepwav
