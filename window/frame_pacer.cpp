#include "window/frame_pacer.h"

#include <QRegion>
#include <algorithm>
#include <utility>

namespace sweepwav {

void FramePacer::set_frame_rate(double refreshHz) {
    // Between 240 and 20 frames a second, whatever the screen reports.
    const double hz = refreshHz > 0 ? std::clamp(refreshHz, 20.0, 240.0) : 60.0;
    frameNs_ = static_cast<std::int64_t>(1e9 / hz);
}

void FramePacer::set_pacing(bool on) {
    if (!on) flush();
    pacing_ = on;
}

void FramePacer::redraw(QWidget* w) {
    if (!pacing_) {
        w->repaint();
        return;
    }
    if (std::find(waiting_.begin(), waiting_.end(), w) == waiting_.end()) waiting_.emplace_back(w);
    if (!lastFrame_.isValid() || lastFrame_.nsecsElapsed() >= frameNs_) flush();
}

void FramePacer::flush() {
    if (waiting_.empty()) return;
    // Taken out first: a paint may run code that asks for another redraw.
    const std::vector<QPointer<QWidget>> due = std::move(waiting_);
    waiting_.clear();
    // One paint per window for all that waits in it: with a display server
    // every paint that is shown at once costs a round trip.
    std::vector<std::pair<QWidget*, QRegion>> windows;
    for (const QPointer<QWidget>& w : due) {
        if (!w || !w->isVisible()) continue;
        QWidget* top = w->window();
        auto it = std::find_if(windows.begin(), windows.end(), [top](const auto& p) { return p.first == top; });
        if (it == windows.end()) it = windows.insert(windows.end(), {top, QRegion()});
        it->second += QRect(w->mapTo(top, QPoint(0, 0)), w->size());
    }
    for (const auto& [top, region] : windows) top->repaint(region);
    lastFrame_.start();
}

}  // namespace sweepwav
