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

// The windows' colours, as red, green and blue.
struct Rgb {
    unsigned char red, green, blue;
};
inline constexpr Rgb kHeaderColour{0xee, 0xf3, 0xf8};        // the box around the title
inline constexpr Rgb kHeaderBorderColour{0xc7, 0xd2, 0xde};
inline constexpr Rgb kTitleColour{0x1b, 0x3a, 0x5c};
inline constexpr Rgb kSubtitleColour{0x4b, 0x60, 0x77};
inline constexpr Rgb kBandColour{0x2c, 0x5a, 0x85};          // behind the status line and the headings
inline constexpr Rgb kBandTextColour{0xff, 0xff, 0xff};
inline constexpr Rgb kProgressBandColour{0x1c, 0x2a, 0x38};  // behind the progress lines
inline constexpr Rgb kProgress1Colour{0xff, 0xff, 0xff};
inline constexpr Rgb kProgress2Colour{0xe5, 0x2b, 0x2b};
// The plan's chart draws frequencies in the bands' blue and levels in the
// second progress line's red.
inline constexpr Rgb kFrequencyColour = kBandColour;
inline constexpr Rgb kLevelColour = kProgress2Colour;

// The status line's text while the window waits for a command.
inline constexpr const char* kIdleStatus = "Sweep Configuration";

// Both progress lines empty and the idle status text.
inline void ShowIdleLook(WindowOps& w) {
    w.set_progress(Control::Progress1, 0, false);
    w.set_progress(Control::Progress2, 0, false);
    w.set_label(Control::Status, kIdleStatus);
}

}  // namespace sweepwav
