// Options > Signal options...: silence before, between and after the tones,
// ramps where a tone meets silence, and the channels that carry the signal,
// in the dialog IDD_SIGNAL_OPTIONS. Its fields are the catalogue's Signal
// options entries; the form itself does not change.
#pragma once

#include <windows.h>

#include "core/generator_state.h"

namespace sweepwav {

// Shows the options; OK with valid values puts them back and returns true.
bool AskSignalOptions(HINSTANCE instance, HWND owner, SignalOptions& options);

}  // namespace sweepwav
