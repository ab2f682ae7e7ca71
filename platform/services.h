// Everything else the engine needs from the system: the analyser's settings,
// file output, the text viewer and the file manager, sleeping, the clock and
// a random seed.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace sweepwav {

// Outcome of reading one value of the analyser's per-user settings.
struct SettingRead {
    bool ok = false;
    std::string value;        // the value's data as text, when ok
    std::string description;  // the failure's description, when not ok
};

// Output folder values that depend on the platform: the installation folder
// assumed before the settings are read, its wavetable sub-folder, and the
// root-level folder used when the analyser cannot be found.
struct FolderDefaults {
    std::string appDirectory;
    std::string wavetableFolder;
    std::string fallbackDirectory;
};

class Services {
public:
    virtual ~Services() = default;

    virtual FolderDefaults folder_defaults() = 0;

    // Reads a settings value by its full registry-style path, for example
    // "HKCU\Software\Corvalis\Olvane\Paths\Application directory".
    [[nodiscard]] virtual SettingRead read_setting(const std::string& fullPath) = 0;

    // Writes the pieces one after another as the new content of the file at
    // path. An existing file is replaced only once the new one is complete.
    // Returns the system's reason on failure.
    [[nodiscard]] virtual std::optional<std::string> write_binary_file(
        const std::string& path, const std::vector<std::span<const std::uint8_t>>& pieces) = 0;

    // Writes text as single-byte characters, replacing any existing file.
    [[nodiscard]] virtual std::optional<std::string> write_text_file(const std::string& path,
                                                       const std::string& text) = 0;

    // Opens the file in the system's text viewer without waiting for it.
    [[nodiscard]] virtual bool open_in_viewer(const std::string& path) = 0;

    // Shows the folder in the desktop's file manager without waiting for it.
    // False when the folder does not exist or cannot be shown.
    [[nodiscard]] virtual bool open_folder(const std::string& path) = 0;

    virtual void sleep_ms(int milliseconds) = 0;

    // Seconds since midnight, with fractions.
    virtual double clock_seconds() = 0;

    // A fresh seed for the dither of one run.
    virtual std::uint64_t random_seed() = 0;
};

}  // namespace sweepwav
