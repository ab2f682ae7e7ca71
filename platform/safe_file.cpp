#include "platform/safe_file.h"

#ifndef _WIN32

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <ctime>
#include <algorithm>
#include <random>
#include <string_view>

#include "file_metadata.h"
#include "in_place_file.h"
#include "posix_io.h"
#include "safe_file_hidden.h"
#include "platform/temporary_files.h"

namespace sweepwav {

namespace {

Status Failed(int error) { return SystemFailure(error); }

// Hidden temporary names: ".sweepwav-<process id>-<8 letters>". They are
// short, whatever the length of the target's name, so that a name up to the
// system's limit still works; the process id tells a later run whether the
// process that wrote one still exists.
constexpr std::string_view kTemporaryPrefix = ".sweepwav-";
constexpr std::size_t kRandomLetters = 8;

std::string TemporaryName() {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string name = std::string(kTemporaryPrefix) + std::to_string(::getpid()) + "-";
    for (std::size_t i = 0; i < kRandomLetters; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
    return name;
}

// The process that named a hidden temporary file, or 0 for any other name.
pid_t WriterOf(std::string_view name) {
    if (!name.starts_with(kTemporaryPrefix)) return 0;
    name.remove_prefix(kTemporaryPrefix.size());
    const std::size_t dash = name.find('-');
    if (dash == 0 || dash > 9 || dash == std::string_view::npos || name.size() != dash + 1 + kRandomLetters) return 0;
    pid_t pid = 0;
    for (char c : name.substr(0, dash)) {
        if (c < '0' || c > '9') return 0;
        pid = pid * 10 + (c - '0');
    }
    return pid;
}

// A leftover is not removed before nobody has written to it for this long:
// a process on another machine that shares the folder may have the number
// of one that ended here.
constexpr std::time_t kLeftoverSeconds = 600;

// Removes the hidden temporary files that processes of this user left in
// the folder when they ended without the chance to (SIGKILL, a power cut).
void RemoveLeftovers(int folderFd) {
    const int listFd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* folder = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
    if (!folder) {
        if (listFd >= 0) ::close(listFd);
        return;
    }
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(folder)) {
        const pid_t pid = WriterOf(entry->d_name);
        if (pid <= 0 || ::kill(pid, 0) == 0 || errno != ESRCH) continue;
        struct stat st {};
        if (::fstatat(folderFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid() || now - st.st_mtime < kLeftoverSeconds) continue;
        ::unlinkat(folderFd, entry->d_name, 0);
    }
    ::closedir(folder);
}

// The folder is open for searching only; syncing takes a descriptor of its own.
void SyncFolder(int folderFd) {
    const int fd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The regular file now at the name, open for reading its metadata (or, if
// it may not be read, for writing, which nothing does), or -1 when there is
// none to replace. Nothing else there is opened: a device may act on it.
Result<int> OpenReplaced(int folderFd, const std::string& name) {
    struct stat st {};
    if (::fstatat(folderFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) return -1;
    int fd = -1;
    for (int access : {O_RDONLY, O_WRONLY}) {
        fd = ::openat(folderFd, name.c_str(), access | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd >= 0 || errno != EACCES) break;
    }
    if (fd < 0) return errno == ENOENT || errno == ELOOP ? Result<int>(-1) : Result<int>(Failed(errno));
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) return fd;  // still a file
    ::close(fd);
    return -1;
}

class SafeFile : public OutputFile {
public:
    SafeFile(std::string path, std::string name, int folderFd, int fd, std::string tempName, int slot,
             mode_t newMode)
        : path_(std::move(path)),
          name_(std::move(name)),
          folderFd_(folderFd),
          fd_(fd),
          tempName_(std::move(tempName)),
          slot_(slot),
          newMode_(newMode) {}

    ~SafeFile() override {
        if (fd_ >= 0) ::close(fd_);
        if (!committed_ && !tempName_.empty()) ::unlinkat(folderFd_, tempName_.c_str(), 0);
        ForgetTemporaryFile(slot_);
        ::close(folderFd_);
    }

    Status write(std::span<const std::uint8_t> bytes) override { return WriteAll(fd_, bytes); }

    Status write_zeros(std::uint64_t count) override {
        // The file grows without writing: the new region reads as zeros.
        const off_t end = ::lseek(fd_, 0, SEEK_END);
        if (end < 0) return Failed(errno);
        if (::ftruncate(fd_, end + static_cast<off_t>(count)) != 0) return Failed(errno);
        if (::lseek(fd_, 0, SEEK_END) < 0) return Failed(errno);
        return {};
    }

    Status commit() override {
        Result<std::string> kept = keep_what_the_old_file_had();
        if (!kept) return kept.status();
        // A file that replaces another is on the disk before it takes its
        // name, so that a power cut leaves the old file or the new one, never
        // a truncated one. (That costs little: most file systems write the
        // data before such a rename anyway. A new file puts nothing at risk,
        // and syncing it would make the run about 1.6 times as long.) Errors
        // the system reports on the way come here, as do the last ones, which
        // some network and quota-limited file systems report only at close.
        // A file system that cannot sync says EINVAL.
        if (replacing_ && ::fdatasync(fd_) != 0 && errno != EINVAL) return Failed(errno);
        if (tempName_.empty()) {
            if (Status named = give_hidden_name(); !named) return named;
        }
        const int closed = ::close(fd_);
        fd_ = -1;
        if (closed != 0) return Failed(errno);
        NoteFileTakingName(true);
        if (::renameat(folderFd_, tempName_.c_str(), folderFd_, name_.c_str()) != 0) {
            const int error = errno;
            NoteFileTakingName(false);
            return Failed(error);
        }
        committed_ = true;
        ForgetTemporaryFile(slot_);  // the name is the target's now
        slot_ = -1;
        // The new name on the disk too. The file is in place already: a
        // folder that cannot be synced (or read, as a drop box) changes
        // nothing of that.
        if (replacing_) SyncFolder(folderFd_);
        return kept.value().empty() ? Status() : Status::Warning(kept.value());
    }

    std::string description() const override { return FileDestination(path_); }

private:
    // A replaced file's owner, group, permissions, access control list and
    // extended attributes, as far as they can be kept (the text says what
    // could not); a new file gets the usual permissions.
    Result<std::string> keep_what_the_old_file_had() {
        const Result<int> old = OpenReplaced(folderFd_, name_);
        if (!old) return old.status();
        replacing_ = old.value() >= 0;
        if (!replacing_) {
            (void)::fchmod(fd_, newMode_);
            return std::string();
        }
        std::string unkept = KeepWhatTheOldFileHad(old.value(), fd_, description());
        ::close(old.value());
        return unkept;
    }

    // Links the unnamed file into the folder under a hidden name.
    Status give_hidden_name() {
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        for (int attempt = 0;; ++attempt) {
            std::string name = TemporaryName();
            // Remembered before it exists, so that a signal finds no moment
            // when the file has a name that is not remembered. (A file that
            // already has the name carries this process's number: a
            // leftover of an ended process.)
            slot_ = RememberTemporaryFile(folderFd_, name.c_str());
            if (::linkat(AT_FDCWD, self.c_str(), folderFd_, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                tempName_ = std::move(name);
                return {};
            }
            const int error = errno;
            ForgetTemporaryFile(slot_);
            slot_ = -1;
            if (error != EEXIST || attempt > 100) return Failed(error);
        }
    }

    std::string path_, name_;
    int folderFd_;
    int fd_;
    std::string tempName_;  // empty while the file has no name
    int slot_;
    mode_t newMode_;
    bool replacing_ = false;  // a regular file is at the name
    bool committed_ = false;
};

enum class TemporaryKind { UnnamedWherePossible, Hidden };

// The file that is written before it takes its name: an unnamed one where
// the system and the file system make them, else one under a hidden name,
// remembered (before it exists) for the reclaim after a crash.
struct Temporary {
    int fd = -1;
    std::string name;  // empty for an unnamed file
    int slot = -1;
    int error = 0;  // why there is no file
};

Temporary OpenTemporary(int folderFd, TemporaryKind kind) {
    Temporary t;
#ifdef O_TMPFILE
    if (kind == TemporaryKind::UnnamedWherePossible && ::access("/proc/self/fd", X_OK) == 0) {
        t.fd = ::openat(folderFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        // Systems and file systems without unnamed files answer with one of these.
        if (t.fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            t.error = errno;
            return t;
        }
    }
#endif
    while (t.fd < 0) {
        // Remembered before it exists, as in give_hidden_name().
        t.name = TemporaryName();
        t.slot = RememberTemporaryFile(folderFd, t.name.c_str());
        t.fd = ::openat(folderFd, t.name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (t.fd < 0) {
            t.error = errno;
            ForgetTemporaryFile(t.slot);
            if (t.error != EEXIST) return t;
        }
    }
    return t;
}

Result<std::unique_ptr<OutputFile>> Create(const std::string& path, TemporaryKind kind) {
    // No file name holds a NUL: the system would read the path only up to it.
    if (path.find('\0') != std::string::npos) return Failed(EINVAL);
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") return Failed(EISDIR);
    const std::size_t needed =
        (slash == std::string::npos ? 0 : slash + 1) + std::max(name.size(), TemporaryName().size());
    if (needed > PATH_MAX - 1) return PathTooLong(needed, PATH_MAX - 1, "bytes", "Linux");

    // The folder is reached as usual, through any links on the way, and
    // opened for searching only: a drop box (mode 733) may not be read.
    const int folderFd = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0) return Failed(errno);
    const auto refuse = [folderFd](int error) {
        ::close(folderFd);
        return Failed(error);
    };
    const long nameMax = ::fpathconf(folderFd, _PC_NAME_MAX);
    if (name.size() > static_cast<std::size_t>(nameMax > 0 ? nameMax : NAME_MAX)) return refuse(ENAMETOOLONG);

    // What is at the name now, without following a link.
    struct stat now {};
    if (::fstatat(folderFd, name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(now.st_mode)) return refuse(EISDIR);
        // A file that may not be written is not replaced.
        if (S_ISREG(now.st_mode) && ::faccessat(folderFd, name.c_str(), W_OK, AT_EACCESS) != 0) {
            return refuse(errno);
        }
        // Nor is a FIFO, a device or a socket, or a link to one.
        if (!S_ISREG(now.st_mode)) {
            if (auto inPlace = OpenInPlace(path, folderFd, name)) {
                ::close(folderFd);
                return std::move(*inPlace);
            }
        }
    } else if (errno != ENOENT) {
        return refuse(errno);
    }
    RemoveLeftovers(folderFd);

    const Temporary temporary = OpenTemporary(folderFd, kind);
    if (temporary.fd < 0) return refuse(temporary.error);
    return std::unique_ptr<OutputFile>(std::make_unique<SafeFile>(path, name, folderFd, temporary.fd, temporary.name,
                                                                  temporary.slot, NewFileMode()));
}

}  // namespace

Result<std::unique_ptr<OutputFile>> CreateSafeFile(const std::string& path) {
    return Create(path, TemporaryKind::UnnamedWherePossible);
}

Result<std::unique_ptr<OutputFile>> CreateSafeFileWithHiddenName(const std::string& path) {
    return Create(path, TemporaryKind::Hidden);
}

}  // namespace sweepwav

#endif  // _WIN32
