#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

#include "windows/picture/GMPicture.h"

class ImageSurface;

// The grey strip printed over the top of the canvas while a render runs. It grows ten
// columns at a time with the share of the picture's rows finished, and is printed as soon as
// it has grown by ten columns and a moment has passed since the last print, so that a slow
// render moves smoothly without a fast one spending its time on prints. It is always
// printed once more when every row is finished: then it covers every whole ten columns of
// the picture.
class ProgressStrip {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // The shortest time between two prints of a render still under way.
    static constexpr std::chrono::milliseconds kPrintInterval{15};

    ProgressStrip(PixelBuffer& strip, GMPicture printer, ImageSurface& canvas, std::int32_t pictureHeight,
                  Clock clock = std::chrono::steady_clock::now);

    // The engine's progress report: `rowsDone` of the picture's rows are finished.
    void Show(std::int32_t rowsDone);

    std::int32_t ColumnsShown() const { return shown_; }

private:
    void Paint(std::int32_t columns);

    PixelBuffer& strip_;
    GMPicture printer_;
    ImageSurface& canvas_;
    std::int32_t height_;
    Clock clock_;
    std::int32_t shown_ = 0;
    std::chrono::steady_clock::time_point lastPrint_{};
};
