#include "platform/stored_controls.h"

namespace sweepwav {

void StoredControls::add_item(Control list, const std::string& text, int position,
                              std::int32_t value) {
    auto& items = lists[list].items;
    if (position < 0 || position > static_cast<int>(items.size())) {
        position = static_cast<int>(items.size());
    }
    items.insert(items.begin() + position, Item{text, value});
}

std::int32_t StoredControls::item_value(Control list, int position) {
    const auto& items = lists[list].items;
    if (position < 0 || position >= static_cast<int>(items.size())) return 0;
    return items[static_cast<std::size_t>(position)].value;
}

}  // namespace sweepwav
