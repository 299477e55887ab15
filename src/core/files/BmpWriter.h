#pragma once

class QFileDevice;
class QImage;

// Writes a 32-bit picture as a 24-bit bottom-up BMP, byte for byte what Qt's own BMP
// writer produces, but a block of rows at a time. On Linux each block is handed to the
// disk as soon as it is written, so the final flush only waits for the last block.
// Returns false when the device refused a write; its errorString() says why.
bool WriteBmp24(const QImage& picture, QFileDevice& file);

// Whether WriteBmp24 takes pictures of this kind; others go through Qt's writer.
bool FitsBmp24Writer(const QImage& picture);
