// The window's look outside and during a run: the scale of the two progress
// lines and the idle look every command returns to.
#pragma once

#include "core/window_ops.h"

namespace sweepwav {

// On screen a progress line's right end runs from kLineEmpty to kLineFull
// window units: the position of a fraction f is kLineEmpty + kLineSpan * f.
inline constexpr float kLineEmpty = 60;
inline constexpr float kLineSpan = 4600;
inline constexpr float kLineFull = kLineEmpty + kLineSpan;

// The right end, in window units, of a line that reaches the fraction.
inline float LineX2(double fraction) { return static_cast<float>(fraction * kLineSpan + kLineEmpty); }

// The status line's text while the window waits for a command.
inline constexpr const char* kIdleStatus = "Sweep Configuration";

// Both progress lines empty and the idle status text.
inline void ShowIdleLook(WindowOps& w) {
    w.set_progress(Control::Progress1, 0, false);
    w.set_progress(Control::Progress2, 0, false);
    w.set_label(Control::Status, kIdleStatus);
}

}  // namespace sweepwav
