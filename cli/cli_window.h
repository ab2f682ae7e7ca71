// A front end without a screen: holds the controls' values, answers the
// window operations and prints status texts and messages to stderr.
#pragma once

#include <csignal>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "app/generator_state.h"
#include "platform/window_ops.h"

namespace sweepwav {

class CliWindow : public WindowOps {
public:
    CliWindow(GeneratorState& state, std::FILE* err, bool quiet, bool terminal);

    std::string text(Control box) override;
    void set_text(Control box, const std::string& text) override;
    bool checked(Control box) override;
    void set_checked(Control box, bool ticked) override;
    void add_item(Control list, const std::string& text, int position, std::int32_t value) override;
    void select_index(Control list, int position) override;
    int selected_index(Control list) override;
    int item_count(Control list) override;
    std::int32_t item_value(Control list, int position) override;
    void set_enabled(Control c, bool enabled) override;
    void set_caption(const std::string& caption) override;
    void set_label(Control label, const std::string& text) override;
    void set_line_x2(Control line, float x2, bool redraw) override;
    void do_events() override;
    void message_box(const std::string& text, const std::string& title, Icon icon) override;

    // The items of a list, by text, with their values.
    struct Item {
        std::string text;
        std::int32_t value;
    };
    const std::vector<Item>& items(Control list) { return lists_[list].items; }

    // Set from a signal handler: treated as a click on Abort at the next
    // event servicing.
    static volatile std::sig_atomic_t abortRequested;

    // Ends a progress display left on the terminal line.
    void finish();

private:
    struct List {
        std::vector<Item> items;
        int selected = -1;
    };
    void draw_progress();

    GeneratorState& state_;
    std::FILE* err_;
    bool quiet_;
    bool terminal_;
    std::map<Control, std::string> texts_;
    std::map<Control, bool> checks_;
    std::map<Control, List> lists_;
    std::map<Control, bool> enabled_;
    std::string status_;
    float progress2_ = 60;
    int drawnCells_ = -1;
    bool lineOpen_ = false;
};

}  // namespace sweepwav
