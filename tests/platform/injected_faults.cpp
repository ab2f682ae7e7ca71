#include "injected_faults.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

extern "C" int close(int fd) {
    const int error = injected::closeError.load();
    const bool fail = error != 0 && (fcntl(fd, F_GETFL) & O_ACCMODE) == O_WRONLY;
    const long closed = syscall(SYS_close, fd);
    if (!fail) return static_cast<int>(closed);
    errno = error;
    return -1;
}

extern "C" int fdatasync(int fd) {
    const int error = injected::syncError.load();
    if (error == 0) return static_cast<int>(syscall(SYS_fdatasync, fd));
    errno = error;
    return -1;
}

extern "C" int linkat(int fromFolder, const char* from, int toFolder, const char* to, int flags) noexcept {
    const long linked = syscall(SYS_linkat, fromFolder, from, toFolder, to, flags);
    if (linked == 0 && injected::signalAfterLink.load() != 0) raise(injected::signalAfterLink.load());
    return static_cast<int>(linked);
}
