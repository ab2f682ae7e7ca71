// The window's look outside and during a run: the scale of the two progress
// lines and the idle look every command returns to.
#pragma once

#include "core/window_ops.h"

namespace sweepwav {

// A progress line's right end runs from kLineEmpty to kLineFull window units:
// the position of a fraction f is kLineEmpty + kLineSpan * f.
inline constexpr float kLineEmpty = 60;
inline constexpr float kLineSpan = 4600;
inline constexpr float kLineFull = kLineEmpty + kLineSpan;

// The status line's text while the window waits for a command.
inline constexpr const char* kIdleStatus = "Sweep Configuration";

// Both progress lines empty and the idle status text.
inline void Show_idle_look(WindowOps& w) {
    w.set_line_x2(Control::Progress1, kLineEmpty, false);
    w.set_line_x2(Control::Progress2, kLineEmpty, false);
    w.set_label(Control::Status, kIdleStatus);
}

}  // namespace sweepwav
