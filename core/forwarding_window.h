// Window operations that pass every call on to another window: the base of
// those that take some calls in on the way (the form model, Play's hold-back
// of what is not heard yet), so that each names only what it changes.
#pragma once

#include <cstdint>
#include <string>

#include "core/window_ops.h"

namespace sweepwav {

class ForwardingWindow : public WindowOps {
public:
    explicit ForwardingWindow(WindowOps& window) : w_(window) {}

    std::string text(Control box) override { return w_.text(box); }
    void set_text(Control box, const std::string& text) override { w_.set_text(box, text); }
    bool checked(Control box) override { return w_.checked(box); }
    void set_checked(Control box, bool ticked) override { w_.set_checked(box, ticked); }
    void add_item(Control list, const std::string& text, int position, std::int32_t value) override {
        w_.add_item(list, text, position, value);
    }
    void select_index(Control list, int position) override { w_.select_index(list, position); }
    int selected_index(Control list) override { return w_.selected_index(list); }
    int item_count(Control list) override { return w_.item_count(list); }
    std::int32_t item_value(Control list, int position) override { return w_.item_value(list, position); }
    void set_enabled(Control c, bool enabled) override { w_.set_enabled(c, enabled); }
    void set_caption(const std::string& caption) override { w_.set_caption(caption); }
    void set_label(Control label, const std::string& text) override { w_.set_label(label, text); }
    void set_progress(Control line, double fraction, bool redraw) override { w_.set_progress(line, fraction, redraw); }
    void do_events() override { w_.do_events(); }
    void message_box(const std::string& text, const std::string& title, Icon icon) override {
        w_.message_box(text, title, icon);
    }
    void show_long_text(const std::string& note, const std::string& text, const std::string& title) override {
        w_.show_long_text(note, text, title);
    }

protected:
    WindowOps& w_;
};

}  // namespace sweepwav
