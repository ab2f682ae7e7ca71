#include "commands/played_window.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>

namespace sweepwav {

namespace {

constexpr std::string_view kSynthesisStep = "Generating sweep step ";
constexpr std::string_view kPlayingStep = "Playing sweep step ";

}  // namespace

PlayedWindow::PlayedWindow(WindowOps& w, const GeneratorState& s, int frameBytes)
    : ForwardingWindow(w), s_(s), frameBytes_(frameBytes) {}

void PlayedWindow::hold(std::uint64_t at, Kind kind, Control c, std::string text, double fraction, bool flag) {
    held_.push_back({at, kind, c, std::move(text), fraction, flag});
}

void PlayedWindow::set_enabled(Control c, bool enabled) {
    hold(static_cast<std::uint64_t>(s_.iWritePos), Kind::Enabled, c, {}, 0, enabled);
}

void PlayedWindow::set_caption(const std::string& caption) {
    hold(static_cast<std::uint64_t>(s_.iWritePos), Kind::Caption, Control::Status, caption, 0, false);
}

void PlayedWindow::set_label(Control label, const std::string& text) {
    std::string shown = text;
    if (label == Control::Status && shown.starts_with(kSynthesisStep)) {
        shown.replace(0, kSynthesisStep.size(), kPlayingStep);
    }
    hold(static_cast<std::uint64_t>(s_.iWritePos), Kind::Label, label, std::move(shown), 0, false);
}

// Progress1 tells how far into its tone synthesis is, and is shown when that
// frame is heard; it is emptied as a tone begins.
void PlayedWindow::set_progress(Control line, double fraction, bool redraw) {
    const auto position = static_cast<std::uint64_t>(s_.iWritePos);
    std::uint64_t at = position;
    if (line == Control::Progress1) {
        if (fraction == 0) toneStart_ = position;
        const auto k = static_cast<std::size_t>(s_.iLastTone);
        const double frames = k < s_.dSamples.size() ? s_.dSamples[k] : 0;
        const auto frame = static_cast<std::uint64_t>(std::llround(std::max(0.0, fraction) * frames));
        at = std::clamp(toneStart_ + frame * static_cast<std::uint64_t>(frameBytes_), toneStart_,
                        std::max(toneStart_, position));
    }
    hold(at, Kind::Progress, line, {}, fraction, redraw);
}

void PlayedWindow::show_heard(std::uint64_t heardBytes) {
    while (!held_.empty() && held_.front().at <= heardBytes) {
        const Held h = std::move(held_.front());
        held_.pop_front();
        switch (h.kind) {
            case Kind::Enabled: w_.set_enabled(h.control, h.flag); break;
            case Kind::Caption: w_.set_caption(h.text); break;
            case Kind::Label: w_.set_label(h.control, h.text); break;
            case Kind::Progress: w_.set_progress(h.control, h.fraction, h.flag); break;
        }
    }
}

}  // namespace sweepwav
