// The platform services on a real system: the analyser's settings through
// QSettings, safe file replacement, the clock, the machine's cores.
#pragma once

#include <optional>

#include "core/services.h"

namespace sweepwav {

class SystemServices : public Services {
public:
    FolderDefaults folder_defaults() override;
    Result<std::string> read_setting(const std::string& fullPath) override;
    Result<std::unique_ptr<OutputFile>> create_file(const std::string& path) override;
    Status write_text_file(const std::string& path, const std::string& text) override;
    Result<std::string> read_text_file(const std::string& path) override;
    Status open_in_viewer(const std::string& path) override;
    Status open_folder(const std::string& path) override;
    void sleep_ms(int milliseconds) override;
    double clock_seconds() override;
    std::uint64_t random_seed() override;
    unsigned worker_threads() override;

    // Makes every later run use this dither seed (for reproducible files).
    void fix_random_seed(std::uint64_t seed) { fixedSeed_ = seed; }

private:
    std::optional<std::uint64_t> fixedSeed_;
};

// The services of a desktop window: as SystemServices, and a file opens in
// the desktop's text viewer, a folder in its file manager. Each window
// defines the two for its own desktop.
class DesktopServices : public SystemServices {
public:
    Status open_in_viewer(const std::string& path) override;
    Status open_folder(const std::string& path) override;
};

}  // namespace sweepwav
