// Options > Signal options...: silence before, between and after the tones,
// ramps where a tone meets silence, and the channels that carry the signal,
// in the dialog IDD_SIGNAL_OPTIONS. Its fields are the catalogue's Signal
// options entries; the form itself does not change.
#pragma once

#include <windows.h>

#include "core/generator_state.h"
#include "core/window_ops.h"

namespace sweepwav {

// Shows the options; OK with valid values puts them into the state, as
// typed (through the window, as the form's entries are), and returns true.
bool AskSignalOptions(HINSTANCE instance, HWND owner, WindowOps& window, GeneratorState& state);

}  // namespace sweepwav
