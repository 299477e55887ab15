#include "core/common/LargeBlocks.h"

#include "core/common/WorkerPool.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif
#if defined(__unix__)
#include <unistd.h>
#endif

// The sanitizers watch the edges of heap blocks, not of mappings made by hand.
#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__)
#define GLIMMERAGE_LARGE_PAGES 1
#endif

namespace large_blocks {
namespace {

constexpr std::size_t kLargePage = std::size_t(2) << 20;
// A few large pages: below this, sharing work out over the cores costs more than it saves.
constexpr std::size_t kLargeBlock = 4 * kLargePage;

// From one large page up, rounding up wastes less than the block holds, while small pages
// would cost a fault every 4 KB: the light buffer of a 640 x 480 drawing alone is nine
// hundred of them, several milliseconds when it is first cleared.
bool InLargePages(std::size_t bytes) {
#if defined(GLIMMERAGE_LARGE_PAGES)
    return bytes >= kLargePage;
#else
    static_cast<void>(bytes);
    return false;
#endif
}

std::size_t RoundedToLargePages(std::size_t bytes) { return (bytes + kLargePage - 1) / kLargePage * kLargePage; }

#if defined(GLIMMERAGE_LARGE_PAGES)
// A fresh mapping, aligned to a large page so that every part of it can be one, and zeroed
// by the system only as each page is first touched.
void* MapLargePages(std::size_t bytes) {
    const std::size_t rounded = RoundedToLargePages(bytes);
    void* mapped = mmap(nullptr, rounded + kLargePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    auto* const start = static_cast<char*>(mapped);
    auto* const aligned = reinterpret_cast<char*>(RoundedToLargePages(reinterpret_cast<std::size_t>(start)));
    if (aligned != start) munmap(start, std::size_t(aligned - start));
    munmap(aligned + rounded, std::size_t(start + kLargePage - aligned));
    // Only advice: where the system has no large pages to give, small ones serve.
    madvise(aligned, rounded, MADV_HUGEPAGE);
    return aligned;
}
#endif

struct ImageBlock {
    void* pixels;
    std::size_t bytes;
};

// The page size of the smallest pages there are; touching one byte in each faults in all.
constexpr std::size_t kSmallPage = 4096;

WorkerPool& BandWorkers() {
    static WorkerPool workers;
    return workers;
}

void FreeImageBlock(void* info) {
    const auto* block = static_cast<ImageBlock*>(info);
    Free(block->pixels, block->bytes);
    delete block;
}

}  // namespace

void* Allocate(std::size_t bytes) {
#if defined(GLIMMERAGE_LARGE_PAGES)
    if (InLargePages(bytes)) return MapLargePages(bytes);
#endif
    void* block = std::calloc(bytes == 0 ? 1 : bytes, 1);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

void Free(void* block, std::size_t bytes) noexcept {
    if (block == nullptr) return;
#if defined(GLIMMERAGE_LARGE_PAGES)
    if (InLargePages(bytes)) {
        munmap(block, RoundedToLargePages(bytes));
        return;
    }
#else
    static_cast<void>(bytes);
#endif
    std::free(block);
}

QImage NewImage(QSize size, QImage::Format format) {
    if (size.isEmpty()) return QImage(size, format);
    const qsizetype rowBytes = qsizetype(size.width()) * 4;
    const std::size_t bytes = std::size_t(rowBytes) * std::size_t(size.height());
    auto* block = new ImageBlock{Allocate(bytes), bytes};
    QImage image(static_cast<uchar*>(block->pixels), size.width(), size.height(), rowBytes, format, FreeImageBlock,
                 block);
    // Qt turns down sizes it cannot address without calling the cleanup.
    if (image.isNull()) FreeImageBlock(block);
    return image;
}

void InBands(int rows, std::size_t rowBytes, const std::function<void(int first, int end)>& work) {
    if (rows <= 0) return;
    if (std::size_t(rows) * rowBytes < kLargeBlock) {
        work(0, rows);
        return;
    }
    WorkerPool& workers = BandWorkers();
    const int bands = std::min(workers.Threads(), rows);
    workers.Run(bands, [&](int band) {
        work(int(std::int64_t(rows) * band / bands), int(std::int64_t(rows) * (band + 1) / bands));
    });
}

void InSlices(std::size_t bytes, const std::function<void(std::size_t from, std::size_t to)>& work) {
    constexpr std::size_t kSlice = std::size_t(1) << 16;
    InBands(int((bytes + kSlice - 1) / kSlice), kSlice, [&](int first, int end) {
        work(std::size_t(first) * kSlice, std::min(std::size_t(end) * kSlice, bytes));
    });
}

void FaultIn(QImage& fresh) {
    uchar* const bits = fresh.bits();
    InSlices(std::size_t(fresh.sizeInBytes()), [&](std::size_t from, std::size_t to) {
        // A new block is all zeros, so writing a zero changes nothing but the mapping.
        for (std::size_t at = from; at < to; at += kSmallPage) bits[at] = 0;
        bits[to - 1] = 0;
    });
}

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

}  // namespace large_blocks
