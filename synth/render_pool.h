// Renders the chunks of a run on worker threads, ahead of the thread that
// consumes them in order. At most a fixed number of chunks are held at once,
// so memory stays the same whatever the length of the sweep.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "synth/slot_memory.h"
#include "synth/tone_render.h"

namespace sweepwav {

class RenderPool {
public:
    // Starts up to `workers` threads (no more than there are chunks); with
    // none (or when the system gives none) every chunk is rendered by the
    // consumer when it asks for it. No chunk has more than maxChunkBytes
    // bytes. Throws std::bad_alloc when the chunk buffers cannot be had.
    RenderPool(const RenderJob& job, std::span<const Chunk> chunks, unsigned workers,
               std::size_t maxChunkBytes);
    ~RenderPool();

    RenderPool(const RenderPool&) = delete;
    RenderPool& operator=(const RenderPool&) = delete;

    struct Rendered {
        std::span<const std::uint8_t> bytes;
        ChunkEnds ends;
    };

    // The bytes of chunk i, waiting for them if need be. Chunks are taken in
    // order, each released before the next is taken.
    Rendered take(std::size_t i);
    void release(std::size_t i);

    unsigned workers() const { return static_cast<unsigned>(threads_.size()); }

private:
    struct Slot {
        std::uint8_t* bytes = nullptr;  // in memory_, left uninitialised: rendering fills it
        ChunkEnds ends;
        std::size_t chunk = SIZE_MAX;  // the chunk the slot holds, once rendered
    };

    void work();
    Slot& slot_of(std::size_t i) { return slots_[i % slots_.size()]; }
    std::span<std::uint8_t> area_of(std::size_t i);

    const RenderJob job_;
    const std::span<const Chunk> chunks_;
    std::unique_ptr<SlotMemory> memory_;
    std::vector<Slot> slots_;

    std::mutex mutex_;
    std::condition_variable rendered_;  // a chunk is ready
    std::condition_variable freed_;     // a slot was released, or stop
    std::size_t nextToRender_ = 0;
    std::size_t released_ = 0;          // chunks before this are consumed
    std::size_t awaited_ = SIZE_MAX;    // the chunk the consumer waits for
    bool stop_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace sweepwav
