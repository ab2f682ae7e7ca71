// Start-up and the window's commands, free of any toolkit: they act on the
// state and reach the screen and the system only through the window
// operations and the platform services they are given. Each leaves its
// outcome in the state's flags and shows its own messages.
#pragma once

#include <exception>
#include <functional>
#include <string>

#include "core/audio_output.h"
#include "core/generator_state.h"
#include "core/services.h"
#include "core/window_ops.h"

namespace sweepwav {

// Start-up: constants, default settings, the four lists, the control values,
// then (when lookUpFolder) the analyser folder lookup.
void Form_Load(GeneratorState& s, WindowOps& w, Services& sv, bool lookUpFolder = true);

// Enables or disables the 17 input controls in focus order; never Abort.
void Enable_form(WindowOps& w, bool enabled);

// The checks and the planning that every command on a sweep runs first:
// Check_Entered_data, Get_Data_From_Form, Check_Data_Ranges,
// Set_up_calculation, and that the file fits a WAV file. Returns false when
// a check refused the entries (bDataOK false, its message shown) or the plan
// was refused (iCalcResult not 1).
[[nodiscard]] bool PlanFromEntries(GeneratorState& s, WindowOps& w);

// "Generate file".
void OK_Click(GeneratorState& s, WindowOps& w, Services& sv);

// "Show Info": plans from the entries and shows the report in a message box
// or, when long, writes it to wav_info.txt in the output folder and opens it
// in the text viewer.
void ShowInfo_Click(GeneratorState& s, WindowOps& w, Services& sv);

// "Make file name": checks the five sweep numbers, then puts a name such as
// "SW 20Hz to 20kHz at -20dBFS.wav" into the FileName box. A failed check
// shows its message, clears bDataOK and leaves the box as it was.
void AutoName_Click(GeneratorState& s, WindowOps& w);

// "Abort": requests that synthesis stops.
void Abort_Click(GeneratorState& s);

// "Play": checks and plans the entries as Generate does, then plays the
// sweep on the output's default device from the same synthesis, streamed as
// it is made: the device gets exactly the samples the file would hold. The
// status line ("Playing sweep step 3 of 10"), the caption and the progress
// lines follow the tone being heard. Abort stops it at once (it is seen
// between two twentieths of a second of audio) and the report reads
// "Playing stopped". With writeFile, the same samples also go into the file
// Generate would write, as Generate writes it; after a stop it holds what was
// heard, then silence. A device or file that fails gets one message box, and
// nothing is written; the form is unlocked again in every case. Sets bPlayed
// (and bFileWritten) and iPlayedFrames; after a stop, iLastTone and lastPass
// name the tone heard last.
void Play_Click(GeneratorState& s, WindowOps& w, Services& sv, AudioOutput& out, bool writeFile = false);

// The reason a fault gives that the commands do not handle themselves (as
// "out of memory"), for "The run stopped: <reason>".
std::string Fault_reason(const std::exception& fault);

// Runs one of the commands above for a window. A fault the commands do not
// handle themselves (memory for a very large sweep) is shown as "The <what>
// stopped: <reason>" and the window returns to its idle look; false then.
bool RunGuarded(GeneratorState& s, WindowOps& w, const char* what, const std::function<void()>& command);

}  // namespace sweepwav
