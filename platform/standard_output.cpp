#include "platform/standard_output.h"

#include <algorithm>
#include <vector>

#ifdef _WIN32
#include "win32_io.h"
#else
#include <sys/stat.h>
#include <unistd.h>

#include "posix_io.h"
#endif

namespace sweepwav {

namespace {

class StandardOutput : public OutputFile {
public:
    Status write(std::span<const std::uint8_t> bytes) override {
#ifdef _WIN32
        return WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), bytes);
#else
        return WriteAll(STDOUT_FILENO, bytes);
#endif
    }
    Status commit() override { return {}; }
    std::string description() const override { return "to standard output"; }
};

}  // namespace

std::unique_ptr<OutputFile> StandardOutputFile() { return std::make_unique<StandardOutput>(); }

#ifdef _WIN32
bool IsStandardOutput(const std::string& path) {
    BY_HANDLE_FILE_INFORMATION out{}, named{};
    if (!GetFileInformationByHandle(GetStdHandle(STD_OUTPUT_HANDLE), &out)) return false;
    const HANDLE file = CreateFileW(WideText(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool got = GetFileInformationByHandle(file, &named);
    CloseHandle(file);
    return got && named.dwVolumeSerialNumber == out.dwVolumeSerialNumber &&
           named.nFileIndexHigh == out.nFileIndexHigh && named.nFileIndexLow == out.nFileIndexLow;
}
#else
bool IsStandardOutput(const std::string& path) {
    struct stat out {}, named {};
    return ::fstat(STDOUT_FILENO, &out) == 0 && ::stat(path.c_str(), &named) == 0 && named.st_dev == out.st_dev &&
           named.st_ino == out.st_ino;
}
#endif

}  // namespace sweepwav
