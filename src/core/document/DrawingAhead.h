#pragma once

#include "core/lights/LightEngine.h"
#include "core/picture/PixelBuffer.h"
#include "core/platform/PictureFiles.h"

#include <QImage>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

// The arrays a drawing holds once it has taken a picture at the picture's own size: the light
// buffer and the displayed picture, filled from each band of rows as the decoder finishes it,
// on a thread of their own. A photo's decode keeps one core busy for a tenth of a second or
// more; meanwhile another fills these, so that a "Yes" to the size question finds the new
// drawing made instead of starting on it. After a "No" they are simply let go.
class DrawingAhead {
public:
    DrawingAhead(std::int32_t width, std::int32_t height);
    // The memory one takes.
    static std::size_t BytesFor(std::int32_t width, std::int32_t height) {
        return LightEngine::BufferBytes(width, height) + std::size_t(width) * std::size_t(height) * 4;
    }
    ~DrawingAhead();
    DrawingAhead(const DrawingAhead&) = delete;
    DrawingAhead& operator=(const DrawingAhead&) = delete;

    // For the decoder: takes each band told and returns at once. Rows told again are taken
    // once; another picture starts over.
    RowsDecoded Receiver();

    // Waits until every row told is in. True when they cover the whole of `picture`, the one
    // the decoder returned, which is then kept for the canvas; otherwise nothing here is of use.
    bool Finish(const QImage& picture);

    LoadedLight& Light() { return light_; }
    PixelBuffer& Pixels() { return pixels_; }
    QImage& Picture() { return picture_; }

private:
    void Tell(const DecodedRows& rows);
    void FillRows();

    LoadedLight light_;
    PixelBuffer pixels_;
    QImage picture_;
    std::int32_t width_;
    std::int32_t height_;

    std::mutex lock_;
    std::condition_variable changed_;
    const std::uint8_t* source_ = nullptr;
    std::int32_t told_ = 0;
    std::int32_t filled_ = 0;
    // Counts the decoder's fresh starts, so that a band begun before one is not counted in.
    std::uint64_t start_ = 0;
    bool filling_ = false;
    bool stopping_ = false;
    std::thread filler_;
};
