#include "files/QtPictureFiles.h"

#include "common/Failure.h"

#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

#include <algorithm>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif

namespace {

// Failures that come from the files themselves carry this number, like other I/O errors.
constexpr int kFileFailure = 75;

// Our pixel buffers count a picture's bytes in 32 bits, so no picture may decode to more;
// within that, a quarter of the machine's memory leaves room for the light buffers.
constexpr std::int64_t kLargestPictureBytes = std::int64_t(2047) * 1024 * 1024;

std::int64_t PhysicalMemoryBytes() {
#if defined(Q_OS_UNIX) && defined(_SC_PHYS_PAGES)
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages > 0 && pageSize > 0) return std::int64_t(pages) * pageSize;
#endif
    return std::int64_t(8) * 1024 * 1024 * 1024;
}

Failure FileFailure(const QString& description) { return Failure(kFileFailure, description); }

}  // namespace

std::int64_t QtPictureFiles::DecodeLimitBytes() {
    return std::min(kLargestPictureBytes, PhysicalMemoryBytes() / 4);
}

QImage QtPictureFiles::Load(const QString& path) {
    const std::int64_t limit = DecodeLimitBytes();
    // Qt's own limit is far below what a photo may need; ours is checked below with a
    // clear message, so Qt's is set just above it.
    QImageReader::setAllocationLimit(int(limit / (1024 * 1024)) + 1);
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && std::int64_t(size.width()) * size.height() * 4 > limit) {
        throw FileFailure(QStringLiteral("The picture is too large to open: %1 x %2 pixels.")
                              .arg(size.width())
                              .arg(size.height()));
    }
    QImage picture = reader.read();
    if (picture.isNull()) {
        throw FileFailure(QStringLiteral("Cannot open the picture \"%1\": %2.")
                              .arg(QFileInfo(path).fileName(), reader.errorString()));
    }
    return picture;
}

void QtPictureFiles::SaveBmp(const QImage& picture, const QString& path) {
    const QFileInfo target(path);
    if (target.exists() && (target.isDir() || !target.isWritable())) {
        throw FileFailure(QStringLiteral("Permission denied: \"%1\" cannot be written.").arg(path));
    }
    // The picture goes to a temporary file first and replaces the old file only once it is
    // complete, so a failed save never leaves a truncated file behind.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        throw FileFailure(QStringLiteral("Cannot write \"%1\": %2.").arg(path, file.errorString()));
    }
    QImageWriter writer(&file, "bmp");
    if (!writer.write(picture)) {
        file.cancelWriting();
        throw FileFailure(QStringLiteral("Cannot write \"%1\": %2.").arg(path, writer.errorString()));
    }
    if (!file.commit()) {
        throw FileFailure(QStringLiteral("Cannot write \"%1\": %2.").arg(path, file.errorString()));
    }
}

bool QtPictureFiles::NormalFileExists(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}
