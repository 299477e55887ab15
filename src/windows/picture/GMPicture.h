#pragma once

#include "core/picture/PixelBuffer.h"

class MessageBoxes;

// A pixel buffer as the windows use it: every operation but Width and Height shows its own
// failure in the "Error" box and returns normally, and the caller carries on. What the
// operation did before the failure stays done. This is the one place where a buffer's
// failures are reported rather than thrown.
class GMPicture {
public:
    GMPicture(PixelBuffer& pixels, MessageBoxes& messages) : pixels_(pixels), messages_(messages) {}

    void SetPicture(const QImage& StdPicture1);
    void PrintToPictureBox(ImageSurface& PictureBox1, bool bRefresh = false, bool bMergeLayer = false);
    void CreateNewPicture(float Width, float Height);
    void SetPixel(float X, float Y, std::int32_t Red, std::int32_t Green, std::int32_t Blue);
    void GetPixel(float X, float Y, std::int32_t& Red, std::int32_t& Green, std::int32_t& Blue);
    void FillAll(std::int32_t Red, std::int32_t Green, std::int32_t Blue);
    std::int32_t Width() const { return pixels_.Width(); }
    std::int32_t Height() const { return pixels_.Height(); }
    void Cls();
    std::span<const std::uint8_t> Bytes() const { return pixels_.Bytes(); }

private:
    template <typename Operation>
    void Reporting(Operation&& operation);

    PixelBuffer& pixels_;
    MessageBoxes& messages_;
};
