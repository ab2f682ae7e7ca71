#include "window/frame_pacer.h"

#include <QRegion>
#include <algorithm>
#include <utility>
#include <vector>

namespace sweepwav {

namespace {

void PaintNow(const QPointer<QWidget>& w) {
    if (w) w->repaint();
}

// One paint per window for all that waits in it: with a display server
// every paint that is shown at once costs a round trip.
void PaintTogether(const std::vector<QPointer<QWidget>>& due) {
    std::vector<std::pair<QWidget*, QRegion>> windows;
    for (const QPointer<QWidget>& w : due) {
        if (!w || !w->isVisible()) continue;
        QWidget* top = w->window();
        auto it = std::find_if(windows.begin(), windows.end(), [top](const auto& p) { return p.first == top; });
        if (it == windows.end()) it = windows.insert(windows.end(), {top, QRegion()});
        it->second += QRect(w->mapTo(top, QPoint(0, 0)), w->size());
    }
    for (const auto& [top, region] : windows) top->repaint(region);
}

}  // namespace

WidgetPacer MakeWidgetPacer() { return WidgetPacer(PaintNow, PaintTogether); }

}  // namespace sweepwav
