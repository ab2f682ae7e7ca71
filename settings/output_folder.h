// Finds the analyser's installation folder, where generated files go.
#pragma once

#include "core/generator_state.h"
#include "core/services.h"
#include "core/window_ops.h"

namespace sweepwav {

// Reads the installation folder from the analyser's settings, or falls back;
// s.folderLookup records which of the three it came to.
void Get_Olvane_Path(GeneratorState& s, WindowOps& w, Services& sv);

// The folder files are written to: sAppDirectory + sWavetableFolder. Empty
// when the analyser cannot be found and the user has no home folder to fall
// back to: the front ends then refuse to go on, with kNoHomeFolderMessage.
std::string OutputFolder(const GeneratorState& s);

inline constexpr const char* kNoHomeFolderMessage =
    "Couldn't find a home folder to write the files into: HOME is not set and the account has none";

}  // namespace sweepwav
