// One generation run: header, synthesis and file write, status report.
#pragma once

#include <string>

#include "core/generator_state.h"
#include "core/services.h"
#include "core/window_ops.h"

namespace sweepwav {

// Writes, to path, the header and then the audio as it is synthesised into a new file
// (followed by the tone markers when markers is set) that replaces the old
// one only once complete, reports the outcome on the
// status line, holds it for two seconds and returns to the idle look. A
// failed write is reported in a message box and leaves the old file as it
// was.
void Generate_WAV_File(GeneratorState& s, WindowOps& w, Services& sv, const std::string& path);

// The run time in seconds from two clock readings (seconds since midnight),
// the end read in single precision. A day is added only when the run passed
// midnight; an end reading that falls just before the start counts as 0.
double ElapsedSeconds(double start, double end);

// The status text reporting a completed run of dElapsed seconds.
std::string DoneText(double dElapsed);

}  // namespace sweepwav
