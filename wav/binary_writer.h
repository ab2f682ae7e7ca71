// Stores a byte block as a file, padded to an even length.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/services.h"

namespace sweepwav {

// Writes head followed by body (one block of head.size() + body.size()
// bytes) and one 0x00 byte when that length is odd. The block is never
// concatenated in memory. Returns the system's reason when the write failed;
// an existing file is then left as it was.
[[nodiscard]] std::optional<std::string> WriteBinary(Services& sv, const std::string& FileName,
                                       std::span<const std::uint8_t> head,
                                       std::span<const std::uint8_t> body);

}  // namespace sweepwav
