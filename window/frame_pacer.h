// The window's redraws at the display's pace (commands/frame_pacer.h): a
// widget asked to redraw outside pacing is painted at once; what waits for
// a frame is painted in one paint of its window.
#pragma once

#include <QPointer>
#include <QWidget>

#include "commands/frame_pacer.h"

namespace sweepwav {

using WidgetPacer = FramePacer<QPointer<QWidget>>;

WidgetPacer MakeWidgetPacer();

}  // namespace sweepwav
