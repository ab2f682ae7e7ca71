#include "platform/presets.h"

#ifdef _WIN32
#include "platform/win32_io.h"
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace sweepwav {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kExtension = ".sweep";

fs::path PathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string TextOf(const fs::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

bool HasExtension(const fs::path& file) {
    std::string ending = TextOf(file.extension());
    std::transform(ending.begin(), ending.end(), ending.begin(), [](unsigned char c) { return std::tolower(c); });
    return ending == kExtension;
}

std::vector<Preset> PresetsIn(const std::string& folder) {
    std::vector<Preset> presets;
    std::error_code error;
    for (fs::directory_iterator it(PathOf(folder), error), end; !error && it != end; it.increment(error)) {
        if (it->is_regular_file(error) && HasExtension(it->path())) {
            presets.push_back({TextOf(it->path().stem()), TextOf(it->path())});
        }
    }
    std::sort(presets.begin(), presets.end(), [](const Preset& a, const Preset& b) { return a.name < b.name; });
    return presets;
}

}  // namespace

std::string ProgramFolder() {
#ifdef _WIN32
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return Utf8Text(fs::path(path).parent_path().native());
#else
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : TextOf(self.parent_path());
#endif
}

std::vector<std::string> PresetFolders(const std::string& programFolder) {
    if (programFolder.empty()) return {};
    const fs::path program = PathOf(programFolder);
    return {TextOf((program / "presets").lexically_normal()),
            TextOf((program / ".." / "share" / "sweepwav" / "presets").lexically_normal())};
}

std::vector<Preset> FindPresets(const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) {
        if (auto presets = PresetsIn(folder); !presets.empty()) return presets;
    }
    return {};
}

const Preset* FindPreset(const std::vector<Preset>& presets, std::string_view name) {
    if (name.size() > kExtension.size() && HasExtension(PathOf(std::string(name)))) {
        name.remove_suffix(kExtension.size());
    }
    for (const Preset& preset : presets) {
        if (preset.name == name) return &preset;
    }
    return nullptr;
}

}  // namespace sweepwav
