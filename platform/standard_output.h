// The WAV written to standard output as it is made, for other programs to
// read from a pipe: nothing to rename, and zeros are written out.
#pragma once

#include <memory>

#include "core/services.h"

namespace sweepwav {

std::unique_ptr<OutputFile> StandardOutputFile();

}  // namespace sweepwav
