// The numbers of the form's plain labels and of the menu bar's commands,
// so that the window and the test driver agree on them. A command's number
// is IDM_FIRST + its place in the menu bar's table (commands/window_texts.h).
#pragma once

#include <string_view>

#include "core/controls.h"

namespace sweepwav {

// The control number of a plain label of the form, by its name in the
// catalogue (FormLabels); 0 for none.
int FormLabelId(std::string_view name);

// The numbers of a Signal options entry's field and label in its dialog;
// 0 for an entry that is not there.
int SignalFieldId(Control entry);
int SignalLabelId(Control entry);

// The number of a named command; 0 for no such command.
int MenuCommandId(std::string_view name);
// The name of the command with that number; empty for none.
std::string_view MenuCommandName(int id);

}  // namespace sweepwav
