// What the command line needs from its process beyond files: keyboard
// interrupts, whether a stream is a terminal, the standard streams made
// ready, and the arguments as UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace sweepwav {

// From now on every interrupt from the keyboard (Ctrl-C; on Windows also
// Ctrl-Break) calls onInterrupt: on POSIX systems from a signal handler, on
// Windows from a thread of its own, one call at a time. It may do only what
// a signal handler may, and call EndAtOnce.
void CatchInterrupts(void (*onInterrupt)());

// Removes the temporary files and ends the process at once with status,
// without exit handlers or flushing, leaving any old file as it was. Safe
// from onInterrupt.
[[noreturn]] void EndAtOnce(int status);

// Writes text to standard error at once, unbuffered. Safe from onInterrupt.
void TellAtOnce(const char* text, std::size_t length);

enum class StandardStream { Output, Error };

// Whether the stream is a terminal. On Windows, standard error counts as a
// terminal only when its console takes the cursor sequences the progress
// bar is drawn with.
bool IsTerminal(StandardStream stream);

// Makes the standard streams ready for the command line: bytes pass
// unchanged (no CR added before LF on Windows), and a Windows console shows
// UTF-8 text.
void PrepareStandardStreams();

// From now on a write to a pipe whose reader has gone fails with a reason
// instead of ending the process (as it always does on Windows).
void FailWritesToClosedPipes();

// The arguments after the program name, as UTF-8.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

}  // namespace sweepwav
