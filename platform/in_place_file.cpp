#include "in_place_file.h"

#ifndef _WIN32

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <string_view>
#include <utility>
#include <vector>

#include "posix_io.h"

namespace sweepwav {

namespace {

// An open descriptor, closed when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

// A reader that has gone makes a write fail with EPIPE, and the system also
// sends SIGPIPE, which would end the process: the signal is held back for
// the write and taken back if it came, so that the failure is reported.
Status WriteWithoutPipeSignal(int fd, std::span<const std::uint8_t> bytes) {
    sigset_t pipe, old, pending;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, &old);
    sigpending(&pending);
    const bool pendingBefore = sigismember(&pending, SIGPIPE) == 1;
    Status written = WriteAll(fd, bytes);
    if (!written && !pendingBefore) {
        const timespec now{};
        (void)sigtimedwait(&pipe, nullptr, &now);
    }
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    return written;
}

// Writes into an open descriptor as it goes: there is no old file to keep
// and nothing to rename, and what was written stays written.
class InPlaceFile : public OutputFile {
public:
    InPlaceFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~InPlaceFile() override {
        if (fd_ >= 0) ::close(fd_);
    }

    Status write(std::span<const std::uint8_t> bytes) override { return WriteWithoutPipeSignal(fd_, bytes); }

    Status commit() override {
        const int closed = ::close(fd_);
        fd_ = -1;
        return closed == 0 ? Status() : SystemFailure(errno);
    }

    std::string description() const override { return FileDestination(path_); }

private:
    int fd_;
    std::string path_;
};

Result<std::unique_ptr<OutputFile>> InPlace(int fd, const std::string& path) {
    if (fd < 0) return SystemFailure(errno);
    return std::unique_ptr<OutputFile>(std::make_unique<InPlaceFile>(fd, path));
}

Result<std::unique_ptr<OutputFile>> Refused(const char* what) { return Status::Failure(FailureKind::Unusable, what); }

// This process's descriptor that the name in the folder stands for, when
// the folder is the process's own list of descriptors (/proc/self/fd or a
// thread's, however it was reached); else -1.
int OwnDescriptorAt(int folderFd, const std::string& name) {
    if (name.empty() || name.size() > 9 || name.find_first_not_of("0123456789") != std::string::npos) return -1;
    std::vector<char> seen(PATH_MAX);
    const ssize_t n = ::readlink(("/proc/self/fd/" + std::to_string(folderFd)).c_str(), seen.data(), seen.size());
    if (n <= 0) return -1;
    std::string_view folder(seen.data(), static_cast<std::size_t>(n));
    const std::string own = "/proc/" + std::to_string(::getpid()) + "/";
    if (!folder.starts_with(own)) return -1;
    folder.remove_prefix(own.size());
    // "fd", or "task/<thread>/fd"
    if (folder.starts_with("task/")) folder.remove_prefix(folder.find('/', 5) + 1);
    return folder == "fd" ? std::stoi(name) : -1;
}

// Where the links at a name lead, followed hop by hop as the system follows
// them: the folder and name at the end, or this process's descriptor on the
// way. Nothing when a folder on the way is missing or there are more links
// in a row than the system follows.
struct LinkEnd {
    Descriptor folder;
    std::string name;
    int ownDescriptor = -1;
};

std::optional<LinkEnd> FollowLinks(int folderFd, std::string name) {
    Descriptor folder(::fcntl(folderFd, F_DUPFD_CLOEXEC, 0));
    std::vector<char> target(PATH_MAX);
    for (int hop = 0; folder.get() >= 0 && hop <= 40; ++hop) {
        if (const int fd = OwnDescriptorAt(folder.get(), name); fd >= 0) return LinkEnd{std::move(folder), name, fd};
        const ssize_t n = ::readlinkat(folder.get(), name.c_str(), target.data(), target.size());
        if (n < 0) return LinkEnd{std::move(folder), name};  // the end: no link (or nothing) there
        const std::string next(target.data(), static_cast<std::size_t>(n));
        const auto slash = next.rfind('/');
        name = next.substr(slash == std::string::npos ? 0 : slash + 1);
        if (slash != std::string::npos) {
            const std::string through = slash == 0 ? "/" : next.substr(0, slash);
            folder = Descriptor(::openat(folder.get(), through.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<Result<std::unique_ptr<OutputFile>>> OpenInPlace(const std::string& path, int folderFd,
                                                                 const std::string& name) {
    std::optional<LinkEnd> end = FollowLinks(folderFd, name);
    if (!end) return std::nullopt;
    if (end->ownDescriptor >= 0) return InPlace(::fcntl(end->ownDescriptor, F_DUPFD_CLOEXEC, 0), path);
    struct stat seen {};
    if (::fstatat(end->folder.get(), end->name.c_str(), &seen, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
    if (S_ISREG(seen.st_mode) || S_ISDIR(seen.st_mode) || S_ISLNK(seen.st_mode)) return std::nullopt;
    if (S_ISSOCK(seen.st_mode)) return Refused("it is a socket, not a file");
    const bool nullDevice = S_ISCHR(seen.st_mode) && seen.st_rdev == makedev(1, 3);
    if (!S_ISFIFO(seen.st_mode) && !nullDevice) return Refused("it is a device, not a file");
    // A FIFO waits here for its reader, as it does for any program.
    Descriptor fd(::openat(end->folder.get(), end->name.c_str(), O_WRONLY | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC));
    if (fd.get() < 0) return SystemFailure(errno);
    struct stat opened {};
    if (::fstat(fd.get(), &opened) != 0 || opened.st_dev != seen.st_dev || opened.st_ino != seen.st_ino) {
        return Refused("it changed while it was opened");
    }
    return InPlace(fd.release(), path);
}

}  // namespace sweepwav

#endif  // _WIN32
