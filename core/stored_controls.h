// The values of the window's input controls held in memory: for a front end
// without a screen, and for the tests' recording window. Only the parts that
// show something (labels, lines, caption, messages, events) are left to the
// front end.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/window_ops.h"

namespace sweepwav {

class StoredControls : public WindowOps {
public:
    struct Item {
        std::string text;
        std::int32_t value;
    };
    struct List {
        std::vector<Item> items;
        int selected = -1;
    };

    std::string text(Control box) override { return texts[box]; }
    void set_text(Control box, const std::string& text) override { texts[box] = text; }
    bool checked(Control box) override { return checks[box]; }
    void set_checked(Control box, bool ticked) override { checks[box] = ticked; }
    void add_item(Control list, const std::string& text, int position, std::int32_t value) override {
        auto& items = lists[list].items;
        if (position < 0 || position > static_cast<int>(items.size())) {
            position = static_cast<int>(items.size());
        }
        items.insert(items.begin() + position, Item{text, value});
    }
    void select_index(Control list, int position) override { lists[list].selected = position; }
    int selected_index(Control list) override { return lists[list].selected; }
    int item_count(Control list) override { return static_cast<int>(lists[list].items.size()); }
    std::int32_t item_value(Control list, int position) override {
        const auto& items = lists[list].items;
        if (position < 0 || position >= static_cast<int>(items.size())) return 0;
        return items[static_cast<std::size_t>(position)].value;
    }
    void set_enabled(Control c, bool on) override { enabled[c] = on; }

    const std::vector<Item>& items(Control list) { return lists[list].items; }

    std::map<Control, std::string> texts;
    std::map<Control, bool> checks;
    std::map<Control, List> lists;
    std::map<Control, bool> enabled;
};

}  // namespace sweepwav
