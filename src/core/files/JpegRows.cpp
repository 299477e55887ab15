#include "core/files/JpegRows.h"

#include "core/common/LargeBlocks.h"

#include <QIODevice>

#if defined(GLIMMERAGE_JPEG_ROWS)
#include <csetjmp>
#include <memory>

#include <jerror.h>
#include <jpeglib.h>
#endif

#if defined(GLIMMERAGE_JPEG_ROWS) && defined(JCS_EXTENSIONS)

namespace {

// Rows handed on together: large enough that telling costs nothing, small enough that the
// work on them starts soon after the decode does and ends soon after it.
constexpr int kBandRows = 64;
constexpr std::size_t kReadBytes = 64 * 1024;

struct DeviceSource {
    jpeg_source_mgr manager;
    QIODevice* device;
    JOCTET buffer[kReadBytes];
};

void InitSource(j_decompress_ptr) {}

// At the end of the data the decoder is given an end marker, as libjpeg's own file reader
// does, and says so in a warning.
boolean FillInput(j_decompress_ptr info) {
    auto* source = reinterpret_cast<DeviceSource*>(info->src);
    const qint64 read = source->device->read(reinterpret_cast<char*>(source->buffer), kReadBytes);
    if (read <= 0) {
        WARNMS(info, JWRN_JPEG_EOF);
        source->buffer[0] = JOCTET(0xFF);
        source->buffer[1] = JOCTET(JPEG_EOI);
        source->manager.bytes_in_buffer = 2;
    } else {
        source->manager.bytes_in_buffer = std::size_t(read);
    }
    source->manager.next_input_byte = source->buffer;
    return TRUE;
}

void SkipInput(j_decompress_ptr info, long count) {
    auto* source = reinterpret_cast<DeviceSource*>(info->src);
    while (count > long(source->manager.bytes_in_buffer)) {
        count -= long(source->manager.bytes_in_buffer);
        FillInput(info);
    }
    if (count > 0) {
        source->manager.next_input_byte += count;
        source->manager.bytes_in_buffer -= std::size_t(count);
    }
}

void TermSource(j_decompress_ptr) {}

struct Errors {
    jpeg_error_mgr manager;
    std::jmp_buf failed;
    bool damaged;
};

[[noreturn]] void GiveUp(j_common_ptr info) { std::longjmp(reinterpret_cast<Errors*>(info->err)->failed, 1); }

// libjpeg passes on only its first warning; Qt's reader calls a picture damaged when that one
// speaks of the data ending early, and so does this one.
void NoteWarning(j_common_ptr info) {
    char text[JMSG_LENGTH_MAX];
    info->err->format_message(info, text);
    if (QByteArray(text).toLower().contains("premature end")) reinterpret_cast<Errors*>(info->err)->damaged = true;
}

bool ReadsAsRgb(const jpeg_decompress_struct& info) {
    return (info.num_components == 3 && info.jpeg_color_space == JCS_YCbCr) ||
           (info.num_components == 1 && info.jpeg_color_space == JCS_GRAYSCALE);
}

// The decode itself, between setjmp and the decoder's failures: nothing here may need a
// destructor, since a failure jumps past it.
JpegRowsOutcome DecodeRows(jpeg_decompress_struct& info, Errors& errors, QImage& picture,
                           const RowsDecoded& rowsDecoded) {
    if (setjmp(errors.failed) != 0) return JpegRowsOutcome::Failed;
    jpeg_read_header(&info, TRUE);
    if (!ReadsAsRgb(info)) return JpegRowsOutcome::NotHandled;
    info.out_color_space = JCS_EXT_BGRX;
    jpeg_calc_output_dimensions(&info);
    picture = large_blocks::NewImage(QSize(int(info.output_width), int(info.output_height)));
    large_blocks::FaultIn(picture);
    std::uint8_t* const pixels = picture.bits();
    const std::size_t rowBytes = std::size_t(info.output_width) * 4;
    jpeg_start_decompress(&info);
    std::int32_t told = 0;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels + rowBytes * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
        const auto done = std::int32_t(info.output_scanline);
        if (rowsDecoded && (done - told >= kBandRows || done == std::int32_t(info.output_height))) {
            rowsDecoded({pixels, std::int32_t(info.output_width), told, done});
            told = done;
        }
    }
    jpeg_finish_decompress(&info);
    return errors.damaged ? JpegRowsOutcome::Damaged : JpegRowsOutcome::Decoded;
}

}  // namespace

JpegRowsOutcome DecodeJpegInRows(QIODevice& device, QImage& picture, const RowsDecoded& rowsDecoded) {
    if (device.isSequential()) return JpegRowsOutcome::NotHandled;
    const qint64 start = device.pos();
    jpeg_decompress_struct info{};
    Errors errors{};
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = GiveUp;
    errors.manager.output_message = NoteWarning;
    jpeg_create_decompress(&info);
    const struct Destroy {
        jpeg_decompress_struct* info;
        ~Destroy() { jpeg_destroy_decompress(info); }
    } destroy{&info};
    auto source = std::make_unique<DeviceSource>();
    source->manager = {nullptr, 0, InitSource, FillInput, SkipInput, jpeg_resync_to_restart, TermSource};
    source->device = &device;
    info.src = &source->manager;
    const JpegRowsOutcome outcome = DecodeRows(info, errors, picture, rowsDecoded);
    // A picture that is not to be had is let go, and nothing may read its rows after that.
    const bool rowsLost = outcome == JpegRowsOutcome::Damaged || outcome == JpegRowsOutcome::Failed;
    if (rowsLost && rowsDecoded) rowsDecoded({nullptr, 0, 0, 0});
    if (outcome == JpegRowsOutcome::NotHandled || outcome == JpegRowsOutcome::Failed) {
        picture = QImage();
        device.seek(start);
    }
    return outcome;
}

#else

JpegRowsOutcome DecodeJpegInRows(QIODevice&, QImage&, const RowsDecoded&) { return JpegRowsOutcome::NotHandled; }

#endif
