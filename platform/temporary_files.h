// Temporary files that must not outlive the process: their names are kept
// where a signal handler can reach them without allocating, so that
// termination by a signal removes them.
#pragma once

namespace sweepwav {

// Records a temporary file's full path (an absolute or working-folder
// relative path); returns the slot to forget it by, or -1 when every slot is
// taken (the file then is not removed on a signal).
int RememberTemporaryFile(const char* path);
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

// Makes SIGTERM and SIGHUP remove the temporary files before the process
// ends by that signal, and makes a write past the file-size limit fail with
// "File too large" instead of ending the process.
void PrepareProcessForFileWrites();

}  // namespace sweepwav
