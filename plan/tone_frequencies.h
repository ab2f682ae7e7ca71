// Tones at the frequencies measurement benches use instead of the form's
// even steps: the centres of 1/N-octave bands (N = 1, 3, 6, 12 or 24) from
// the start to the end frequency, at their exact base-10 values or at their
// nominal ISO 266 values, or a typed list of frequencies.
#pragma once

#include <string>
#include <vector>

#include "core/generator_state.h"
#include "core/window_ops.h"

namespace sweepwav {

// The exact centre of band k of the 1/N-octave series: 1000 x 10^(3k/(10N))
// Hz, band 0 at 1000 Hz.
double ExactCentre(int n, int k);

// Its nominal value, the preferred number of ISO 266 (R10 for octaves and
// thirds, R20, R40 and R80 for the finer bands): 31.5, 63, 125, ...
double NominalCentre(int n, int k);

// The bands whose nominal centre lies between from and to (either way round,
// ends included), in order from `from` to `to`: their exact or nominal
// centres. Empty when none does.
std::vector<double> BandCentres(int n, bool nominal, double from, double to);

// The name of a 1/N-octave series: "octave", "third-octave", "1/6-octave".
std::string BandName(int n);

// What the state's spacing says: "third-octave bands", "third-octave bands
// at nominal frequencies", "the listed frequencies"; empty for the form's
// steps.
std::string SpacingWords(const GeneratorState& s);

// After the range checks: the frequencies of the tones when the spacing is
// not the form's steps (listedFreq, and iSteps for their number), checked
// against the rate's limits and the 1000 tones a sweep may have. A refusal
// shows its message, names the entry in refusedEntry and clears bDataOK;
// returns false then. With the form's steps listedFreq is left empty.
[[nodiscard]] bool PlanToneFrequencies(GeneratorState& s, WindowOps& w);

}  // namespace sweepwav
