#include "core/files/QtPictureFiles.h"

#include "core/common/Failure.h"
#include "core/common/LargeBlocks.h"
#include "core/files/BmpWriter.h"
#include "core/files/JpegRows.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <system_error>
#include <utility>

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

Failure DamagedFailure(const QString& name) {
    return FileFailure(QStringLiteral("The picture \"%1\" is damaged or incomplete.").arg(name));
}

// The system's own words for an error.
QString SystemMessage(std::errc error) { return QString::fromStdString(std::make_error_code(error).message()); }

Failure WriteFailure(const QString& path, const QString& reason) {
    return FileFailure(QStringLiteral("Cannot write \"%1\": %2.").arg(path, reason));
}

// Writes the picture as a BMP into the open file: our own writer where it takes the
// picture, Qt's otherwise. Returns why it could not, if it could not.
std::optional<QString> EncodeBmp(const QImage& picture, QFileDevice& file) {
    if (FitsBmp24Writer(picture)) {
        if (!WriteBmp24(picture, file)) return file.errorString();
        return std::nullopt;
    }
    QImageWriter writer(&file, "bmp");
    if (!writer.write(picture)) return writer.errorString();
    return std::nullopt;
}

// Qt's decoders hand back what they could read of a damaged file and only say so in a
// warning; while a picture is read, those warnings are watched for.
bool sawPrematureEnd = false;
QtMessageHandler previousHandler = nullptr;

void WatchDecoderWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QStringLiteral("premature end"), Qt::CaseInsensitive)) sawPrematureEnd = true;
    if (previousHandler != nullptr) previousHandler(type, context, message);
}

class DecoderWarningWatch {
public:
    DecoderWarningWatch() {
        sawPrematureEnd = false;
        previousHandler = qInstallMessageHandler(WatchDecoderWarnings);
    }
    ~DecoderWarningWatch() { qInstallMessageHandler(previousHandler); }
    DecoderWarningWatch(const DecoderWarningWatch&) = delete;
    DecoderWarningWatch& operator=(const DecoderWarningWatch&) = delete;
};

// Whether the device holds a PNG with a chunk that would end past the end of the file. The
// PNG library sets aside (and clears) as much memory as a chunk claims before it reads it,
// so a few damaged bytes claiming a chunk of gigabytes would take that much memory and
// many seconds before failing.
bool PngClaimsMoreThanItHolds(QIODevice& device) {
    constexpr qint64 kSignatureBytes = 8, kChunkFrameBytes = 12;  // length, type and checksum
    if (device.isSequential() || device.peek(kSignatureBytes) != QByteArray("\x89PNG\r\n\x1A\n", 8)) return false;
    const qint64 start = device.pos();
    const qint64 end = device.size();
    bool claimsMore = false;
    for (qint64 at = start + kSignatureBytes; at < end;) {
        uchar header[8];
        if (!device.seek(at) || device.read(reinterpret_cast<char*>(header), 8) != 8) {
            claimsMore = true;
            break;
        }
        const qint64 next = at + kChunkFrameBytes + qFromBigEndian<quint32>(header);
        if (next > end) {
            claimsMore = true;
            break;
        }
        if (std::memcmp(header + 4, "IEND", 4) == 0) break;
        at = next;
    }
    device.seek(start);
    return claimsMore;
}

// A channel of value c under alpha a over black: c × a / 255 to the nearest whole number.
// 255 is odd, so the quotient never lies halfway between two whole numbers, and adding 127
// before dividing rounds it exactly (Qt's own premultiplication is one off for some pairs).
constexpr int OverBlack(int c, int a) { return (c * a + 127) / 255; }

template <typename PerPixel>
void ChangeEachPixel(QImage& picture, PerPixel perPixel) {
    for (int y = 0; y < picture.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) row[x] = perPixel(row[x]);
    }
}

// Decoders write into an image of the picture's size and format when given one; one in large
// pages spares the decode a page fault every few kilobytes of a photo.
QImage PreparedFor(const QImageReader& reader, QSize size) {
    const QImage::Format format = reader.imageFormat();
    if (!size.isValid() || reader.transformation() != QImageIOHandler::TransformationNone ||
        (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
         format != QImage::Format_ARGB32_Premultiplied)) {
        return {};
    }
    QImage prepared = large_blocks::NewImage(size, format);
    large_blocks::FaultIn(prepared);
    return prepared;
}

// Whether a BMP file ends before the pixel rows its header places and sizes. Qt's reader
// stops at the end of the file without a word and hands back the rows it never read as they
// happen to be. Run-length and embedded pictures have no size to check, and pass.
bool BmpEndsBeforeItsPixels(QFile& file) {
    constexpr qint64 kCoreHeaderEnd = 26, kInfoHeaderEnd = 34;
    if (!file.seek(0)) return true;
    const QByteArray h = file.read(kInfoHeaderEnd);
    const auto u16 = [&](int at) { return qint64(qFromLittleEndian<quint16>(h.constData() + at)); };
    const auto i32 = [&](int at) { return qint64(qFromLittleEndian<qint32>(h.constData() + at)); };
    if (h.size() < kCoreHeaderEnd) return true;
    const bool core = i32(14) == 12;  // the oldest header, with 16-bit sizes
    if (!core && h.size() < kInfoHeaderEnd) return true;
    const qint64 compression = core ? 0 : i32(30);
    if (compression != 0 && compression != 3 && compression != 6) return false;
    const qint64 width = core ? u16(18) : i32(18), height = core ? u16(20) : std::abs(i32(22));
    const qint64 bitsPerPixel = core ? u16(24) : u16(28);
    const qint64 rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
    return qint64(qFromLittleEndian<quint32>(h.constData() + 10)) + rowBytes * height > file.size();
}

QImage ReadWithQt(QImageReader& reader, const QString& name) {
    QImage picture = PreparedFor(reader, reader.size());
    bool damaged = false;
    {
        const DecoderWarningWatch watch;
        if (!reader.read(&picture)) picture = QImage();
        damaged = sawPrematureEnd;
    }
    if (picture.isNull()) {
        throw FileFailure(QStringLiteral("Cannot open the picture \"%1\": %2.").arg(name, reader.errorString()));
    }
    if (damaged) throw DamagedFailure(name);
    return PictureOverBlack(std::move(picture));
}

}  // namespace

QImage PictureOverBlack(QImage picture) {
    // A decoder that hands back colours multiplied by their alpha has done the work.
    if (!picture.hasAlphaChannel()) {
        picture.convertTo(QImage::Format_RGB32);
    } else if (picture.pixelFormat().premultiplied() == QPixelFormat::Premultiplied) {
        picture.convertTo(QImage::Format_ARGB32_Premultiplied);
        ChangeEachPixel(picture, [](QRgb pixel) { return pixel | 0xFF000000u; });
    } else {
        picture.convertTo(QImage::Format_ARGB32);
        ChangeEachPixel(picture, [](QRgb pixel) {
            const int a = qAlpha(pixel);
            return qRgb(OverBlack(qRed(pixel), a), OverBlack(qGreen(pixel), a), OverBlack(qBlue(pixel), a));
        });
    }
    picture.reinterpretAsFormat(QImage::Format_RGB32);
    return picture;
}

QtPictureFiles::QtPictureFiles(std::int64_t decodeLimitBytes) : decodeLimitBytes_(decodeLimitBytes) {}

std::int64_t QtPictureFiles::DefaultDecodeLimitBytes() {
    return std::min(kLargestPictureBytes, PhysicalMemoryBytes() / 4);
}

QImage QtPictureFiles::Load(const QString& path, const RowsDecoded& rowsDecoded) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw FileFailure(QStringLiteral("Cannot open \"%1\": %2.").arg(path, file.errorString()));
    }
    QByteArray format;
    const QImage picture = Decode(file, QFileInfo(path).fileName(), &format, rowsDecoded);
    // A GIF file ends with its trailer byte; one cut short does not.
    if (format == "gif" && file.size() > 0 && file.seek(file.size() - 1) &&
        file.read(1) != QByteArray(1, '\x3B')) {
        throw DamagedFailure(QFileInfo(path).fileName());
    }
    if (format == "bmp" && BmpEndsBeforeItsPixels(file)) throw DamagedFailure(QFileInfo(path).fileName());
    // All the rows, for a decoder that could not tell them sooner; a JPEG's were told already.
    if (rowsDecoded) rowsDecoded({picture.constBits(), picture.width(), 0, picture.height()});
    return picture;
}

QSize QtPictureFiles::PictureSizeOf(const QString& path) {
    QImageReader reader(path);
    const QSize stored = reader.size();
    // Qt gives the size as stored; a quarter turn, which Load makes, swaps the sides.
    return reader.transformation() & QImageIOHandler::TransformationRotate90 ? stored.transposed() : stored;
}

QImage QtPictureFiles::Decode(QIODevice& device, const QString& name, QByteArray* format,
                             const RowsDecoded& rowsDecoded) const {
    // Qt's own limit is far below what a photo may need; ours is checked below with a
    // clear message, so Qt's is set just above it.
    QImageReader::setAllocationLimit(int(decodeLimitBytes_ / (1024 * 1024)) + 1);
    if (PngClaimsMoreThanItHolds(device)) throw DamagedFailure(name);
    const qint64 start = device.pos();
    {
        QImageReader reader(&device);
        reader.setAutoTransform(true);
        const QSize size = reader.size();
        // Asked before reading: once the device is read through, the decoder may no longer say.
        if (format != nullptr) *format = reader.format();
        if (size.isValid() && std::int64_t(size.width()) * size.height() * 4 > decodeLimitBytes_) {
            throw FileFailure(QStringLiteral("The picture \"%1\" is too large to open: %2 x %3 pixels.")
                                  .arg(name)
                                  .arg(size.width())
                                  .arg(size.height()));
        }
        if (reader.format() != "jpeg" || reader.transformation() != QImageIOHandler::TransformationNone) {
            return ReadWithQt(reader, name);
        }
    }
    // A photo is decoded row by row, so that what is done with its rows can start at once.
    device.seek(start);
    QImage picture;
    switch (DecodeJpegInRows(device, picture, rowsDecoded)) {
        case JpegRowsOutcome::Decoded: return picture;
        case JpegRowsOutcome::Damaged: throw DamagedFailure(name);
        case JpegRowsOutcome::Failed:
        case JpegRowsOutcome::NotHandled: break;
    }
    // Qt's reader has the last word on a file the decoder gave up on, and reads the kinds of
    // JPEG it does not take.
    QImageReader reader(&device);
    reader.setAutoTransform(true);
    return ReadWithQt(reader, name);
}

void QtPictureFiles::SaveBmp(const QImage& picture, const QString& path) {
    const QFileInfo target(path);
    // Said in the words the user sees it in; Qt would speak of a directory.
    if (target.isDir()) throw WriteFailure(path, QStringLiteral("it is a folder"));
    // The owner's write permission decides, also for the administrator, who could write
    // anyway: a file marked read-only stays as it is.
    if (target.exists() && !(target.permissions() & QFileDevice::WriteOwner)) {
        throw WriteFailure(path, SystemMessage(std::errc::permission_denied));
    }
    // The picture goes to a temporary file first and replaces the old file only once it is
    // complete, so a failed save never leaves a truncated file behind.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) throw WriteFailure(path, file.errorString());
    if (const std::optional<QString> reason = EncodeBmp(picture, file)) {
        file.cancelWriting();
        throw WriteFailure(path, *reason);
    }
    if (!file.commit()) throw WriteFailure(path, file.errorString());
}

bool QtPictureFiles::NormalFileExists(const QString& path) {
    // A link counts as the file it leads to. Only Windows has an attribute that keeps a file
    // out of the user's sight; elsewhere a leading dot is a habit of naming, and the file is
    // as much the user's as any other.
    const QFileInfo info(path);
#if defined(Q_OS_WIN)
    return info.isFile() && !info.isHidden();
#else
    return info.isFile();
#endif
}

FileStamp QtPictureFiles::StampOf(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return {};
    return {info.size(), info.lastModified()};
}
