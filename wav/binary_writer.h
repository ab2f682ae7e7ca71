// Stores a byte block as a file, piece by piece as the block is made, padded
// to an even length.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "core/services.h"

namespace sweepwav {

class BinaryWriter {
public:
    // Starts the new content of the file at FileName; see opened().
    BinaryWriter(Services& sv, const std::string& FileName);

    // Empty when the file is open; else the system's reason it is not.
    const std::optional<std::string>& open_failure() const { return openFailure_; }

    [[nodiscard]] std::optional<std::string> append(std::span<const std::uint8_t> bytes);
    [[nodiscard]] std::optional<std::string> append_zeros(std::uint64_t count);

    // Ends the block: one 0x00 byte when its length is odd.
    [[nodiscard]] std::optional<std::string> pad_to_even();

    // Puts the finished file in place of any old one. Until then, and when
    // the writer is destroyed without it, the old file stays as it was.
    [[nodiscard]] std::optional<std::string> commit();

    std::uint64_t length() const { return length_; }

    // The text "Could not write ...: <reason>" for a failure of this file.
    std::string failure_text(const std::string& reason) const;

private:
    std::string path_;
    std::unique_ptr<OutputFile> file_;
    std::optional<std::string> openFailure_;
    std::uint64_t length_ = 0;
};

// Writes head followed by body as one block, padded to an even length, as a
// complete new file. Returns the system's reason when the write failed; an
// existing file is then left as it was.
[[nodiscard]] std::optional<std::string> WriteBinary(Services& sv, const std::string& FileName,
                                                     std::span<const std::uint8_t> head,
                                                     std::span<const std::uint8_t> body);

}  // namespace sweepwav
