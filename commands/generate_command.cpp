#include <new>

#include "commands/commands.h"
#include "plan/tone_plan.h"
#include "settings/form_data.h"
#include "settings/validation.h"
#include "wav/generation_run.h"

namespace sweepwav {

void OK_Click(GeneratorState& s, WindowOps& w, Services& sv) {
    s.bFileWritten = false;
    Enable_form(w, false);
    Check_Entered_data(s, w);
    if (s.bDataOK) {
        Get_Data_From_Form(s, w);
        Check_Data_Ranges(s, w);
        if (s.bDataOK) {
            Set_up_calculation(s, w);
            if (s.iCalcResult == 1) Generate_WAV_File(s, w, sv);
        }
    }
    Enable_form(w, true);
}

void Abort_Click(GeneratorState& s) { s.bAbort = true; }

std::string Fault_reason(const std::exception& fault) {
    if (dynamic_cast<const std::bad_alloc*>(&fault) != nullptr) return "out of memory";
    return fault.what();
}

}  // namespace sweepwav
