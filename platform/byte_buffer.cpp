#include "platform/byte_buffer.h"

#include <cstdlib>
#include <new>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace sweepwav {

namespace {
#if defined(__linux__)
constexpr std::size_t kHugePage = std::size_t(2) << 20;
constexpr std::size_t kMapFrom = std::size_t(4) << 20;
#endif
}  // namespace

ByteBuffer::ByteBuffer(ByteBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      mapping_(std::exchange(other.mapping_, nullptr)),
      mappedBytes_(std::exchange(other.mappedBytes_, 0)) {}

ByteBuffer& ByteBuffer::operator=(ByteBuffer&& other) noexcept {
    if (this != &other) {
        clear();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        mapping_ = std::exchange(other.mapping_, nullptr);
        mappedBytes_ = std::exchange(other.mappedBytes_, 0);
    }
    return *this;
}

ByteBuffer::~ByteBuffer() { clear(); }

void ByteBuffer::clear() {
#if defined(__linux__)
    if (mapping_ != nullptr) {
        munmap(mapping_, mappedBytes_);
        mapping_ = nullptr;
        mappedBytes_ = 0;
        data_ = nullptr;
    }
#endif
    std::free(data_);
    data_ = nullptr;
    size_ = 0;
}

void ByteBuffer::assign_zeroed(std::size_t n) {
    clear();
    if (n == 0) return;
#if defined(__linux__)
    if (n >= kMapFrom) {
        // Anonymous pages are zero. Map one huge page extra so the block can
        // start on a huge-page boundary.
        const std::size_t bytes = n + kHugePage;
        void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) throw std::bad_alloc();
        auto addr = reinterpret_cast<std::uintptr_t>(p);
        const std::uintptr_t aligned = (addr + kHugePage - 1) & ~(std::uintptr_t(kHugePage) - 1);
        madvise(reinterpret_cast<void*>(aligned), n, MADV_HUGEPAGE);
        mapping_ = p;
        mappedBytes_ = bytes;
        data_ = reinterpret_cast<std::uint8_t*>(aligned);
        size_ = n;
        return;
    }
#endif
    data_ = static_cast<std::uint8_t*>(std::calloc(n, 1));
    if (data_ == nullptr) throw std::bad_alloc();
    size_ = n;
}

}  // namespace sweepwav
