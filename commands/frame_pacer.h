// Redraws at the display's pace, for any window. While pacing is on, a
// control asked to redraw is painted at once only when the last paint was at
// least one display frame ago; otherwise it waits for the next frame, which
// comes with the next request after the frame has passed or with flush().
// Everything waiting is painted together, so each frame paints the latest
// state. Pacing is on while synthesis runs (FormLook::pacing); outside it
// every request paints at once.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace sweepwav {

// The length of a frame of a display refreshing refreshHz times a second:
// between 240 and 20 frames a second whatever the display reports, 60 when
// it reports nothing.
std::int64_t FrameNanoseconds(double refreshHz);

// Target is how the window names a control (a widget pointer, a handle).
template <typename Target>
class FramePacer {
public:
    using PaintOne = std::function<void(const Target&)>;
    using PaintAll = std::function<void(const std::vector<Target>&)>;

    FramePacer(PaintOne paintNow, PaintAll paintWaiting)
        : paintNow_(std::move(paintNow)), paintWaiting_(std::move(paintWaiting)) {}

    void set_frame_rate(double refreshHz) { frameNs_ = FrameNanoseconds(refreshHz); }

    // Off: whatever waits is painted, and every request paints at once.
    void set_pacing(bool on) {
        if (!on) flush();
        pacing_ = on;
    }
    bool pacing() const { return pacing_; }

    // Paints the control now or with the next frame.
    void redraw(const Target& control) {
        if (!pacing_) {
            paintNow_(control);
            return;
        }
        if (std::find(waiting_.begin(), waiting_.end(), control) == waiting_.end()) waiting_.push_back(control);
        if (!painted_ || Clock::now() - lastFrame_ >= std::chrono::nanoseconds(frameNs_)) flush();
    }

    // Paints everything that waits for the next frame, now.
    void flush() {
        if (waiting_.empty()) return;
        // Taken out first: a paint may ask for another redraw.
        const std::vector<Target> due = std::move(waiting_);
        waiting_.clear();
        paintWaiting_(due);
        lastFrame_ = Clock::now();
        painted_ = true;
    }

private:
    using Clock = std::chrono::steady_clock;

    PaintOne paintNow_;
    PaintAll paintWaiting_;
    std::int64_t frameNs_ = FrameNanoseconds(0);
    bool pacing_ = false;
    bool painted_ = false;
    Clock::time_point lastFrame_{};
    std::vector<Target> waiting_;
};

}  // namespace sweepwav
