// The paths and the final line the command line prints about a run.
#pragma once

#include <string>

#include "core/generator_state.h"

namespace sweepwav {

// A folder as an absolute path through its real folders, without ".", ".."
// or doubled separators, ending in "/" so that a file name can follow. Where
// the folders cannot be looked up, the absolute path as given. On Windows a
// network folder (\\server\share\...) or one in the long form (\\?\...) is
// kept as given.
std::string AbsoluteNormalFolder(const std::string& folder);

// A file's path the same way: its folder normalised, its own name kept (a
// link at the name is not followed).
std::string AbsoluteNormalFile(const std::string& path);

// The line that says what a completed run wrote: "wrote PATH (N bytes) in T
// seconds", or after an abort "aborted at sweep step K of N; PATH written at
// full length, silent from there", counting steps as the status line does;
// PATH is sWrittenPath. interrupted: a stop was asked for once the file had
// taken its name.
std::string WrittenLine(const GeneratorState& s, bool toStdout, bool interrupted);

// The line that says what a Play played: "played to the end in T seconds",
// or after a stop "stopped playing at sweep step K of N", the step heard
// last.
std::string PlayedLine(const GeneratorState& s);

}  // namespace sweepwav
