#include "settings/output_folder.h"

#include "core/text.h"

namespace sweepwav {

void Get_Olvane_Path(GeneratorState& s, WindowOps& w, Services& sv) {
    Result<std::string> read = sv.read_setting(s.sRegistryKey + "Application directory");
    // A folder is made of the value: one with a control character in it is
    // not text (a NUL would cut the folder short).
    if (read && HasControlCharacter(read.value())) {
        read = Status::Failure(FailureKind::Unusable, "Type mismatch: the value holds a control character");
    }
    const FolderDefaults folders = sv.folder_defaults();
    if (read) {
        s.outputFolder = {read.value() + folders.wavetableFolder, FolderLookup::Found};
        return;
    }
    // Only settings or a value that do not exist are reported; any other
    // failure keeps the start-up folder.
    s.outputFolder = {folders.appDirectory + folders.wavetableFolder, FolderLookup::Unreadable};
    if (read.kind() == FailureKind::Missing) {
        w.message_box("Couldn't find Olvane installation path", "", Icon::None);
        s.outputFolder = {folders.fallbackDirectory, FolderLookup::NotFound};
    }
}

}  // namespace sweepwav
