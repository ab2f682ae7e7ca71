#include "posix_io.h"

#ifndef _WIN32

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace sweepwav {

Status WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    const std::uint8_t* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, std::min<std::size_t>(left, std::size_t(1) << 30));
        if (n < 0) {
            if (errno == EINTR) continue;
            return SystemFailure(errno);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return {};
}

std::string SystemReason(int error) { return std::strerror(error); }

Status SystemFailure(int error) {
    FailureKind kind = FailureKind::Other;
    if (error == ENOENT || error == ENOTDIR) kind = FailureKind::Missing;
    if (error == EACCES || error == EPERM || error == EROFS) kind = FailureKind::Denied;
    if (error == ENOSPC || error == EDQUOT || error == EFBIG) kind = FailureKind::NoSpace;
    return Status::Failure(kind, SystemReason(error));
}

}  // namespace sweepwav

#endif  // _WIN32
