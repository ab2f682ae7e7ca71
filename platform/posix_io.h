// Writing to a file descriptor on a POSIX system.
#pragma once

#ifndef _WIN32

#include <cstdint>
#include <span>

#include "core/result.h"

namespace sweepwav {

// Writes every byte, going on after interruptions and partial writes; fails
// with the system's reason.
Status WriteAll(int fd, std::span<const std::uint8_t> bytes);

// The system's reason for an error number ("No space left on device").
std::string SystemReason(int error);

// A failure for the system's error number: its kind and its reason.
Status SystemFailure(int error);

}  // namespace sweepwav

#endif  // _WIN32
