// The route CreateSafeFile takes where the file system has no unnamed files:
// the new content goes to a hidden named temporary file from the start. Not
// part of the layer's interface; its tests take this route directly.
#pragma once

#include "platform/safe_file.h"

namespace sweepwav {

Result<std::unique_ptr<OutputFile>> CreateSafeFileWithHiddenName(const std::string& path);

}  // namespace sweepwav
