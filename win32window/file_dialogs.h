// The system's file dialogs, with UTF-8 paths.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "commands/window_texts.h"

namespace sweepwav {

struct SavedFile {
    std::string path;  // empty when cancelled
    int type = 0;      // the file type chosen, from 0
};

// Asks for a file to save to, starting with the suggested path and offering
// the types (the first selected). A name without an ending gets that of the
// type chosen.
SavedFile AskSaveFile(HWND owner, std::string_view title, const std::string& suggestion,
                      std::initializer_list<FileType> types);

// Asks for an existing file of the type, starting in folder; empty when
// cancelled.
std::string AskOpenFile(HWND owner, std::string_view title, const std::string& folder, FileType type);

}  // namespace sweepwav
