// A signal that would stop a run at once, arriving once the new file has
// begun to take its name: the file is then on disk, so the run goes on to say
// so, and only then ends as the signal asked.
#pragma once

namespace sweepwav {

// For a signal handler, first thing: when a file is taking, or has taken,
// its name, notes the signal and returns true (the handler then returns).
bool HoldIfFileNamed(int signal);

// The signal held, or 0.
int HeldSignal();

// Lets SIGTERM and SIGHUP be held in the same way; otherwise they act as
// their handlers did before (a signal that is ignored stays ignored). Does
// nothing where the system has no such signals.
void HoldTerminationOnceNamed();

// After the final line: the exit status for a held Ctrl-C (130), or the end
// by the held signal itself.
int EndAsHeld(int signal);

}  // namespace sweepwav
