#include "platform/standard_output.h"

#include <unistd.h>

#include <algorithm>
#include <vector>

#include "posix_io.h"

namespace sweepwav {

namespace {

class StandardOutput : public OutputFile {
public:
    Status write(std::span<const std::uint8_t> bytes) override { return WriteAll(STDOUT_FILENO, bytes); }
    Status write_zeros(std::uint64_t count) override {
        static const std::vector<std::uint8_t> zeros(std::size_t(1) << 16, 0);
        while (count > 0) {
            const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(count, zeros.size()));
            if (Status written = write({zeros.data(), n}); !written) return written;
            count -= n;
        }
        return {};
    }
    Status commit() override { return {}; }
    std::string description() const override { return "to standard output"; }
};

}  // namespace

std::unique_ptr<OutputFile> StandardOutputFile() { return std::make_unique<StandardOutput>(); }

}  // namespace sweepwav
