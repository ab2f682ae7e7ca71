// Options > Signal options... and Options > Frequencies...: the fields of an
// OptionsForm (commands/options_form.h), laid out at run time in a dialog of
// their own, a row for each entry in the catalogue's order: its label, the
// invisible label that names the field for screen readers, the field and
// its unit. The form decides what the fields show, which count and what OK
// takes; the form itself does not change here.
#pragma once

#include <windows.h>

#include <optional>

#include "commands/options_form.h"

namespace sweepwav {

// Shows the dialog; the values OK took that differ from those it opened
// with, or none when it was cancelled.
std::optional<EntryTexts> AskOptions(HINSTANCE instance, HWND owner, OptionsForm form);

}  // namespace sweepwav
