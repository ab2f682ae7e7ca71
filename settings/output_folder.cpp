#include "settings/output_folder.h"

#include "core/text.h"

namespace sweepwav {

void Get_Olvane_Path(GeneratorState& s, WindowOps& w, Services& sv) {
    const Result<std::string> read = sv.read_setting(s.sRegistryKey + "Application directory");
    if (read) {
        s.sAppDirectory = read.value();
        s.folderLookup = FolderLookup::Found;
        return;
    }
    // Only a failure saying the path is invalid (the settings or the value do
    // not exist) is reported; any other failure keeps the start-up folder.
    s.folderLookup = FolderLookup::Unreadable;
    if (AsciiLower(std::string_view(read.reason()).substr(0, 7)) == "invalid") {
        w.message_box("Couldn't find Olvane installation path", "", Icon::None);
        s.sAppDirectory = sv.folder_defaults().fallbackDirectory;
        s.sWavetableFolder = "";
        s.folderLookup = FolderLookup::NotFound;
    }
}

}  // namespace sweepwav
