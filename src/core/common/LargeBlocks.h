#pragma once

#include <QImage>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <functional>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

// Memory for the drawing's big arrays: light planes, pixel buffers, the canvas image.
// Fresh memory is paid for on first touch, one fault per page; a photo of tens of megapixels
// is hundreds of thousands of small pages, and the faults cost more than the work then done
// on the pixels. Blocks of 2 MB and up are therefore asked for in the system's
// large pages where it offers them (transparent huge pages on Linux), one fault per 2 MB.
namespace large_blocks {

// Every byte of a new block is 0; a big one is zeroed by the system page by page as it is
// first touched, so a buffer that is written before it is read is never zeroed by hand.
void* Allocate(std::size_t bytes);
void Free(void* block, std::size_t bytes) noexcept;

// A 32-bit image (blue, green, red, fourth byte; rows without padding) in such a block,
// every byte 0.
QImage NewImage(QSize size, QImage::Format format = QImage::Format_RGB32);

// Runs work(first, end) over rows first .. end - 1 of something big, in one band of rows per
// core. Fresh memory is paid for by the thread that first writes it, and clearing the pages
// costs more than the copy into them; bands let every core clear its own. Work under a few
// megabytes stays on the calling thread. The work must not throw.
void InBands(int rows, std::size_t rowBytes, const std::function<void(int first, int end)>& work);

// The same over the bytes of a flat block: work(from, to) for byte offsets from .. to - 1.
void InSlices(std::size_t bytes, const std::function<void(std::size_t from, std::size_t to)>& work);

// Faults in every page of a new image on all cores, for a writer that works on one thread.
void FaultIn(QImage& fresh);

// Whether the machine's free memory holds twice `bytes`: work on memory the user may never want
// is only done while it costs no one else theirs.
bool MachineHasToSpare(std::size_t bytes);

}  // namespace large_blocks

// For containers of plain numbers: since new blocks are all zeros, an element made without a
// value is already 0 and is not written. That holds for a container made at its size; one
// grown again within its old capacity would keep what was there.
template <typename T>
struct LargeBlockAllocator {
    using value_type = T;

    LargeBlockAllocator() = default;
    template <typename U>
    explicit LargeBlockAllocator(const LargeBlockAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n > std::size_t(-1) / sizeof(T)) throw std::bad_array_new_length();
        return static_cast<T*>(large_blocks::Allocate(n * sizeof(T)));
    }
    void deallocate(T* block, std::size_t n) noexcept { large_blocks::Free(block, n * sizeof(T)); }
    template <typename U>
    void construct(U*) noexcept {
        static_assert(std::is_arithmetic_v<U>, "only numbers are 0 when all their bytes are");
    }
    template <typename U, typename... Args>
    void construct(U* at, Args&&... args) {
        ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }

    template <typename U>
    bool operator==(const LargeBlockAllocator<U>&) const noexcept {
        return true;
    }
};

// Leaves `numbers` holding `count` zeros. A block of that size already there is blanked where it
// stands, sparing the page faults of fresh memory; any other is let go before the new one is
// made, since an assignment would keep its capacity and a big picture must never need two.
template <typename T>
void MakeBlank(std::vector<T, LargeBlockAllocator<T>>& numbers, std::size_t count) {
    if (numbers.size() == count) {
        // Blanked over all the cores, which a drawing's arrays are big enough for; a number is
        // 0 when all its bytes are (see the allocator).
        auto* const bytes = reinterpret_cast<char*>(numbers.data());
        large_blocks::InSlices(count * sizeof(T), [&](std::size_t from, std::size_t to) {
            std::memset(bytes + from, 0, to - from);
        });
        return;
    }
    std::vector<T, LargeBlockAllocator<T>>().swap(numbers);
    numbers = std::vector<T, LargeBlockAllocator<T>>(count);
}
