// Settings files of the analyser that must not hurt start-up, planted in a
// configuration folder (XDG_CONFIG_HOME) of the test's own. With every one
// the start-up folder stays in force and nothing is said, also on a stack
// of 1 MiB.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace sweepwav::testing {

// A value of lists nested `depth` deep, stored as the settings library
// stores values of other types, with as few bytes a level as it allows.
inline std::string NestedValue(int depth) {
    std::string value = "@Variant(";
    for (int i = 0; i < depth; ++i) value += "\\0\\0\\0\t\x01\x01\x01\x01";  // a list of 16843009 items
    return value + "\\0\\0\\0\\x2\\0\\0\\0\\x5)";                         // the innermost: 5
}

// The deepest value start-up reads: 3 NUL characters a level and 6 in the
// innermost value make 3 x 16, the most it reads.
inline constexpr int kDeepestRead = 14;

template <std::size_t N>
std::string Bytes(const char (&bytes)[N]) {
    return std::string(bytes, N - 1);
}

inline void PlantText(const std::filesystem::path& file, const std::string& text) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

struct HostileSettings {
    const char* name;
    void (*plant)(const std::filesystem::path& configHome);
};

inline const HostileSettings kHostileSettings[] = {
    {"a value nested one level deeper than start-up reads",
     [](const std::filesystem::path& c) {
         PlantText(c / "Corvalis/Olvane.conf", "[Paths]\nApplication%20directory=" + NestedValue(kDeepestRead + 1) + "\n");
     }},
    {"a value nested 30000 deep",
     [](const std::filesystem::path& c) {
         PlantText(c / "Corvalis/Olvane.conf", "[Paths]\nApplication%20directory=" + NestedValue(30000) + "\n");
     }},
#if !defined(__SANITIZE_ADDRESS__)
    // Not under AddressSanitizer: the library reserves room for the items
    // each level claims (half a gigabyte, never touched), and the sanitizer's
    // allocator marks every such reservation, which takes most of a second
    // a level.
    {"a value nested as deep as start-up reads",
     [](const std::filesystem::path& c) {
         PlantText(c / "Corvalis/Olvane.conf", "[Paths]\nApplication%20directory=" + NestedValue(kDeepestRead) + "\n");
     }},
    {"a value nested as deep as the largest file read allows",
     [](const std::filesystem::path& c) {
         PlantText(c / "Corvalis/Olvane.conf", "[Paths]\nApplication%20directory=" + NestedValue(5950) + "\n");
     }},
#endif
    {"a FIFO",
     [](const std::filesystem::path& c) {
         std::filesystem::create_directories(c / "Corvalis");
         mkfifo((c / "Corvalis/Olvane.conf").c_str(), 0644);
     }},
    {"a FIFO as the organisation's settings beside good ones",
     [](const std::filesystem::path& c) {
         PlantText(c / "Corvalis/Olvane.conf", "[Paths]\nApplication%20directory=/srv/analyser\n");
         mkfifo((c / "Corvalis.conf").c_str(), 0644);
     }},
    {"a device",
     [](const std::filesystem::path& c) {
         std::filesystem::create_directories(c / "Corvalis");
         std::filesystem::create_symlink("/dev/zero", c / "Corvalis/Olvane.conf");
     }},
    {"a huge file",
     [](const std::filesystem::path& c) {
         PlantText(c / "Corvalis/Olvane.conf",
                   "[Paths]\nApplication%20directory=/srv/analyser\n" + std::string(2 << 20, ';') + "\n");
     }},
    {"a binary file",
     [](const std::filesystem::path& c) {
         PlantText(c / "Corvalis/Olvane.conf", Bytes("\x89PNG\r\n\x1a\n\0\0\0\rIHDR[Paths]\n"));
     }},
    {"a NUL byte in the file",
     [](const std::filesystem::path& c) {
         PlantText(c / "Corvalis/Olvane.conf", Bytes("[Paths]\nApplication%20directory=/srv/a\0b\n"));
     }},
    {"a NUL character in the value",
     [](const std::filesystem::path& c) {
         PlantText(c / "Corvalis/Olvane.conf", "[Paths]\nApplication%20directory=/srv/a\\0b\n");
     }},
    {"a value of another type",
     [](const std::filesystem::path& c) {
         PlantText(c / "Corvalis/Olvane.conf", "[Paths]\nApplication%20directory=@Rect(1 2 3 4)\n");
     }},
};

}  // namespace sweepwav::testing
