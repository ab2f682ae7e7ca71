// Temporary files that must not outlive the process: their names are kept
// where a signal handler can reach them without allocating, so that
// termination by a signal removes them.
#pragma once

#include <cstddef>

namespace sweepwav {

// The longest temporary name that can be remembered, in bytes.
constexpr std::size_t kLongestTemporaryName = 63;

// Records a temporary file by its folder, an open descriptor that must stay
// open until the file is forgotten, and its name in that folder; so the
// length of the folder's path does not matter. Record the name before the
// file takes it, so that no moment passes with a named file that a signal
// would leave behind. Returns the slot to forget it by, or -1 when every
// slot is taken or the name is too long (the file then is not removed on a
// signal).
#ifdef _WIN32
// On Windows a temporary file is recorded by its full path.
int RememberTemporaryFile(const char* path);
#else
int RememberTemporaryFile(int folderFd, const char* name);
#endif
void ForgetTemporaryFile(int slot);

// Removes every remembered temporary file. Safe to call from a signal
// handler.
void RemoveTemporaryFiles();

// Whether a finished file has begun to take its name (the rename over the
// target): from then on the outcome on disk is the new file, and a signal
// handler that would end the process should let it be reported first. Set
// just before the rename, cleared when the rename failed. Safe to read from
// a signal handler.
void NoteFileTakingName(bool taking);
bool FileTakingName();

// Makes every signal whose default action ends the process remove the
// temporary files first and then end the process as it would have; signals
// that are ignored or already have a handler are left alone. Makes a write
// past the file-size limit fail with "File too large" instead of ending the
// process. Call it first thing in main, after any handler of one's own.
void PrepareProcessForFileWrites();

}  // namespace sweepwav
