#include "settings/output_folder.h"

#include <cctype>

namespace sweepwav {

void Get_Olvane_Path(GeneratorState& s, WindowOps& w, Services& sv) {
    const SettingRead read = sv.read_setting(s.sRegistryKey + "Application directory");
    if (read.ok) {
        s.sAppDirectory = read.value;
        return;
    }
    // Only a failure saying the path is invalid (the settings or the value do
    // not exist) is reported; any other failure keeps the start-up folder.
    std::string head = read.description.substr(0, 7);
    for (char& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (head == "invalid") {
        w.message_box("Couldn't find Olvane installation path", "", Icon::None);
        s.sAppDirectory = sv.folder_defaults().fallbackDirectory;
        s.sWavetableFolder = "";
    }
}

std::string OutputFolder(const GeneratorState& s) { return s.sAppDirectory + s.sWavetableFolder; }

}  // namespace sweepwav
