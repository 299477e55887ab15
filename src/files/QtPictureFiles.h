#pragma once

#include "platform/PictureFiles.h"

#include <cstdint>

// Picture files through Qt's image readers and writers. Used by the program and by the
// tests alike: it only touches the files it is given.
class QtPictureFiles : public PictureFiles {
public:
    QImage Load(const QString& path) override;
    void SaveBmp(const QImage& picture, const QString& path) override;
    bool NormalFileExists(const QString& path) override;

    // The most memory one decoded picture may take, in bytes.
    static std::int64_t DecodeLimitBytes();
};
