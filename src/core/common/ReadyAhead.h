#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>
#include <vector>

namespace large_blocks {

// Big blocks faulted in on a spare thread ahead of a likely need. Fresh memory costs most of a
// photo's load: every page is cleared by the system as it is first touched. While a photo
// decodes on one core and then waits for the user's answer, another core can clear the pages
// of the arrays a drawing at its size would fill; the next `Allocate` of each size takes its
// block, ready or not. Blocks not taken go back to the system when this ends.
//
// One at a time: while one is alive, another readies nothing.
class ReadyAhead {
public:
    explicit ReadyAhead(const std::vector<std::size_t>& sizes);
    ~ReadyAhead();
    ReadyAhead(const ReadyAhead&) = delete;
    ReadyAhead& operator=(const ReadyAhead&) = delete;

    // How many of its blocks are cleared and waiting, and how many allocations have taken.
    std::size_t Readied() const { return Counted(State::Ready); }
    std::size_t Taken() const { return Counted(State::Taken); }

private:
    enum class State { Waiting, Clearing, Ready, Taken };
    struct Block {
        void* memory;
        std::size_t bytes;
        State state;
    };

    friend void* TakeReadied(std::size_t bytes);
    void* Take(std::size_t bytes);
    void ClearPages();
    std::size_t Counted(State state) const;

    mutable std::mutex lock_;
    std::condition_variable cleared_;
    std::vector<Block> blocks_;
    std::atomic<bool> stopping_{false};
    std::thread clearer_;
};

// The block of exactly `bytes` a live ReadyAhead holds untaken, once its pages are done, or
// nullptr.
void* TakeReadied(std::size_t bytes);

}  // namespace large_blocks
