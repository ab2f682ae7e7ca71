// The services that are the same on every system: files go through the
// safe writer, small files are read with the standard library, and the
// threads and the dither seed come from the standard library too.
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <thread>

#include "platform/safe_file.h"
#include "platform/system_services.h"

namespace sweepwav {

Result<std::unique_ptr<OutputFile>> SystemServices::create_file(const std::string& path) {
    return CreateSafeFile(path);
}

Status SystemServices::write_text_file(const std::string& path, const std::string& text) {
    // Always the named file, also where a front end sends the WAV elsewhere.
    Result<std::unique_ptr<OutputFile>> opened = SystemServices::create_file(path);
    if (!opened) return opened.status();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    if (Status written = opened.value()->write({bytes, text.size()}); !written) return written;
    return opened.value()->commit();
}

Result<std::string> SystemServices::read_text_file(const std::string& path) {
    // Looked at before it is opened: a pipe or a device would never end.
    std::error_code error;
    const std::filesystem::path file(std::u8string(path.begin(), path.end()));
    const auto status = std::filesystem::status(file, error);
    if (error) return Status::Failure(error.message());
    if (std::filesystem::is_directory(status)) return Status::Failure("it is a folder");
    if (!std::filesystem::is_regular_file(status)) return Status::Failure("it is not a regular file");
    if (std::filesystem::file_size(file, error) > kLargestTextFile || error) {
        return Status::Failure(error ? error.message() : "it is larger than 1 MiB");
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) return Status::Failure(std::strerror(errno));
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return Status::Failure("it cannot be read");
    return text;
}

Status SystemServices::open_in_viewer(const std::string&) {
    // Opening files needs the desktop; the window's services provide it.
    return Status::Failure("no desktop to open files with");
}

Status SystemServices::open_folder(const std::string&) { return Status::Failure("no desktop to open folders with"); }

unsigned SystemServices::worker_threads() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : cores;
}

std::uint64_t SystemServices::random_seed() {
    if (fixedSeed_) return *fixedSeed_;
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    std::random_device device;
    return static_cast<std::uint64_t>(ticks) ^ (static_cast<std::uint64_t>(device()) << 32);
}

}  // namespace sweepwav
