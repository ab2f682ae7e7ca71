// The window as Play shows it: synthesis runs ahead of what is heard by the
// device's buffer, so what it shows (the tone counter, the status line, the
// progress lines, Abort) is held back until the audio it goes with is heard.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "core/forwarding_window.h"
#include "core/generator_state.h"

namespace sweepwav {

// What the entries hold is asked of and given to the window at once
// (ForwardingWindow); what shows the run's progress is held back.
class PlayedWindow : public ForwardingWindow {
public:
    // Shows on w. Audio positions are bytes of audio from the first frame;
    // synthesis's position is the state's iWritePos.
    PlayedWindow(WindowOps& w, const GeneratorState& s, int frameBytes);

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

    const GeneratorState& s_;
    int frameBytes_;
    std::uint64_t toneStart_ = 0;  // where the tone synthesis is at began
    std::deque<Held> held_;
};

}  // namespace sweepwav
