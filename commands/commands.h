// The window's start-up and its Generate and Abort commands, free of any
// toolkit: they act on the state and reach the screen and the system only
// through the window operations and the platform services they are given.
// Show Info and Make file name live with the report and the file naming.
#pragma once

#include <exception>
#include <string>

#include "core/generator_state.h"
#include "core/services.h"
#include "core/window_ops.h"

namespace sweepwav {

// Start-up: constants, default settings, the four lists, the control values,
// then (when lookUpFolder) the analyser folder lookup.
void Form_Load(GeneratorState& s, WindowOps& w, Services& sv, bool lookUpFolder = true);

// Enables or disables the 17 input controls in focus order; never Abort.
void Enable_form(WindowOps& w, bool enabled);

// "Generate file".
void OK_Click(GeneratorState& s, WindowOps& w, Services& sv);

// "Abort": requests that synthesis stops.
void Abort_Click(GeneratorState& s);

// The reason a fault gives that the commands do not handle themselves (as
// "out of memory"), for "The run stopped: <reason>".
std::string Fault_reason(const std::exception& fault);

}  // namespace sweepwav
