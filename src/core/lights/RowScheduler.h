#pragma once

#include "core/common/WorkerPool.h"

#include <atomic>
#include <cstdint>
#include <functional>

// A run of steps, first to last: a step is one row, or a pair of rows that share their
// weights.
struct StepSpan {
    std::int32_t first;
    std::int32_t last;
};

// Hands the steps of a pass out in chunks to the threads of its pool, each taking the next
// chunk as it becomes free, once the picture is big enough for a second thread to pay.
class RowScheduler {
public:
    using Work = std::function<float(StepSpan steps, int thread)>;
    using RowsIn = std::function<std::int32_t(StepSpan steps)>;
    using Progress = std::function<void(std::int32_t rowsDone)>;

    // The most threads a pass may use, the caller's included.
    int Threads() const { return pool_.Threads(); }
    // Caps the threads a pass uses (0: one per core): for measuring how the work scales,
    // and for tests that must see one and several threads.
    void SetThreadLimit(int threads) { limit_ = threads < 0 ? 0 : threads; }

    // Runs work(steps, thread) over the steps 0..count - 1 and returns the greatest value a
    // chunk returned (0 if none was above 0). Between its chunks the calling thread reports
    // the number of rows finished so far, rowsIn(span) counting the rows of each span (one a
    // step without it), and once more when all are done; so the report may touch what only
    // the calling thread may touch. A failure in any chunk stops the handing out of chunks
    // and is thrown again once every thread has stopped.
    float Run(std::int64_t pixelsPerStep, std::int32_t count, const Work& work, const Progress& progress = {},
              const RowsIn& rowsIn = {});

private:
    WorkerPool pool_;
    std::atomic<int> limit_{0};
};
