// A front end without a screen: holds the controls' values, answers the
// window operations and prints status texts and messages to stderr.
#pragma once

#include <csignal>
#include <string>

#include "core/generator_state.h"
#include "core/stored_controls.h"
#include "platform/process.h"

namespace sweepwav {

class CliWindow : public StoredControls {
public:
    // How much goes to stderr besides refusals and failures.
    enum class Chatter {
        Bar,    // a terminal: a progress bar with the status, redrawn in place
        Lines,  // not a terminal: the command's first status line only
        Quiet,  // nothing else
    };

    // Writes to standard error; a bar is redrawn as redraw says, in lines
    // of at most width characters where the width is known (not 0).
    CliWindow(GeneratorState& state, Chatter chatter, Redraw redraw = Redraw::Sequences, int width = 0);

    void set_caption(const std::string& caption) override;
    void set_label(Control label, const std::string& text) override;
    void set_progress(Control line, double fraction, bool redraw) override;
    void set_enabled(Control c, bool enabled) override;
    void do_events() override;
    void message_box(const std::string& text, const std::string& title, Icon icon) override;

    // Set from a signal handler: treated as a click on Abort at the next
    // event servicing.
    static volatile std::sig_atomic_t abortRequested;

    // Set once Abort has been enabled, when synthesis begins; read by the
    // signal handler, for which Ctrl-C means Abort only from then on.
    static volatile std::sig_atomic_t synthesisBegun;

    // Ends a progress display left on the terminal line.
    void finish();

    // Keeps the display as it is from now on: the outcome of a run (the bar
    // full, or where an abort left it, and the status that reports it) stays
    // on the terminal rather than turning back to the idle look.
    void hold();

    // Prints "sweepwav-cli: <text>" on its own line, unless quiet.
    void say(const std::string& text);

private:
    void draw_progress();
    void draw_line(std::string line);

    GeneratorState& state_;
    Chatter chatter_;
    Redraw redraw_;
    int width_;
    std::size_t drawnLength_ = 0;
    std::string status_;
    bool statusShown_ = false;
    double progress2_ = 0;
    int drawnCells_ = -1;
    bool lineOpen_ = false;
    bool held_ = false;
};

}  // namespace sweepwav
