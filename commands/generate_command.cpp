#include <new>

#include "commands/commands.h"
#include "commands/outputs.h"
#include "wav/generation_run.h"

namespace sweepwav {

void OK_Click(GeneratorState& s, WindowOps& w, Services& sv) {
    s.bFileWritten = false;
    Enable_form(w, false);
    if (PlanFromEntries(s, w)) Generate_WAV_File(s, w, sv, DestinationPath(s));
    Enable_form(w, true);
}

void Abort_Click(GeneratorState& s) { s.bAbort = true; }

std::string Fault_reason(const std::exception& fault) {
    if (dynamic_cast<const std::bad_alloc*>(&fault) != nullptr) return "out of memory";
    return fault.what();
}

}  // namespace sweepwav
