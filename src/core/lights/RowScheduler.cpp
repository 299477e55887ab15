#include "core/lights/RowScheduler.h"

#include <algorithm>
#include <exception>
#include <mutex>

namespace {

// Below this many pixels a second thread costs more than it saves.
constexpr std::int64_t kPixelsPerThread = 65536;
// Steps are handed out in chunks of about this many pixels: small enough that every thread
// finishes at about the same time and the progress strip moves often, large enough to stream.
constexpr std::int64_t kPixelsPerChunk = 32768;

}  // namespace

float RowScheduler::Run(std::int64_t pixelsPerStep, std::int32_t count, const Work& work, const Progress& progress,
                        const RowsIn& rowsIn) {
    if (count < 1) return 0.0f;
    pixelsPerStep = std::max<std::int64_t>(pixelsPerStep, 1);
    const int cap = limit_.load() > 0 ? std::min(limit_.load(), pool_.Threads()) : pool_.Threads();
    const int threads = int(std::clamp<std::int64_t>(pixelsPerStep * count / kPixelsPerThread, 1, cap));
    const std::int32_t chunkSteps =
        threads == 1 && !progress ? count : std::int32_t(std::clamp<std::int64_t>(kPixelsPerChunk / pixelsPerStep, 1, count));
    const std::int32_t chunks = (count + chunkSteps - 1) / chunkSteps;

    std::atomic<std::int32_t> next{0};
    std::atomic<std::int32_t> rowsDone{0};
    std::atomic<bool> failed{false};
    std::mutex lock;
    float greatest = 0.0f;
    std::exception_ptr failure;
    pool_.Run(threads, [&](int thread) {
        float found = 0.0f;
        try {
            for (std::int32_t chunk = next++; chunk < chunks && !failed; chunk = next++) {
                const StepSpan span{chunk * chunkSteps, std::min(count, (chunk + 1) * chunkSteps) - 1};
                const float m = work(span, thread);
                found = m > found ? m : found;
                const std::int32_t done = rowsDone += rowsIn ? rowsIn(span) : span.last - span.first + 1;
                if (thread == 0 && progress) progress(done);
            }
        } catch (...) {
            const std::lock_guard<std::mutex> guard(lock);
            if (!failure) failure = std::current_exception();
            failed = true;
        }
        const std::lock_guard<std::mutex> guard(lock);
        greatest = found > greatest ? found : greatest;
    });
    if (failure) std::rethrow_exception(failure);
    if (progress) progress(rowsDone.load());
    return greatest;
}
