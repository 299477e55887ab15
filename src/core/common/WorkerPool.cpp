#include "core/common/WorkerPool.h"

#include <algorithm>

WorkerPool::WorkerPool() : WorkerPool(int(std::max(1u, std::thread::hardware_concurrency())) - 1) {}

WorkerPool::WorkerPool(int helpers) {
    for (int i = 0; i < helpers; ++i) helpers_.emplace_back(&WorkerPool::HelperLoop, this, i + 1);
}

WorkerPool::~WorkerPool() {
    {
        const std::lock_guard<std::mutex> guard(lock_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& helper : helpers_) helper.join();
}

void WorkerPool::Run(int threads, const std::function<void(int)>& task) {
    threads = std::clamp(threads, 1, Threads());
    if (threads == 1) {
        task(0);
        return;
    }
    const std::lock_guard<std::mutex> turn(runLock_);
    {
        const std::lock_guard<std::mutex> guard(lock_);
        task_ = &task;
        wanted_ = threads;
        running_ = threads - 1;
        ++generation_;
    }
    wake_.notify_all();
    task(0);
    std::unique_lock<std::mutex> guard(lock_);
    finished_.wait(guard, [&] { return running_ == 0; });
    task_ = nullptr;
}

void WorkerPool::HelperLoop(int index) {
    std::uint64_t seen = 0;
    std::unique_lock<std::mutex> guard(lock_);
    for (;;) {
        wake_.wait(guard, [&] { return stopping_ || generation_ != seen; });
        if (stopping_) return;
        seen = generation_;
        if (index >= wanted_) continue;
        const std::function<void(int)>& task = *task_;
        guard.unlock();
        task(index);
        guard.lock();
        if (--running_ == 0) finished_.notify_one();
    }
}
