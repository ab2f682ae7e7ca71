// Tones at the frequencies measurement benches use instead of the form's
// even steps: the centres of 1/N-octave bands (N = 1, 3, 6, 12 or 24) from
// the start to the end frequency, at their exact mid-band frequencies by IEC
// 61260-1 or at their nominal values, or a typed list of frequencies.
#pragma once

#include <string>
#include <vector>

#include "core/generator_state.h"
#include "core/window_ops.h"

namespace sweepwav {

// The exact mid-band frequency of band x of the 1/N-octave series by IEC
// 61260-1, band 0 at or just above 1000 Hz, with G = 10^(3/10): 1000 x
// G^(x/N) for odd N, 1000 x G^((2x+1)/(2N)) for even N (whose bands have
// 1000 Hz on an edge between two of them). The double nearest the exact
// value.
double ExactMidBand(int n, int x);

// Whether the standard gives nominal mid-band frequencies for the series:
// for octaves, thirds, 1/6 and 1/12 octaves, not for 1/24 octaves.
bool HasNominalMidBands(int n);

// The nominal mid-band frequency of band x, for a series that has them: the
// preferred number (ISO 3, ISO 266) nearest the exact one: 31.5, 63, 125 ...
// for octaves, 20, 25, 31.5 ... for thirds, odd-numbered members of R40 for
// 1/6 octaves (1060, 1180 ...) and of R80 for 1/12 octaves (1030, 1090 ...).
double NominalMidBand(int n, int x);

// The bands whose exact mid-band lies between from and to (either way
// round, ends included), in order from `from` to `to`: their exact or
// nominal mid-bands (exact where the series has no nominal ones). Empty
// when none does.
std::vector<double> BandCentres(int n, bool nominal, double from, double to);

// The name of a 1/N-octave series: "octave", "third-octave", "1/6-octave".
std::string BandName(int n);

// What the state's spacing says: "third-octave bands", "third-octave bands
// at nominal frequencies", "the listed frequencies"; empty for the form's
// steps.
std::string SpacingWords(const GeneratorState& s);

// With a list of frequencies, that every entry is a number, as Make file
// name asks of the boxes it reads; a refusal as PlanToneFrequencies gives
// one. True for any other spacing.
[[nodiscard]] bool CheckListNumbers(GeneratorState& s, WindowOps& w);

// After the range checks: the frequencies of the tones when the spacing is
// not the form's steps (listedFreq, and iSteps for their number), checked
// against the rate's limits and the 1000 tones a sweep may have. A refusal
// shows its message, names the entry in refusedEntry and clears bDataOK;
// returns false then. With the form's steps listedFreq is left empty.
[[nodiscard]] bool PlanToneFrequencies(GeneratorState& s, WindowOps& w);

}  // namespace sweepwav
