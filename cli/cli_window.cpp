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

CliWindow::CliWindow(GeneratorState& state, std::FILE* err, Chatter chatter)
    : state_(state), err_(err), chatter_(chatter) {}

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
        std::fprintf(err_, "sweepwav-cli: %s\n", text.c_str());
        std::fflush(err_);
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
    std::fprintf(err_, "\r\033[Ksweepwav-cli: [%s] %s", bar.c_str(), status_.c_str());
    std::fflush(err_);
    lineOpen_ = true;
}

void CliWindow::hold() { held_ = true; }

void CliWindow::finish() {
    if (lineOpen_) std::fputc('\n', err_);
    lineOpen_ = false;
}

void CliWindow::say(const std::string& text) {
    if (chatter_ == Chatter::Quiet) return;
    finish();
    std::fprintf(err_, "sweepwav-cli: %s\n", text.c_str());
    std::fflush(err_);
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
    std::fprintf(err_, "sweepwav-cli: %s\n", text.c_str());
    std::fflush(err_);
    // A refusal or a failure ends the command: what follows is only the
    // return to the idle look.
    if (icon == Icon::Exclamation) hold();
}

}  // namespace sweepwav
