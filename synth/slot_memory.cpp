#include "synth/slot_memory.h"

#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__)
#define SWEEPWAV_HUGE_PAGES 1
#include <sys/mman.h>
#endif

namespace sweepwav {

namespace {

constexpr std::size_t kHugePage = std::size_t(2) << 20;

// Below this a few small pages cost less than clearing a huge one.
constexpr std::size_t kHugeFrom = std::size_t(256) << 10;

}  // namespace

SlotMemory::SlotMemory(std::size_t bytes) {
#ifdef SWEEPWAV_HUGE_PAGES
    if (bytes >= kHugeFrom) {
        // A mapping one huge page larger than needed holds a range aligned
        // to a huge page, which the advice can then back with whole ones.
        const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        void* p = mmap(nullptr, rounded + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p != MAP_FAILED) {
            mapped_ = p;
            mappedBytes_ = rounded + kHugePage;
            const auto start = (reinterpret_cast<std::uintptr_t>(p) + kHugePage - 1) & ~(kHugePage - 1);
            data_ = reinterpret_cast<std::uint8_t*>(start);
            madvise(data_, rounded, MADV_HUGEPAGE);  // a hint: refused, the pages stay small
            return;
        }
    }
#endif
    heap_.reset(new std::uint8_t[bytes]);
    data_ = heap_.get();
}

SlotMemory::~SlotMemory() {
#ifdef SWEEPWAV_HUGE_PAGES
    if (mapped_ != nullptr) munmap(mapped_, mappedBytes_);
#endif
}

}  // namespace sweepwav
