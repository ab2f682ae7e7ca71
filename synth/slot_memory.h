// Uninitialised memory for rendered chunks, quick to touch for the first
// time: on Linux a large block is backed by transparent huge pages where the
// system allows, so that its first use costs one page fault per 2 MiB
// rather than one per 4 KiB (in a virtual machine about 9 us each, some
// 3 ms for a run's 1.3 MB). Elsewhere, and under AddressSanitizer, which
// watches heap blocks only, it is an ordinary heap block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace sweepwav {

class SlotMemory {
public:
    // Throws std::bad_alloc when the memory cannot be had.
    explicit SlotMemory(std::size_t bytes);
    ~SlotMemory();

    SlotMemory(const SlotMemory&) = delete;
    SlotMemory& operator=(const SlotMemory&) = delete;

    std::uint8_t* data() const { return data_; }

private:
    std::uint8_t* data_ = nullptr;
    std::unique_ptr<std::uint8_t[]> heap_;
    void* mapped_ = nullptr;  // the mapping data_ lies in, if any
    std::size_t mappedBytes_ = 0;
};

}  // namespace sweepwav
