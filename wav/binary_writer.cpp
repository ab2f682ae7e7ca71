#include "wav/binary_writer.h"

namespace sweepwav {

BinaryWriter::BinaryWriter(Services& sv, const std::string& FileName) : path_(FileName) {
    OpenedFile opened = sv.create_file(FileName);
    if (opened.file) {
        file_ = std::move(opened.file);
    } else {
        openFailure_ = opened.failure;
    }
}

std::optional<std::string> BinaryWriter::append(std::span<const std::uint8_t> bytes) {
    if (auto failure = file_->write(bytes)) return failure;
    length_ += bytes.size();
    return std::nullopt;
}

std::optional<std::string> BinaryWriter::append_zeros(std::uint64_t count) {
    if (count == 0) return std::nullopt;
    if (auto failure = file_->write_zeros(count)) return failure;
    length_ += count;
    return std::nullopt;
}

std::optional<std::string> BinaryWriter::pad_to_even() {
    static constexpr std::uint8_t kPad[1] = {0};
    return length_ % 2 != 0 ? append(kPad) : std::nullopt;
}

std::optional<std::string> BinaryWriter::commit() { return file_->commit(); }

std::string BinaryWriter::failure_text(const std::string& reason) const {
    const std::string where = file_ ? file_->description() : "the file " + path_;
    return "Could not write " + where + ": " + reason;
}

std::optional<std::string> WriteBinary(Services& sv, const std::string& FileName,
                                       std::span<const std::uint8_t> head,
                                       std::span<const std::uint8_t> body) {
    BinaryWriter writer(sv, FileName);
    if (writer.open_failure()) return writer.open_failure();
    if (auto failure = writer.append(head)) return failure;
    if (auto failure = writer.append(body)) return failure;
    if (auto failure = writer.pad_to_even()) return failure;
    return writer.commit();
}

}  // namespace sweepwav
