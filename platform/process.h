// What the command line needs from its process beyond files: keyboard
// interrupts, whether a stream is a terminal, the standard streams made
// ready, and the arguments as UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
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

// Whether the stream is a terminal (on Windows, a console).
bool IsTerminal(StandardStream stream);

// How a line of standard error can be drawn again in place: not at all (it
// is no terminal), with a terminal's cursor sequences, or, on a Windows
// console that shows them rather than acting on them, only with a carriage
// return and blanks over what the old line had more.
enum class Redraw { None, Sequences, CarriageReturn };
Redraw ErrorRedraw();

// How many characters a line of standard error's console holds, where it
// is a console that says so; 0 otherwise.
int ErrorLineWidth();

// Makes the standard streams ready for the command line: bytes pass
// unchanged (no CR added before LF on Windows), and on a Windows console
// standard error takes the cursor sequences where the console can.
void PrepareStandardStreams();

// Writes UTF-8 text to the stream so that it shows as typed: on a Windows
// console as its characters, whatever the console's code page; to a pipe,
// a file or a terminal elsewhere as the bytes unchanged. Standard error is
// written at once, standard output when it is flushed.
void WriteText(StandardStream stream, std::string_view text);

// From now on a write to a pipe whose reader has gone fails with a reason
// instead of ending the process (as it always does on Windows).
void FailWritesToClosedPipes();

// The arguments after the program name, as UTF-8.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

}  // namespace sweepwav
