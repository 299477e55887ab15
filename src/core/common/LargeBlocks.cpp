#include "core/common/LargeBlocks.h"

#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace large_blocks {
namespace {

constexpr std::size_t kLargePage = std::size_t(2) << 20;

// Below a few large pages the rounding up would waste more than the faults cost.
bool InLargePages(std::size_t bytes) {
#if defined(__linux__)
    return bytes >= 4 * kLargePage;
#else
    static_cast<void>(bytes);
    return false;
#endif
}

struct ImageBlock {
    void* pixels;
    std::size_t bytes;
};

void FreeImageBlock(void* info) {
    const auto* block = static_cast<ImageBlock*>(info);
    Free(block->pixels, block->bytes);
    delete block;
}

}  // namespace

void* Allocate(std::size_t bytes) {
    if (!InLargePages(bytes)) return ::operator new(bytes);
#if defined(__linux__)
    const std::size_t rounded = (bytes + kLargePage - 1) / kLargePage * kLargePage;
    void* block = std::aligned_alloc(kLargePage, rounded);
    if (block == nullptr) throw std::bad_alloc();
    // Only advice: where the system has no large pages to give, small ones serve.
    madvise(block, rounded, MADV_HUGEPAGE);
    return block;
#else
    return ::operator new(bytes);
#endif
}

void Free(void* block, std::size_t bytes) noexcept {
    if (block == nullptr) return;
    if (InLargePages(bytes)) {
        std::free(block);
    } else {
        ::operator delete(block);
    }
}

QImage NewImage(QSize size, QImage::Format format) {
    if (size.isEmpty()) return QImage(size, format);
    const qsizetype rowBytes = qsizetype(size.width()) * 4;
    const std::size_t bytes = std::size_t(rowBytes) * std::size_t(size.height());
    auto* block = new ImageBlock{Allocate(bytes), bytes};
    return QImage(static_cast<uchar*>(block->pixels), size.width(), size.height(), rowBytes, format, FreeImageBlock,
                  block);
}

}  // namespace large_blocks
