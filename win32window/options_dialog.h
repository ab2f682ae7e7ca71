// Options > Signal options... (silence before, between and after the tones,
// ramps where a tone meets silence, the channels that carry the signal) and
// Options > Frequencies... (band centres or a list in place of the form's
// steps): the catalogue's entries of one place, in the dialog
// IDD_SIGNAL_OPTIONS or IDD_FREQUENCIES. Values are shown and kept as typed,
// as the form's entries are; the form itself does not change.
#pragma once

#include <windows.h>

#include "core/generator_state.h"
#include "core/window_ops.h"
#include "settings/catalogue.h"

namespace sweepwav {

// Shows the entries of place (Place::SignalDialog or Place::FrequenciesDialog);
// OK with valid values puts the edited ones into the state, through the
// window as the form's entries are, and returns true.
bool AskOptions(HINSTANCE instance, HWND owner, WindowOps& window, GeneratorState& state, Place place);

}  // namespace sweepwav
