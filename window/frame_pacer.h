// Redraws at the display's pace. While pacing is on, a widget asked to
// redraw is painted at once only when the last paint was at least one
// display frame ago; otherwise it waits for the next frame, which comes with
// the next request after the frame has passed or with flush(). Everything
// waiting is painted together, in one paint of its window, so each frame
// paints the latest state.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <vector>

namespace sweepwav {

class FramePacer {
public:
    // A display refreshing refreshHz times a second (60 when unknown).
    void set_frame_rate(double refreshHz);

    // Off: whatever waits is painted, and every request paints at once.
    void set_pacing(bool on);
    bool pacing() const { return pacing_; }

    // Paints w now or with the next frame.
    void redraw(QWidget* w);

    // Paints everything that waits for the next frame, now.
    void flush();

private:
    std::int64_t frameNs_ = 16'666'667;
    bool pacing_ = false;
    QElapsedTimer lastFrame_;
    std::vector<QPointer<QWidget>> waiting_;
};

}  // namespace sweepwav
