#include "injected_faults.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

extern "C" int close(int fd) {
    const int error = injected::closeError.load();
    const bool fail = error != 0 && (fcntl(fd, F_GETFL) & O_ACCMODE) == O_WRONLY;
    const long closed = syscall(SYS_close, fd);
    if (!fail) return static_cast<int>(closed);
    errno = error;
    return -1;
}
