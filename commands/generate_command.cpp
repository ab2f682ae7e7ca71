#include <new>

#include "commands/commands.h"
#include "commands/outputs.h"
#include "core/window_look.h"
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

bool RunGuarded(GeneratorState& s, WindowOps& w, const char* what, const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const std::exception& e) {
        w.message_box(std::string("The ") + what + " stopped: " + Fault_reason(e), s.sAppTitle, Icon::Exclamation);
        Enable_form(w, true);
        w.set_enabled(Control::Abort, false);
        w.set_caption(s.sAppTitle);
        ShowIdleLook(w);
        return false;
    }
}

}  // namespace sweepwav
