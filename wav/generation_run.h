// One generation run: header, synthesis, file write, status report.
#pragma once

#include <string>

#include "app/generator_state.h"
#include "platform/services.h"
#include "platform/window_ops.h"

namespace sweepwav {

void Generate_WAV_File(GeneratorState& s, WindowOps& w, Services& sv);

// The status text reporting a completed run of dElapsed seconds.
std::string DoneText(double dElapsed);

}  // namespace sweepwav
