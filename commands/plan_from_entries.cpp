#include "commands/commands.h"
#include "plan/signal_layout.h"
#include "plan/tone_frequencies.h"
#include "plan/tone_plan.h"
#include "settings/form_data.h"
#include "settings/validation.h"
#include "wav/wav_format.h"

namespace sweepwav {

bool PlanFromEntries(GeneratorState& s, WindowOps& w) {
    Check_Entered_data(s, w);
    if (!s.bDataOK) return false;
    Get_Data_From_Form(s, w);
    Check_Data_Ranges(s, w);
    if (!s.bDataOK) return false;
    if (!PlanToneFrequencies(s, w)) return false;
    Set_up_calculation(s, w);
    if (s.iCalcResult != 1) return false;
    if (!CheckSignalOptions(s, w)) return false;
    // The file's size, its tone markers included, must fit its 32-bit fields.
    if (!FitsInWavFile(PlannedFileSize(s))) {
        RefuseOversize(s, w);
        return false;
    }
    return true;
}

}  // namespace sweepwav
