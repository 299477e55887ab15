#include "core/lights/RowKernels.h"

#include <atomic>
#include <vector>

extern const RowKernels kRowKernelsBaseline;
#if defined(GLIMMERAGE_WIDE_ROW_KERNELS)
extern const RowKernels kRowKernelsAvx2;
extern const RowKernels kRowKernelsAvx512;
#endif

namespace {

std::vector<const RowKernels*> RunnableSets() {
    std::vector<const RowKernels*> sets{&kRowKernelsBaseline};
#if defined(GLIMMERAGE_WIDE_ROW_KERNELS)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) sets.push_back(&kRowKernelsAvx2);
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
        __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512dq")) {
        sets.push_back(&kRowKernelsAvx512);
    }
#endif
    return sets;
}

const std::vector<const RowKernels*>& Sets() {
    static const std::vector<const RowKernels*> sets = RunnableSets();
    return sets;
}

std::atomic<const RowKernels*>& Active() {
    static std::atomic<const RowKernels*> active{Sets().back()};
    return active;
}

}  // namespace

std::span<const RowKernels* const> AvailableRowKernels() { return Sets(); }

const RowKernels& ActiveRowKernels() { return *Active().load(std::memory_order_relaxed); }

void UseRowKernels(const RowKernels& kernels) { Active().store(&kernels); }
