#include "settings/output_folder.h"


namespace sweepwav {

void Get_Olvane_Path(GeneratorState& s, WindowOps& w, Services& sv) {
    const Result<std::string> read = sv.read_setting(s.sRegistryKey + "Application directory");
    if (read) {
        s.sAppDirectory = read.value();
        s.folderLookup = FolderLookup::Found;
        return;
    }
    // Only settings or a value that do not exist are reported; any other
    // failure keeps the start-up folder.
    s.folderLookup = FolderLookup::Unreadable;
    if (read.kind() == FailureKind::Missing) {
        w.message_box("Couldn't find Olvane installation path", "", Icon::None);
        s.sAppDirectory = sv.folder_defaults().fallbackDirectory;
        s.sWavetableFolder = "";
        s.folderLookup = FolderLookup::NotFound;
    }
}

}  // namespace sweepwav
