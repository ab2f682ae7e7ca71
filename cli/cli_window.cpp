#include "cli/cli_window.h"

#include <algorithm>
#include <cmath>

#include "commands/commands.h"

namespace sweepwav {

volatile std::sig_atomic_t CliWindow::abortRequested = 0;
volatile std::sig_atomic_t CliWindow::synthesisBegun = 0;

namespace {
constexpr int kBarCells = 30;
}

CliWindow::CliWindow(GeneratorState& state, Chatter chatter, Redraw redraw, int width)
    : state_(state), chatter_(chatter), redraw_(redraw), width_(width) {}

void CliWindow::set_caption(const std::string&) {}

void CliWindow::set_label(Control label, const std::string& text) {
    if (label != Control::Status || held_) return;
    status_ = text;
    if (chatter_ == Chatter::Bar) {
        drawnCells_ = -1;
        draw_progress();
    } else if (chatter_ == Chatter::Lines && !statusShown_) {
        // A log or a pipe gets the first line only, not one per tone.
        statusShown_ = true;
        WriteText(StandardStream::Error, "sweepwav-cli: " + text + "\n");
    }
}

void CliWindow::set_progress(Control line, double fraction, bool) {
    if (line != Control::Progress2 || held_) return;
    progress2_ = fraction;
    if (chatter_ == Chatter::Bar) draw_progress();
}

void CliWindow::draw_progress() {
    if (status_.empty()) return;  // nothing to show before a command's first status
    const int cells = static_cast<int>(std::lround(progress2_ * kBarCells));
    if (cells == drawnCells_) return;
    drawnCells_ = cells;
    std::string bar(static_cast<std::size_t>(std::max(0, std::min(cells, kBarCells))), '#');
    bar.resize(kBarCells, ' ');
    draw_line("sweepwav-cli: [" + bar + "] " + status_);
    lineOpen_ = true;
}

// Draws the line over the one before: erased with a cursor sequence, or,
// where the console cannot take one, covered with blanks as far as the old
// line went. There the line stops short of the console's last column, so
// that it never wraps onto a line the carriage return does not go back to.
void CliWindow::draw_line(std::string line) {
    if (redraw_ == Redraw::Sequences) return WriteText(StandardStream::Error, "\r\033[K" + line);
    if (width_ > 1 && line.size() >= static_cast<std::size_t>(width_)) line.resize(static_cast<std::size_t>(width_ - 1));
    const std::size_t length = line.size();
    if (length < drawnLength_) line.append(drawnLength_ - length, ' ');
    drawnLength_ = length;
    WriteText(StandardStream::Error, "\r" + line);
}

void CliWindow::hold() { held_ = true; }

void CliWindow::finish() {
    if (lineOpen_) WriteText(StandardStream::Error, "\n");
    lineOpen_ = false;
    drawnLength_ = 0;
}

void CliWindow::say(const std::string& text) {
    if (chatter_ == Chatter::Quiet) return;
    finish();
    WriteText(StandardStream::Error, "sweepwav-cli: " + text + "\n");
}

void CliWindow::set_enabled(Control c, bool enabled) {
    StoredControls::set_enabled(c, enabled);
    if (c == Control::Abort && enabled) synthesisBegun = 1;
}

void CliWindow::do_events() {
    if (abortRequested && enabled[Control::Abort]) {
        abortRequested = 0;
        Abort_Click(state_);
    }
}

void CliWindow::message_box(const std::string& text, const std::string&, Icon icon) {
    // A notice (no icon) is not a refusal or a failure: --quiet drops it.
    if (icon == Icon::None && chatter_ == Chatter::Quiet) return;
    finish();
    WriteText(StandardStream::Error, "sweepwav-cli: " + text + "\n");
    // A refusal or a failure ends the command: what follows is only the
    // return to the idle look.
    if (icon == Icon::Exclamation) hold();
}

}  // namespace sweepwav
