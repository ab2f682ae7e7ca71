// Replacing a file safely: the new content goes to a temporary file in the
// same folder, which takes the file's name only once it is complete. Only
// the named file changes: a symbolic link at that name is replaced by the
// new file, and the file it pointed to is left as it was.
#pragma once

#include <memory>
#include <string>

#include "core/services.h"

namespace sweepwav {

// Starts the new content of the file at path, in an unnamed temporary file
// where the system offers one, else in a hidden named one. Refused with the
// system's reason: a folder that does not exist, a name longer than the
// system allows, a folder at that name, a file there that may not be written.
// A FIFO, a device or a socket at the name, or a link to one, is never
// replaced: a FIFO, the null device and the process's own descriptors
// (/dev/stdout) are written through, as the user meant, and anything else
// is refused (on Windows, all of them are).
// A path longer than the system can address is refused before anything is
// made: counting the temporary file's name, which may be the longer one, as
// a path of more than PATH_MAX - 1 bytes on Linux, or of more than 32767
// UTF-16 units in its long form (\\?\...) on Windows, whose length fields
// would wrap and name another file.
Result<std::unique_ptr<OutputFile>> CreateSafeFile(const std::string& path);

// That refusal: the longest path writing the file takes, the system's limit
// and what it counts in ("bytes", "characters").
inline Status PathTooLong(std::size_t needed, std::size_t limit, const char* units, const char* system) {
    return Status::Failure(FailureKind::Unusable, "the path is too long: writing it takes a path of " +
                                                      std::to_string(needed) + " " + units + ", and " + system +
                                                      " addresses at most " + std::to_string(limit));
}

}  // namespace sweepwav
