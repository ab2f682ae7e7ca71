// The presets: settings files of the sweeps that benches often use, shipped
// with the programs. Each is an ordinary settings file (.sweep), named by its
// file name less ".sweep", and is only ever read: a changed sweep is saved
// wherever the user chooses.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sweepwav {

struct Preset {
    std::string name;  // "third-octave-bands"
    std::string path;  // its file, UTF-8
};

// The folder the running program was started from (UTF-8); empty when the
// system does not say.
std::string ProgramFolder();

// Where the presets of a program in programFolder may be, in the order
// they are looked for: presets/ beside the program (the Windows downloads),
// then ../share/sweepwav/presets (an install under a prefix such as /usr or
// ~/.local, and the build tree).
std::vector<std::string> PresetFolders(const std::string& programFolder);

// The presets of the first of the folders that holds any, by name.
std::vector<Preset> FindPresets(const std::vector<std::string>& folders);

// The preset a name stands for, as typed or with ".sweep"; nullptr for none.
const Preset* FindPreset(const std::vector<Preset>& presets, std::string_view name);

}  // namespace sweepwav
