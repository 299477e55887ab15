#include "core/files/BmpWriter.h"

#include <QFileDevice>
#include <QImage>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(Q_OS_LINUX)
#include <fcntl.h>
#endif

namespace {

constexpr int kHeaderBytes = 14 + 40;
constexpr std::int64_t kBlockBytes = std::int64_t(4) << 20;

std::int64_t RowBytes(int width) { return (std::int64_t(width) * 3 + 3) & ~std::int64_t(3); }

template <typename T>
void Put(std::array<char, kHeaderBytes>& header, int at, T value) {
    const T little = qToLittleEndian(value);
    std::memcpy(header.data() + at, &little, sizeof little);
}

std::array<char, kHeaderBytes> Header(const QImage& picture) {
    const std::int64_t imageBytes = RowBytes(picture.width()) * picture.height();
    std::array<char, kHeaderBytes> header{};
    header[0] = 'B';
    header[1] = 'M';
    Put(header, 2, std::uint32_t(kHeaderBytes + imageBytes));
    Put(header, 10, std::uint32_t(kHeaderBytes));
    Put(header, 14, std::uint32_t(40));
    Put(header, 18, std::int32_t(picture.width()));
    Put(header, 22, std::int32_t(picture.height()));
    Put(header, 26, std::uint16_t(1));
    Put(header, 28, std::uint16_t(24));
    Put(header, 34, std::uint32_t(imageBytes));
    Put(header, 38, std::int32_t(picture.dotsPerMeterX()));
    Put(header, 42, std::int32_t(picture.dotsPerMeterY()));
    return header;
}

void PutWord(unsigned char* to, std::uint32_t word) { qToLittleEndian(word, to); }

// Blue, green, red of each pixel; four pixels make three whole words.
void PackRow(const QRgb* from, int width, unsigned char* to) {
    int x = 0;
    for (; x + 4 <= width; x += 4, to += 12) {
        const std::uint32_t p0 = from[x], p1 = from[x + 1], p2 = from[x + 2], p3 = from[x + 3];
        PutWord(to, (p0 & 0xFFFFFFu) | (p1 << 24));
        PutWord(to + 4, ((p1 >> 8) & 0xFFFFu) | (p2 << 16));
        PutWord(to + 8, ((p2 >> 16) & 0xFFu) | (p3 << 8));
    }
    for (; x < width; ++x, to += 3) {
        to[0] = std::uint8_t(qBlue(from[x]));
        to[1] = std::uint8_t(qGreen(from[x]));
        to[2] = std::uint8_t(qRed(from[x]));
    }
}

// Starts writing a finished stretch of the file to disk without waiting for it.
void StartWriteBack([[maybe_unused]] QFileDevice& file, [[maybe_unused]] std::int64_t from,
                    [[maybe_unused]] std::int64_t bytes) {
#if defined(Q_OS_LINUX)
    if (file.handle() >= 0) sync_file_range(file.handle(), from, bytes, SYNC_FILE_RANGE_WRITE);
#endif
}

// A write the system cut short is tried again for the rest: only a write that stores nothing
// leaves the system's reason (a full disk, say) in the file's error text.
bool WriteAll(QFileDevice& file, const char* data, std::int64_t bytes) {
    while (bytes > 0) {
        const qint64 written = file.write(data, bytes);
        if (written <= 0) return false;
        data += written;
        bytes -= written;
    }
    return true;
}

}  // namespace

bool FitsBmp24Writer(const QImage& picture) {
    return picture.format() == QImage::Format_RGB32 && !picture.isNull() &&
           RowBytes(picture.width()) * picture.height() <= std::int64_t(INT32_MAX) - kHeaderBytes;
}

bool WriteBmp24(const QImage& picture, QFileDevice& file) {
    const auto header = Header(picture);
    if (!WriteAll(file, header.data(), kHeaderBytes)) return false;
    const std::int64_t rowBytes = RowBytes(picture.width());
    const int rowsPerBlock = int(std::clamp<std::int64_t>(kBlockBytes / rowBytes, 1, picture.height()));
    // Padding bytes stay zero: the buffer starts zeroed and rows only ever fill their pixels.
    std::vector<unsigned char> block(std::size_t(rowBytes * rowsPerBlock), 0);
    std::int64_t written = kHeaderBytes;
    for (int done = 0; done < picture.height(); done += rowsPerBlock) {
        const int rows = std::min(rowsPerBlock, picture.height() - done);
        for (int r = 0; r < rows; ++r) {
            const int y = picture.height() - 1 - (done + r);
            PackRow(reinterpret_cast<const QRgb*>(picture.constScanLine(y)), picture.width(),
                    block.data() + r * rowBytes);
        }
        const std::int64_t bytes = rowBytes * rows;
        if (!WriteAll(file, reinterpret_cast<const char*>(block.data()), bytes)) return false;
        // QFile keeps a small buffer of its own; what has reached the file may be written back.
        // The header shares the first block's first page, which goes with it.
        if (!file.flush()) return false;
        StartWriteBack(file, written, bytes);
        written += bytes;
    }
    return true;
}
