#include "commands/commands.h"
#include "plan/tone_frequencies.h"
#include "settings/auto_name.h"

namespace sweepwav {

void AutoName_Click(GeneratorState& s, WindowOps& w) {
    if (!CheckNameEntries(s, w) || !CheckListNumbers(s, w)) return;
    TakeNameEntries(s, w);
    w.set_text(Control::FileName, ProposedFileName(s));
}

}  // namespace sweepwav
