// An options dialog of the Options menu, Signal options... or
// Frequencies...: the catalogue's entries of one place in their order, what
// each field shows, which fields count for the choices made in the lists,
// and what OK takes. Numbers and texts are shown and kept exactly as typed:
// a field left as it was opened keeps its value to the last digit. A window
// lays the fields out, forwards what is typed and chosen, and shows a
// refusal's problem beside the fields.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/catalogue.h"
#include "settings/entry_values.h"

namespace sweepwav {

// The channel list beside the channel choice: its tooltip and the example
// it shows while empty.
inline constexpr std::string_view kChannelListTip = "Channel numbers from 1 to 8, separated by commas";
inline constexpr std::string_view kChannelListExample = "1,3";

class OptionsForm {
public:
    // The positions of the channel choice's items.
    enum ChannelMode { kAllChannels = 0, kChannelList = 1, kEachChannel = 2 };

    struct Field {
        const Entry* entry = nullptr;
        std::string opened;  // the value it was opened with, as settings files write it
        // What the window shows and the user changes: a tick, a list's item,
        // a box's text (for the channel choice, the channel list's).
        bool ticked = false;
        int position = 0;
        std::string text;
        // Beside a number, its unit ("ms").
        std::string_view unit;
    };

    struct Refusal {
        Control field;
        bool channelList = false;  // the channel list rather than the field itself
        std::string problem;
    };

    // The dialog of place (Place::SignalDialog or Place::FrequenciesDialog)
    // with the entries' values as they stand.
    OptionsForm(Place place, const EntryTexts& values);

    // How windows name the dialog ("SignalOptions", the menu command's
    // name) and its title ("Signal options").
    std::string_view name() const;
    std::string_view title() const;

    const std::vector<Field>& fields() const { return fields_; }

    // What the user did to a field.
    void set_ticked(Control field, bool ticked);
    void choose(Control list, int position);
    void set_text(Control field, const std::string& text);

    // Whether a field counts for the lists' choices now (the nominal tick
    // for bands, the frequency list for "These frequencies:"); the channel
    // list counts for "These channels:".
    bool counts(Control field) const;
    bool channel_list_counts() const;
    // The channel list's name: the choice it belongs to ("These channels").
    std::string channel_list_name() const;

    // OK: the values that were changed, or none after a refusal (refusal()
    // then says which field and why).
    std::optional<EntryTexts> accept();
    const Refusal& refusal() const { return refusal_; }

private:
    Field* find(Control c);
    const Field* find(Control c) const;
    std::optional<std::string> value_of(const Field& field);

    Place place_;
    std::vector<Field> fields_;
    Refusal refusal_{};
};

}  // namespace sweepwav
