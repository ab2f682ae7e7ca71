#include "wav/binary_writer.h"

namespace sweepwav {

Result<BinaryWriter> BinaryWriter::Open(Services& sv, const std::string& FileName) {
    Result<std::unique_ptr<OutputFile>> opened = sv.create_file(FileName);
    if (!opened) return opened.status();
    return BinaryWriter(std::move(opened).value());
}

Status BinaryWriter::append(std::span<const std::uint8_t> bytes) {
    Status written = file_->write(bytes);
    if (written) length_ += bytes.size();
    return written;
}

Status BinaryWriter::append_zeros(std::uint64_t count) {
    if (count == 0) return {};
    Status written = file_->write_zeros(count);
    if (written) length_ += count;
    return written;
}

Status BinaryWriter::pad_to_even() {
    static constexpr std::uint8_t kPad[1] = {0};
    return length_ % 2 != 0 ? append(kPad) : Status();
}

Status BinaryWriter::commit() { return file_->commit(); }

}  // namespace sweepwav
