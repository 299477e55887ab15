#include "core/document/DrawingAhead.h"

#include "core/common/LargeBlocks.h"

#include <algorithm>

DrawingAhead::DrawingAhead(std::int32_t width, std::int32_t height)
    : light_(width, height), width_(width), height_(height) {
    pixels_.StartPicture(width, height);
    filler_ = std::thread([this] { FillRows(); });
}

DrawingAhead::~DrawingAhead() {
    {
        const std::lock_guard<std::mutex> hold(lock_);
        stopping_ = true;
    }
    changed_.notify_all();
    filler_.join();
}

RowsDecoded DrawingAhead::Receiver() {
    return [this](const DecodedRows& rows) { Tell(rows); };
}

void DrawingAhead::Tell(const DecodedRows& rows) {
    std::unique_lock<std::mutex> hold(lock_);
    const bool sameSource = rows.pixels != nullptr && rows.pixels == source_;
    const bool fits = rows.pixels != nullptr && rows.width == width_ && rows.end <= height_ &&
                      rows.first <= (sameSource ? told_ : 0);
    if (fits && sameSource) {
        told_ = std::max(told_, rows.end);
    } else {
        // A new picture, rows that do not fit, or the decoder taking its rows back: what was
        // filled no longer counts, and a band being filled is not counted in. The rows it
        // reads may be let go once this returns, so it is waited for.
        ++start_;
        source_ = fits ? rows.pixels : nullptr;
        filled_ = 0;
        told_ = fits ? rows.end : 0;
        changed_.wait(hold, [this] { return !filling_; });
    }
    hold.unlock();
    changed_.notify_all();
}

void DrawingAhead::FillRows() {
    std::unique_lock<std::mutex> hold(lock_);
    for (;;) {
        changed_.wait(hold, [this] { return stopping_ || filled_ < told_; });
        if (stopping_) return;
        const std::uint8_t* const source = source_;
        const std::int32_t first = filled_, end = told_;
        const std::uint64_t start = start_;
        filling_ = true;
        hold.unlock();
        // Bands told as they decode are filled here alone, leaving the decoder its core; a
        // picture told whole at the end has nothing to wait for, and every core fills it.
        const auto fill = [&](int from, int to) {
            pixels_.CopyPictureRows(source, first + from, first + to);
            light_.TakeRows(source, first + from, first + to);
        };
        if (first == 0 && end == height_) {
            large_blocks::InBands(end, std::size_t(width_) * 4, fill);
        } else {
            fill(0, end - first);
        }
        hold.lock();
        filling_ = false;
        if (start_ == start) filled_ = end;
        changed_.notify_all();
    }
}

bool DrawingAhead::Finish(const QImage& picture) {
    std::unique_lock<std::mutex> hold(lock_);
    changed_.wait(hold, [this] { return filled_ == told_ && !filling_; });
    if (told_ != height_ || picture.constBits() != source_ || picture.size() != QSize(width_, height_)) return false;
    picture_ = picture;
    return true;
}
