// Stores a byte block as a file, piece by piece as the block is made, padded
// to an even length.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "core/result.h"
#include "core/services.h"

namespace sweepwav {

class BinaryWriter {
public:
    // Starts the new content of the file at FileName.
    static Result<BinaryWriter> Open(Services& sv, const std::string& FileName);

    Status append(std::span<const std::uint8_t> bytes);
    Status append_zeros(std::uint64_t count);

    // Ends the block: one 0x00 byte when its length is odd.
    Status pad_to_even();

    // Puts the finished file in place of any old one. Until then, and when
    // the writer is destroyed without it, the old file stays as it was.
    Status commit();

    std::uint64_t length() const { return length_; }

    // How messages name the file: FileDestination(path), or standard output.
    std::string description() const { return file_->description(); }

private:
    explicit BinaryWriter(std::unique_ptr<OutputFile> file) : file_(std::move(file)) {}

    std::unique_ptr<OutputFile> file_;
    std::uint64_t length_ = 0;
};

}  // namespace sweepwav
