// The numbers of the form's plain labels, of the options dialogs' fields
// and of the menu bar's commands,
// so that the window and the test driver agree on them. A command's number
// is IDM_FIRST + its place in the menu bar's table (commands/window_texts.h).
#pragma once

#include <string_view>

#include "core/controls.h"

namespace sweepwav {

// The control number of a plain label of the form, by its name in the
// catalogue (FormLabels); 0 for none.
int FormLabelId(std::string_view name);

// The numbers of an options dialog's entry: its field, the label of its
// row, the invisible label that names the field for screen readers (0 for a
// tick, which is its own label) and its unit (0 for none); all 0 for an
// entry of no dialog.
struct OptionsIds {
    int field = 0;
    int label = 0;
    int name = 0;
    int unit = 0;
};
OptionsIds OptionsIdsOf(Control entry);

// The number of a named command; 0 for no such command.
int MenuCommandId(std::string_view name);
// The name of the command with that number; empty for none.
std::string_view MenuCommandName(int id);

}  // namespace sweepwav
