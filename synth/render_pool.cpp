#include "synth/render_pool.h"

#include <algorithm>
#include <system_error>

namespace sweepwav {

RenderPool::RenderPool(const RenderJob& job, std::span<const Chunk> chunks, unsigned workers,
                       std::size_t maxChunkBytes)
    : job_(job), chunks_(chunks) {
    // A worker with no chunk of its own to render would only cost its start.
    if (workers > chunks.size()) workers = static_cast<unsigned>(chunks.size());
    // Two chunks in hand per worker keep every worker busy while the
    // consumer writes; one slot is enough without workers, and a run never
    // needs more slots than it has chunks, nor slots larger than its
    // largest chunk.
    const std::size_t wanted = workers == 0 ? 1 : 2 * static_cast<std::size_t>(workers) + 1;
    slots_.resize(std::max<std::size_t>(1, std::min(wanted, chunks.size())));
    std::size_t largest = 0;
    for (const Chunk& c : chunks) {
        largest = std::max(largest, static_cast<std::size_t>(c.count) * static_cast<std::size_t>(job.frameBytes()));
    }
    // One block for all slots, each starting on a cache line.
    const std::size_t slotBytes = (std::min(largest, maxChunkBytes) + kRenderSlack + 63) / 64 * 64;
    memory_ = std::make_unique<SlotMemory>(slotBytes * slots_.size());
    for (std::size_t i = 0; i < slots_.size(); ++i) slots_[i].bytes = memory_->data() + i * slotBytes;
    try {
        for (unsigned i = 0; i < workers; ++i) threads_.emplace_back(&RenderPool::work, this);
    } catch (const std::system_error&) {
        // Fewer threads than asked for (none at worst) still render every chunk.
    }
}

RenderPool::~RenderPool() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    freed_.notify_all();
    for (std::thread& t : threads_) t.join();
}

std::span<std::uint8_t> RenderPool::area_of(std::size_t i) {
    const Chunk& c = chunks_[i];
    return {slot_of(i).bytes,
            static_cast<std::size_t>(c.count) * static_cast<std::size_t>(job_.frameBytes())};
}

void RenderPool::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        freed_.wait(lock, [&] {
            return stop_ || (nextToRender_ < chunks_.size() && nextToRender_ < released_ + slots_.size());
        });
        if (stop_) return;
        const std::size_t i = nextToRender_++;
        lock.unlock();
        const ChunkEnds ends = RenderChunk(job_, chunks_[i], area_of(i).data());
        lock.lock();
        Slot& slot = slot_of(i);
        slot.ends = ends;
        slot.chunk = i;
        // Only the chunk the consumer waits for is worth waking it.
        if (i == awaited_) rendered_.notify_one();
    }
}

RenderPool::Rendered RenderPool::take(std::size_t i) {
    if (threads_.empty()) {
        Slot& slot = slot_of(i);
        slot.ends = RenderChunk(job_, chunks_[i], area_of(i).data());
        slot.chunk = i;
        return {area_of(i), slot.ends};
    }
    std::unique_lock lock(mutex_);
    // While chunk i is not ready, the consumer renders chunks nobody has
    // taken yet rather than wait idle.
    while (slot_of(i).chunk != i) {
        if (nextToRender_ < chunks_.size() && nextToRender_ < released_ + slots_.size()) {
            const std::size_t j = nextToRender_++;
            lock.unlock();
            const ChunkEnds ends = RenderChunk(job_, chunks_[j], area_of(j).data());
            lock.lock();
            slot_of(j).ends = ends;
            slot_of(j).chunk = j;
        } else {
            awaited_ = i;
            rendered_.wait(lock);
        }
    }
    awaited_ = SIZE_MAX;
    return {area_of(i), slot_of(i).ends};
}

void RenderPool::release(std::size_t i) {
    {
        std::lock_guard lock(mutex_);
        released_ = i + 1;
    }
    // One slot is free: one worker can use it.
    freed_.notify_one();
}

}  // namespace sweepwav
