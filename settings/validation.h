// The two checks that decide whether a command may go ahead. Each shows at
// most one message box and leaves its verdict in bDataOK; a refusal also
// names the box it was about in refusedEntry.
#pragma once

#include <cstdint>
#include <span>

#include "core/generator_state.h"
#include "core/window_ops.h"

namespace sweepwav {

// Raw texts: numbers where numbers belong, no folder separator in the name.
void Check_Entered_data(GeneratorState& s, WindowOps& w);

// Settings against their ranges (after Get_Data_From_Form).
void Check_Data_Ranges(GeneratorState& s, WindowOps& w);

// A box that must hold a number, and the message shown when it does not.
struct NumberCheck {
    Control box;
    const char* message;
};

// Runs the checks of the boxes that count in order; at the first box that
// does not hold a number
// shows its message, clears bDataOK, names the box in refusedEntry and
// returns false.
[[nodiscard]] bool CheckNumbers(GeneratorState& s, WindowOps& w, std::span<const NumberCheck> checks);

// Whether an entry counts for the sweep the state describes: with tones at
// band mid-bands the steps and their spacing (Steps, Logsteps) do not, with
// a list of frequencies the start and end frequencies do not either. An
// entry that does not count is neither checked nor used.
bool EntryCounts(const GeneratorState& s, Control entry);

// Highest frequency a sweep may reach at this rate: 0.49 x rate, rounded.
std::int32_t FrequencyLimit(std::int32_t sampleRate);

}  // namespace sweepwav
