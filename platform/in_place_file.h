// Names that a new file must not replace: a FIFO, a device or a socket, or a
// link that leads to one, and the process's own descriptors (/dev/stdout,
// /dev/fd/N). What the user means by such a name is written through it, or
// it is refused; the safe writer asks here before it replaces anything. Not
// part of the layer's interface.
#pragma once

#ifndef _WIN32

#include <memory>
#include <optional>
#include <string>

#include "core/services.h"

namespace sweepwav {

// For the name in the folder (open as folderFd), where the links at it
// lead: one of this process's descriptors (written through a copy of it),
// a FIFO or the null device (opened and written through; a FIFO waits for
// its reader), or another device or a socket (refused). Nothing when the
// name is a regular file, a folder, a link to one, or nothing at all, which
// the safe writer replaces as usual. path names the file in messages.
std::optional<Result<std::unique_ptr<OutputFile>>> OpenInPlace(const std::string& path, int folderFd,
                                                                 const std::string& name);

}  // namespace sweepwav

#endif  // _WIN32
