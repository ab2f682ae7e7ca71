// The window's start-up and its command handlers, free of any toolkit: they
// act on the state and reach the screen and the system only through the
// window operations and the platform services they are given.
#pragma once

#include "app/generator_state.h"
#include "platform/services.h"
#include "platform/window_ops.h"

namespace sweepwav {

// Start-up: constants, default settings, the four lists, the control values,
// then (when lookUpFolder) the analyser folder lookup.
void Form_Load(GeneratorState& s, WindowOps& w, Services& sv, bool lookUpFolder = true);

// Enables or disables the 17 input controls in focus order; never Abort.
void Enable_form(WindowOps& w, bool enabled);

// "Generate file".
void OK_Click(GeneratorState& s, WindowOps& w, Services& sv);

// Copies the controls into the settings, normalising and rewriting boxes.
void Get_Data_From_Form(GeneratorState& s, WindowOps& w);

// "Show Info": checks and plans as a run does, then shows the report in a
// message box or, when long, writes it to wav_info.txt and opens it.
void ShowInfo_Click(GeneratorState& s, WindowOps& w, Services& sv);

// "Make file name": proposes a file name from the sweep entries.
void AutoName_Click(GeneratorState& s, WindowOps& w);

// "Abort": requests that synthesis stops.
void Abort_Click(GeneratorState& s);

}  // namespace sweepwav
