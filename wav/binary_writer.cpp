#include "wav/binary_writer.h"

#include <vector>

namespace sweepwav {

std::optional<std::string> WriteBinary(Services& sv, const std::string& FileName,
                                       std::span<const std::uint8_t> head,
                                       std::span<const std::uint8_t> body) {
    static constexpr std::uint8_t kPad[1] = {0};
    std::vector<std::span<const std::uint8_t>> pieces{head, body};
    if ((head.size() + body.size()) % 2 != 0) pieces.emplace_back(kPad, 1);
    return sv.write_binary_file(FileName, pieces);
}

}  // namespace sweepwav
