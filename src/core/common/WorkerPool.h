#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Threads started once and kept, so that handing work to every core costs a wake-up rather
// than a thread start: that matters when a click on a small picture takes well under a
// millisecond.
class WorkerPool {
public:
    // One helper thread per core besides the caller's.
    WorkerPool();
    explicit WorkerPool(int helpers);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // The most threads a Run can use, the caller's included.
    int Threads() const { return int(helpers_.size()) + 1; }

    // Calls task(0) on the calling thread and task(1) .. task(threads - 1) on helpers, and
    // returns when all have returned. Tasks must not throw. Runs from several threads at
    // once take turns.
    void Run(int threads, const std::function<void(int)>& task);

private:
    void HelperLoop(int index);

    std::mutex runLock_;
    std::mutex lock_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    const std::function<void(int)>* task_ = nullptr;
    std::uint64_t generation_ = 0;
    int wanted_ = 0;
    int running_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> helpers_;
};
