#pragma once

#include "core/platform/PictureFiles.h"

#include <QImage>

class QIODevice;

// How a decode of a JPEG row by row ended.
enum class JpegRowsOutcome {
    Decoded,
    // Decoded, but the data ended early and the missing part was filled in.
    Damaged,
    // The decoder gave up; nothing of the picture can be used.
    Failed,
    // Not a kind of JPEG read here (another colour model, or no decoder row by row in this
    // build); nothing was read.
    NotHandled,
};

// Decodes a JPEG of one or three components from the device's current position straight into
// a 32-bit picture in large pages, telling `rowsDecoded` each time another band of rows is
// final, so that work on the first rows of a photo can start while the rest decodes. The
// pixels are those Qt's own JPEG reader gives, shown over black; anything Qt would turn
// (an orientation tag) is for the caller to leave to Qt.
JpegRowsOutcome DecodeJpegInRows(QIODevice& device, QImage& picture, const RowsDecoded& rowsDecoded);
