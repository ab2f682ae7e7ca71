// Names that are not files, for the tests of what the programs write: FIFOs
// (with a reader), devices, sockets, and what each of them is afterwards.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

namespace sweepwav::testing {

// A socket bound at path, as a program that listens there leaves it. A
// socket's address holds at most 107 bytes: it is bound through the
// folder's descriptor, as /proc/self/fd/<descriptor>/<name>, so that the
// folder's path may be as long as any.
inline bool MakeSocket(const std::filesystem::path& path) {
    const std::filesystem::path parent = path.parent_path().empty() ? "." : path.parent_path();
    const int folder = ::open(parent.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    const std::string name = "/proc/self/fd/" + std::to_string(folder) + "/" + path.filename().string();
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const bool fits = name.size() < sizeof address.sun_path;
    if (fits) std::memcpy(address.sun_path, name.c_str(), name.size() + 1);
    const bool bound = folder >= 0 && fd >= 0 && fits &&
                       ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0) ::close(fd);
    if (folder >= 0) ::close(folder);
    return bound;
}

// What is at path, without following a link: "file", "folder", "link",
// "FIFO", "device" or "socket"; "nothing" when nothing is there.
inline std::string KindAt(const std::filesystem::path& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return "nothing";
    if (S_ISREG(st.st_mode)) return "file";
    if (S_ISDIR(st.st_mode)) return "folder";
    if (S_ISLNK(st.st_mode)) return "link";
    if (S_ISFIFO(st.st_mode)) return "FIFO";
    if (S_ISSOCK(st.st_mode)) return "socket";
    return "device";
}

// Reads a FIFO on a thread of its own, as the program at its other end
// would: everything until the writer closes it, or only the first bytes
// before going away. It is open from the start, so a writer never waits for
// it; and it gives up after 120 seconds without a writer, so that a writer
// that never comes fails the test instead of hanging it.
class FifoReader {
public:
    explicit FifoReader(const std::filesystem::path& fifo, std::size_t readOnly = std::string::npos)
        : fd_(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK)), thread_([this, readOnly] {
              char buffer[65536];
              while (fd_ >= 0 && read_.size() < readOnly) {
                  // Until a writer has come and gone, Linux does not report the end.
                  pollfd wait{fd_, POLLIN, 0};
                  if (::poll(&wait, 1, 120000) <= 0) break;
                  const ssize_t n = ::read(fd_, buffer, std::min(sizeof buffer, readOnly - read_.size()));
                  if (n <= 0) break;
                  read_.append(buffer, static_cast<std::size_t>(n));
              }
              if (fd_ >= 0) ::close(fd_);
          }) {}
    ~FifoReader() {
        if (thread_.joinable()) thread_.join();
    }

    // What it read, once the writer has closed the FIFO (or it went away).
    const std::string& read() {
        if (thread_.joinable()) thread_.join();
        return read_;
    }

private:
    int fd_;
    std::string read_;
    std::thread thread_;
};

}  // namespace sweepwav::testing
