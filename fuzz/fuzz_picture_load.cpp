// Any bytes as a picture file: decoding with the program's size limit, copying into a pixel
// buffer through a canvas, and starting the light buffer from it. Failures the program
// reports are fine; crashes, leaks and undefined behaviour are not.

#include "core/common/Failure.h"
#include "core/files/QtPictureFiles.h"
#include "core/lights/LightEngine.h"
#include "core/picture/ImageSurface.h"
#include "core/picture/PixelBuffer.h"

#include <QBuffer>
#include <QCoreApplication>

#include <cstdint>
#include <new>

namespace {

// Small enough that the fuzzer's memory limit is never the one that stops a picture.
constexpr std::int64_t kDecodeLimit = std::int64_t(4) * 1024 * 1024;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);  // image format plugins are found through it
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QtPictureFiles files(kDecodeLimit);
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    try {
        const QImage picture = files.Decode(device, QStringLiteral("fuzz"));
        ImageSurface canvas;
        canvas.SetAutoSize(true);
        canvas.SetPicture(picture);
        PixelBuffer pixels;
        pixels.SetPicture(canvas.Image());
        LightEngine lights;
        lights.Reset(pixels.Width(), pixels.Height());
        lights.LoadPicture(pixels.Bytes());
    } catch (const Failure&) {
    }
    return 0;
}
