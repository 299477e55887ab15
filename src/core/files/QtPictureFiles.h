#pragma once

#include "core/platform/PictureFiles.h"

#include <cstdint>

class QIODevice;

// The picture as the canvas shows it, over its black background, in the canvas's own format
// (RGB32): each channel times its alpha over 255, rounded to the nearest.
QImage PictureOverBlack(QImage picture);

// Picture files through Qt's image readers and writers. Used by the program and by the
// tests alike: it only touches the files it is given.
class QtPictureFiles : public PictureFiles {
public:
    explicit QtPictureFiles(std::int64_t decodeLimitBytes = DefaultDecodeLimitBytes());

    using PictureFiles::Load;
    QImage Load(const QString& path, const RowsDecoded& rowsDecoded) override;
    QSize PictureSizeOf(const QString& path) override;
    // Decodes a picture from any device, as Load does; `name` only goes into failure
    // descriptions. The format the decoder recognised goes to `format` when given.
    QImage Decode(QIODevice& device, const QString& name, QByteArray* format = nullptr,
                  const RowsDecoded& rowsDecoded = {}) const;
    void SaveBmp(const QImage& picture, const QString& path) override;
    bool NormalFileExists(const QString& path) override;
    FileStamp StampOf(const QString& path) override;

    // The most memory one decoded picture may take, in bytes, on this machine.
    static std::int64_t DefaultDecodeLimitBytes();

private:
    std::int64_t decodeLimitBytes_;
};
