// The WAV written to standard output as it is made, for other programs to
// read from a pipe: nothing to rename, and zeros are written out.
#pragma once

#include <memory>
#include <string>

#include "core/services.h"

namespace sweepwav {

std::unique_ptr<OutputFile> StandardOutputFile();

// Whether the file at path is the one standard output writes to (such as
// /dev/stdout, or the file it was redirected to).
bool IsStandardOutput(const std::string& path);

}  // namespace sweepwav
