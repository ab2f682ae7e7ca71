#include "commands/options_form.h"

#include "commands/window_texts.h"

namespace sweepwav {

OptionsForm::OptionsForm(Place place, const EntryTexts& values) : place_(place) {
    for (const Entry& e : Entries()) {
        if (e.place != place) continue;
        const auto value = values.find(e.control);
        Field field;
        field.entry = &e;
        field.opened = value == values.end() ? std::string(e.startup) : value->second;
        const std::string& opened = field.opened;
        switch (e.kind) {
            case EntryKind::Tick: field.ticked = opened == "yes"; break;
            case EntryKind::List: field.position = ItemPosition(e, opened).value_or(0); break;
            case EntryKind::Channels:
                field.position = opened == "each" ? kEachChannel : opened == "all" ? kAllChannels : kChannelList;
                if (field.position == kChannelList) field.text = opened;
                break;
            default: field.text = opened; break;
        }
        if (e.kind == EntryKind::OptionNumber) field.unit = e.unit;
        fields_.push_back(std::move(field));
    }
}

std::string_view OptionsForm::name() const {
    return place_ == Place::FrequenciesDialog ? "Frequencies" : "SignalOptions";
}

std::string_view OptionsForm::title() const {
    return place_ == Place::FrequenciesDialog ? kFrequenciesTitle : kSignalOptionsTitle;
}

OptionsForm::Field* OptionsForm::find(Control c) {
    for (Field& f : fields_) {
        if (f.entry->control == c) return &f;
    }
    return nullptr;
}

const OptionsForm::Field* OptionsForm::find(Control c) const { return const_cast<OptionsForm*>(this)->find(c); }

void OptionsForm::set_ticked(Control field, bool ticked) {
    if (Field* f = find(field)) f->ticked = ticked;
}

void OptionsForm::choose(Control list, int position) {
    Field* f = find(list);
    if (f && position >= 0 && static_cast<std::size_t>(position) < f->entry->items.size()) f->position = position;
}

void OptionsForm::set_text(Control field, const std::string& text) {
    if (Field* f = find(field)) f->text = text;
}

bool OptionsForm::counts(Control field) const {
    const Field* spacing = find(Control::Spacing);
    if (!spacing) return true;
    const std::string chosen = ItemNameAt(*spacing->entry, static_cast<std::size_t>(spacing->position));
    if (field == Control::NominalBands) return chosen.starts_with("bands");
    if (field == Control::FrequencyList) return chosen == "list";
    return true;
}

bool OptionsForm::channel_list_counts() const {
    const Field* channels = find(Control::SignalChannels);
    return channels && channels->position == kChannelList;
}

std::string OptionsForm::channel_list_name() const {
    const std::string_view choice = EntryOf(Control::SignalChannels).items[kChannelList].text;
    return std::string(choice.substr(0, choice.find(':')));
}

std::optional<std::string> OptionsForm::value_of(const Field& field) {
    const Entry& e = *field.entry;
    switch (e.kind) {
        case EntryKind::Tick: return field.ticked ? "yes" : "no";
        case EntryKind::List: return ItemNameAt(e, static_cast<std::size_t>(field.position));
        case EntryKind::Channels: {
            if (field.position == kEachChannel) return "each";
            if (field.position == kAllChannels) return "all";
            const auto choice = ParseChannelChoice(field.text);
            if (choice && !choice->each && !choice->channels.empty()) return field.text;
            refusal_ = {e.control, true, std::string(kChannelListProblem)};
            return std::nullopt;
        }
        default: break;
    }
    // "These frequencies:" with no frequency is refused here, at OK, not
    // first when the sweep is planned.
    if (e.kind == EntryKind::Frequencies && counts(e.control) &&
        field.text.find_first_not_of(" \t") == std::string::npos) {
        refusal_ = {e.control, false, std::string(kFrequencyListProblem)};
        return std::nullopt;
    }
    if (field.text != field.opened && !CheckedValue(e, field.text)) {
        refusal_ = {e.control, false, LengthProblemText(e.control)};
        return std::nullopt;
    }
    return field.text;
}

std::optional<EntryTexts> OptionsForm::accept() {
    EntryTexts edited;
    for (const Field& field : fields_) {
        const std::optional<std::string> value = value_of(field);
        if (!value) return std::nullopt;
        if (*value != field.opened) edited[field.entry->control] = *value;
    }
    return edited;
}

}  // namespace sweepwav
