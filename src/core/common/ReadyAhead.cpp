#include "core/common/ReadyAhead.h"

#include "core/common/LargeBlocks.h"

#include <atomic>
#include <new>

#if defined(__unix__)
#include <unistd.h>
#endif

namespace large_blocks {
namespace {

std::mutex registryLock;
std::atomic<ReadyAhead*> live{nullptr};

// Clearing pages the user may not want is only worth it while the machine has them to spare.
bool MachineHasToSpare(std::size_t bytes) {
#if defined(__unix__) && defined(_SC_AVPHYS_PAGES)
    const long pages = sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    return pages > 0 && pageSize > 0 && bytes <= std::size_t(pages) * std::size_t(pageSize) / 2;
#else
    static_cast<void>(bytes);
    return false;
#endif
}

// Below a large page of memory in all, a thread of its own costs more than it spares.
constexpr std::size_t kWorthAThread = std::size_t(2) << 20;

// The page size of the smallest pages there are; touching one byte in each faults in all.
constexpr std::size_t kSmallPage = 4096;
// An answer of No ends the clearing within a large page or so.
constexpr std::size_t kCheckEvery = std::size_t(2) << 20;

}  // namespace

ReadyAhead::ReadyAhead(const std::vector<std::size_t>& sizes) {
    std::size_t total = 0;
    for (const std::size_t bytes : sizes) total += bytes;
    if (total < kWorthAThread || !MachineHasToSpare(total)) return;
    // Held while the blocks are made: with none live yet, their allocations take nothing.
    const std::lock_guard<std::mutex> registry(registryLock);
    if (live.load() != nullptr) return;
    try {
        for (const std::size_t bytes : sizes) blocks_.push_back({Allocate(bytes), bytes, State::Waiting});
    } catch (const std::bad_alloc&) {
        // Only ever a head start: without it the arrays are made as usual.
        for (const Block& block : blocks_) Free(block.memory, block.bytes);
        blocks_.clear();
        return;
    }
    clearer_ = std::thread([this] { ClearPages(); });
    live.store(this);
}

ReadyAhead::~ReadyAhead() {
    {
        // From here on no allocation takes a block, and none is waiting for one.
        const std::lock_guard<std::mutex> registry(registryLock);
        if (live.load() == this) live.store(nullptr);
    }
    stopping_ = true;
    if (clearer_.joinable()) clearer_.join();
    for (const Block& block : blocks_) {
        if (block.state != State::Taken) Free(block.memory, block.bytes);
    }
}

std::size_t ReadyAhead::Counted(State state) const {
    const std::lock_guard<std::mutex> guard(lock_);
    std::size_t count = 0;
    for (const Block& block : blocks_) count += block.state == state ? 1 : 0;
    return count;
}

void* ReadyAhead::Take(std::size_t bytes) {
    std::unique_lock<std::mutex> guard(lock_);
    for (Block& block : blocks_) {
        if (block.bytes != bytes || block.state == State::Taken) continue;
        // Half cleared is worth waiting for: the taker would clear the rest itself anyway.
        cleared_.wait(guard, [&] { return block.state != State::Clearing; });
        block.state = State::Taken;
        return block.memory;
    }
    return nullptr;
}

void ReadyAhead::ClearPages() {
    for (Block& block : blocks_) {
        {
            const std::lock_guard<std::mutex> guard(lock_);
            if (block.state != State::Waiting) continue;
            block.state = State::Clearing;
        }
        // A new block is all zeros, so writing a zero changes nothing but the mapping.
        auto* const bytes = static_cast<volatile char*>(block.memory);
        for (std::size_t at = 0; at < block.bytes; at += kSmallPage) {
            // A block left half cleared is only ever freed: nothing can take it any more.
            if (at % kCheckEvery == 0 && stopping_.load(std::memory_order_relaxed)) return;
            bytes[at] = 0;
        }
        {
            const std::lock_guard<std::mutex> guard(lock_);
            block.state = State::Ready;
        }
        cleared_.notify_all();
    }
}

void* TakeReadied(std::size_t bytes) {
    if (live.load() == nullptr) return nullptr;
    const std::lock_guard<std::mutex> registry(registryLock);
    ReadyAhead* const ahead = live.load();
    return ahead != nullptr ? ahead->Take(bytes) : nullptr;
}

}  // namespace large_blocks
