// The system's sound output for the command line: the sound server's
// default device on Linux (PulseAudio, or a server that speaks its
// protocol), the default wave output device on Windows.
#pragma once

#include <memory>

#include "core/audio_output.h"

namespace sweepwav {

std::unique_ptr<AudioOutput> SystemAudioOutput();

}  // namespace sweepwav
