#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>

#include <cstdint>
#include <functional>

// The size and last modification time of a file. A file whose stamp has not changed is taken
// to hold what it held; a missing file has the empty stamp.
struct FileStamp {
    qint64 size = -1;
    QDateTime modified;

    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// Rows of a picture being decoded that are final: rows `first` to `end` - 1 of `pixels`, which
// holds the whole picture in RGB32 (4 bytes a pixel, rows of 4 * `width` bytes, no padding).
// The block stays where it is until the decode returns the picture. A call with no pixels takes
// back every row told: once it returns, they are no longer read.
struct DecodedRows {
    const std::uint8_t* pixels;
    std::int32_t width;
    std::int32_t first;
    std::int32_t end;
};
using RowsDecoded = std::function<void(const DecodedRows&)>;

// Reading and writing picture files. Failures are thrown, described for the user.
class PictureFiles {
public:
    virtual ~PictureFiles() = default;
    // Decodes a picture file, upright, in any format the system can read, as it shows on a
    // black background: in RGB32, each pixel of a picture with transparency over black.
    QImage Load(const QString& path) { return Load(path, {}); }
    // The same, telling `rowsDecoded`, on the decoding thread and in order, each time more
    // rows are final; a decoder that cannot tell sooner gives all of them once at the end.
    virtual QImage Load(const QString& path, const RowsDecoded& rowsDecoded) = 0;
    // The size Load would give, as far as the file says without being decoded; an empty size
    // where it does not.
    virtual QSize PictureSizeOf(const QString& path) = 0;
    // Writes the picture as a BMP file, replacing any file of that name.
    virtual void SaveBmp(const QImage& picture, const QString& path) = 0;
    // Whether a normal file of that name, or a link to one, exists: folders do not count, nor
    // do files the system itself hides.
    virtual bool NormalFileExists(const QString& path) = 0;
    // The file's stamp as it is now; a link gives the stamp of the file it leads to.
    virtual FileStamp StampOf(const QString& path) = 0;
};
