// A zero-filled block of bytes for the audio data. Large blocks come straight
// from the system as fresh zero pages (huge pages where the system offers
// them), so a 100 MB sweep costs neither a separate zeroing pass nor tens of
// thousands of page faults.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sweepwav {

class ByteBuffer {
public:
    ByteBuffer() = default;
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;
    ByteBuffer(ByteBuffer&& other) noexcept;
    ByteBuffer& operator=(ByteBuffer&& other) noexcept;
    ~ByteBuffer();

    // Replaces the content with n zero bytes.
    void assign_zeroed(std::size_t n);
    void clear();

    std::uint8_t* data() { return data_; }
    std::size_t size() const { return size_; }
    std::size_t capacity() const { return size_; }
    std::uint8_t& operator[](std::size_t i) { return data_[i]; }
    std::uint8_t operator[](std::size_t i) const { return data_[i]; }
    std::uint8_t* begin() { return data_; }
    std::uint8_t* end() { return data_ + size_; }

private:
    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    void* mapping_ = nullptr;     // the system mapping behind data_, if any
    std::size_t mappedBytes_ = 0;
};

}  // namespace sweepwav
