#include "window/options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "numbers/number_text.h"
#include "commands/window_texts.h"
#include "platform/qt_text.h"
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

// A list of the entry's items, named before it is filled: a screen reader's
// view of a list is made as the first item goes in.
QComboBox* ItemList(const Entry& e, QWidget* parent) {
    auto* list = new QComboBox(parent);
    Describe(list, e);
    for (const ListItem& item : e.items) list->addItem(QString::fromUtf8(item.text));
    return list;
}

}  // namespace

OptionsDialog::OptionsDialog(WindowOps& window, GeneratorState& state, Place place, const QString& name,
                             const QString& title, QWidget* parent)
    : QDialog(parent), window_(window), state_(state) {
    setObjectName(name + QStringLiteral("Dialog"));
    setWindowTitle(title);
    const EntryTexts values = ReadEntries(window_, state_);
    auto* form = new QFormLayout;
    for (const Entry& e : Entries()) {
        if (e.place != place) continue;
        const QString value = ToQString(values.at(e.control));
        if (e.kind == EntryKind::Channels) {
            add_channels(form, e, value);
        } else {
            add_row(form, e, value);
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
    layout->addLayout(form);
    layout->addWidget(problem_);
    layout->addWidget(buttons);
    follow_choices();
}

void OptionsDialog::add_row(QFormLayout* form, const Entry& e, const QString& value) {
    if (e.kind == EntryKind::Tick) {
        auto* tick = new QCheckBox(Text(e.text), this);
        Describe(tick, e);
        tick->setChecked(value == QLatin1String("yes"));
        form->addRow(QString(), tick);
        fields_.push_back({&e, tick, value});
        return;
    }
    if (e.kind == EntryKind::List) {
        auto* list = ItemList(e, this);
        list->setCurrentIndex(ItemPosition(e, ToUtf8(value)).value_or(0));
        connect(list, &QComboBox::currentIndexChanged, this, &OptionsDialog::follow_choices);
        form->addRow(Text(e.text), list);
        fields_.push_back({&e, list, value});
        return;
    }
    auto* box = new QLineEdit(value, this);
    Describe(box, e);
    auto* row = new QHBoxLayout;
    row->addWidget(box);
    if (e.kind == EntryKind::OptionNumber) row->addWidget(new QLabel(Text(e.unit), this));
    form->addRow(Text(e.text), row);
    if (auto* label = qobject_cast<QLabel*>(form->labelForField(row))) label->setBuddy(box);
    fields_.push_back({&e, box, value});
}

void OptionsDialog::add_channels(QFormLayout* form, const Entry& e, const QString& value) {
    auto* channels = ItemList(e, this);
    channelList_ = new QLineEdit(this);
    channelList_->setObjectName(QStringLiteral("SignalChannelList"));
    channelList_->setPlaceholderText(QStringLiteral("1,3"));
    // Named by the choice that it belongs to ("These channels").
    channelList_->setAccessibleName(Text(e.items[kList].text).remove(QLatin1Char(':')));
    channelList_->setToolTip(QStringLiteral("Channel numbers from 1 to 8, separated by commas"));
    channelList_->setAccessibleDescription(channelList_->toolTip());
    const bool each = value == QLatin1String("each"), all = value == QLatin1String("all");
    channels->setCurrentIndex(each ? kEach : all ? kAll : kList);
    if (!each && !all) channelList_->setText(value);
    connect(channels, &QComboBox::currentIndexChanged, this, &OptionsDialog::follow_choices);
    form->addRow(Text(e.text), channels);
    form->addRow(QString(), channelList_);
    fields_.push_back({&e, channels, value});
}

void OptionsDialog::follow_choices() {
    for (const Field& field : fields_) {
        auto* list = qobject_cast<QComboBox*>(field.widget);
        if (!list) continue;
        const std::string chosen = ItemNameAt(*field.entry, static_cast<std::size_t>(std::max(0, list->currentIndex())));
        if (field.entry->kind == EntryKind::Channels) channelList_->setEnabled(list->currentIndex() == kList);
        if (field.entry->control != Control::Spacing) continue;
        // A list of frequencies for "list"; nominal values for bands.
        for (const Field& other : fields_) {
            if (other.entry->control == Control::FrequencyList) other.widget->setEnabled(chosen == "list");
            if (other.entry->control == Control::NominalBands) other.widget->setEnabled(chosen.starts_with("bands"));
        }
    }
}

void OptionsDialog::refuse(QWidget* field, const QString& problem) {
    problem_->setText(problem);
    problem_->show();
    field->setFocus();
}

std::optional<std::string> OptionsDialog::value_of(const Field& field) {
    const Entry& e = *field.entry;
    if (auto* tick = qobject_cast<QCheckBox*>(field.widget)) return tick->isChecked() ? "yes" : "no";
    if (auto* list = qobject_cast<QComboBox*>(field.widget)) {
        if (e.kind != EntryKind::Channels) return ItemNameAt(e, static_cast<std::size_t>(list->currentIndex()));
        if (list->currentIndex() == kEach) return "each";
        if (list->currentIndex() == kAll) return "all";
        const auto choice = ParseChannelChoice(ToUtf8(channelList_->text()));
        if (choice && !choice->each && !choice->channels.empty()) return ToUtf8(channelList_->text());
        refuse(channelList_, Text(kChannelListProblem));
        return std::nullopt;
    }
    const QString text = static_cast<QLineEdit*>(field.widget)->text();
    if (text == field.shown) return ToUtf8(text);
    if (!CheckedValue(e, ToUtf8(text))) {
        refuse(field.widget, ToQString(LengthProblemText(e.control)));
        return std::nullopt;
    }
    return ToUtf8(text);
}

void OptionsDialog::accept() {
    EntryTexts edited;
    for (const Field& field : fields_) {
        const auto value = value_of(field);
        if (!value) return;
        // A field as it was opened keeps its value as it was, to the last digit.
        if (ToQString(*value) != field.shown) edited[field.entry->control] = *value;
    }
    FillEntries(window_, state_, edited);
    QDialog::accept();
}

}  // namespace sweepwav
