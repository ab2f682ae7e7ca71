// The window as Play shows it: synthesis runs ahead of what is heard by the
// device's buffer, so what it shows (the tone counter, the status line, the
// progress lines, Abort) is held back until the audio it goes with is heard.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "core/generator_state.h"
#include "core/window_ops.h"

namespace sweepwav {

class PlayedWindow : public WindowOps {
public:
    // Shows on w. Audio positions are bytes of audio from the first frame;
    // synthesis's position is the state's iWritePos.
    PlayedWindow(WindowOps& w, const GeneratorState& s, int frameBytes);

    // What the entries hold is asked of and given to the window at once.
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
    void do_events() override { w_.do_events(); }
    void message_box(const std::string& text, const std::string& title, Icon icon) override {
        w_.message_box(text, title, icon);
    }

    // Held back until their audio is heard. The status line says "Playing"
    // where synthesis says "Generating"; Progress1 is placed at the frame of
    // the tone it stands for.
    void set_enabled(Control c, bool enabled) override;
    void set_caption(const std::string& caption) override;
    void set_label(Control label, const std::string& text) override;
    void set_progress(Control line, double fraction, bool redraw) override;

    // Shows everything whose audio lies before heardBytes.
    void show_heard(std::uint64_t heardBytes);

    // Forgets what has not been shown: playing stopped before it was heard.
    void forget_unheard() { held_.clear(); }

private:
    enum class Kind { Enabled, Caption, Label, Progress };
    struct Held {
        std::uint64_t at;
        Kind kind;
        Control control;
        std::string text;
        double fraction;
        bool flag;
    };
    void hold(std::uint64_t at, Kind kind, Control c, std::string text, double fraction, bool flag);

    WindowOps& w_;
    const GeneratorState& s_;
    int frameBytes_;
    std::uint64_t toneStart_ = 0;  // where the tone synthesis is at began
    std::deque<Held> held_;
};

}  // namespace sweepwav
