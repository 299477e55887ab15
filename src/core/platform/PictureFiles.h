#pragma once

#include <QImage>
#include <QString>

// Reading and writing picture files. Failures are thrown, described for the user.
class PictureFiles {
public:
    virtual ~PictureFiles() = default;
    // Decodes a picture file, upright, in any format the system can read, as it shows on a
    // black background: in RGB32, each pixel of a picture with transparency over black.
    virtual QImage Load(const QString& path) = 0;
    // Writes the picture as a BMP file, replacing any file of that name.
    virtual void SaveBmp(const QImage& picture, const QString& path) = 0;
    // Whether a normal file of that name, or a link to one, exists: folders do not count, nor
    // do files the system itself hides.
    virtual bool NormalFileExists(const QString& path) = 0;
};
