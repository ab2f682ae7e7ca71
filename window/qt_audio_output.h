// Play in the Qt window: Qt Multimedia's audio output to the desktop's
// default device.
#pragma once

#include <memory>

#include "core/audio_output.h"

namespace sweepwav {

// Needs the application object. Samples in 3-byte containers go to the
// device as 32-bit ones (Qt has no 24-bit format): the same values, with a
// zero byte below them.
std::unique_ptr<AudioOutput> QtAudioOutput();

}  // namespace sweepwav
