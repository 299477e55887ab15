// A photo decoded row by row, and the drawing made from its rows while it decodes.

#include "core/document/DrawingAhead.h"
#include "core/files/JpegRows.h"
#include "core/files/QtPictureFiles.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstring>

#include <jpeglib.h>

namespace {

struct JpegKind {
    const char* name;
    J_COLOR_SPACE colours;
    int components;
    int across, down;  // the first component's sampling; the others take 1 x 1
    bool progressive;
    int restartRows;
    QSize size;
};

// A JPEG made by libjpeg itself, in kinds Qt's writer does not make: every sampling, restart
// markers, four components.
QByteArray EncodedJpeg(const JpegKind& kind) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long outBytes = 0;
    jpeg_mem_dest(&info, &out, &outBytes);
    info.image_width = JDIMENSION(kind.size.width());
    info.image_height = JDIMENSION(kind.size.height());
    info.input_components = kind.components;
    info.in_color_space = kind.colours;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    info.comp_info[0].h_samp_factor = kind.across;
    info.comp_info[0].v_samp_factor = kind.down;
    if (kind.progressive) jpeg_simple_progression(&info);
    info.restart_in_rows = kind.restartRows;
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(std::size_t(kind.size.width() * kind.components));
    while (info.next_scanline < info.image_height) {
        const int y = int(info.next_scanline);
        for (std::size_t i = 0; i < row.size(); ++i) row[i] = JSAMPLE((int(i) * 7 + y * 13 + (int(i) * y) / 5) & 255);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(out), qsizetype(outBytes));
    std::free(out);
    return bytes;
}

// Every band told, with the bytes its rows held at the moment it was told.
struct Bands {
    std::vector<std::pair<int, int>> told;
    QByteArray rowsAsTold;
    RowsDecoded Receiver() {
        return [this](const DecodedRows& rows) {
            told.emplace_back(rows.first, rows.end);
            if (rows.pixels == nullptr) return;
            const qsizetype rowBytes = qsizetype(rows.width) * 4;
            rowsAsTold.append(reinterpret_cast<const char*>(rows.pixels) + rows.first * rowBytes,
                              (rows.end - rows.first) * rowBytes);
        };
    }
};

QByteArray AllBytes(const QImage& picture) {
    return QByteArray(reinterpret_cast<const char*>(picture.constBits()), picture.sizeInBytes());
}

}  // namespace

// Each kind of JPEG decodes to exactly the pixels Qt's reader gives, fourth byte included, and every band is told in
// order, at most 64 rows at a time, once its rows are final. Four components are left to Qt's reader.
TEST(JpegRows, EachBandIsToldOnceFinalAndThePixelsAreQts) {
    const JpegKind kinds[] = {
        {"4:2:0", JCS_RGB, 3, 2, 2, false, 0, {97, 161}}, {"4:4:4 progressive", JCS_RGB, 3, 1, 1, true, 0, {130, 70}},
        {"4:2:2 restarts", JCS_RGB, 3, 2, 1, false, 1, {64, 129}}, {"grey", JCS_GRAYSCALE, 1, 1, 1, false, 0, {50, 200}},
        {"one pixel", JCS_RGB, 3, 2, 2, true, 0, {1, 1}},        {"cmyk", JCS_CMYK, 4, 1, 1, false, 0, {40, 30}}};
    QTemporaryDir dir;
    for (const JpegKind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        const QByteArray bytes = EncodedJpeg(kind);
        const QImage qts = PictureOverBlack(QImage::fromData(bytes, "jpeg"));
        ASSERT_EQ(qts.size(), kind.size);
        QBuffer device;
        device.setData(bytes);
        ASSERT_TRUE(device.open(QIODevice::ReadOnly));
        QImage picture;
        Bands bands;
        const JpegRowsOutcome outcome = DecodeJpegInRows(device, picture, bands.Receiver());
        WriteBytes(dir.filePath("a.jpg"), bytes);
        EXPECT_EQ(AllBytes(QtPictureFiles().Load(dir.filePath("a.jpg"))), AllBytes(qts));
        if (kind.components == 4) {
            EXPECT_EQ(std::tuple(outcome, picture.isNull(), bands.told.size(), device.pos()),
                      std::tuple(JpegRowsOutcome::NotHandled, true, 0u, qint64(0)));
            continue;
        }
        ASSERT_EQ(outcome, JpegRowsOutcome::Decoded);
        EXPECT_EQ(AllBytes(picture), AllBytes(qts));
        EXPECT_EQ(bands.rowsAsTold, AllBytes(qts));
        std::vector<std::pair<int, int>> expected;
        for (int first = 0; first < kind.size.height(); first += 64)
            expected.emplace_back(first, std::min(first + 64, kind.size.height()));
        EXPECT_EQ(bands.told, expected);
    }
}

// A JPEG whose data ends early is decoded to the end and called damaged, and a band told before the end is taken back
// before the picture is let go; one the decoder gives up on is taken back too, and the device is where it began.
TEST(JpegRows, ADamagedOrUndecodableJpegTakesItsRowsBack) {
    const QByteArray whole = EncodedJpeg({"", JCS_RGB, 3, 2, 2, false, 0, {80, 300}});
    QByteArray spoiled = whole;
    spoiled[0] = char(0x00);  // not the marker a JPEG starts with
    const struct { const char* name; QByteArray bytes; JpegRowsOutcome outcome; std::size_t bands; } cases[] = {
        {"cut", whole.left(whole.size() * 2 / 3), JpegRowsOutcome::Damaged, 6},
        {"spoiled", spoiled, JpegRowsOutcome::Failed, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QBuffer device;
        device.setData(c.bytes);
        ASSERT_TRUE(device.open(QIODevice::ReadOnly));
        QImage picture;
        Bands bands;
        EXPECT_EQ(DecodeJpegInRows(device, picture, bands.Receiver()), c.outcome);
        ASSERT_EQ(bands.told.size(), c.bands);
        EXPECT_EQ(bands.told.back(), std::pair(0, 0));
        if (c.outcome == JpegRowsOutcome::Failed) {
            EXPECT_EQ(std::pair(picture.isNull(), device.pos()), std::pair(true, qint64(0)));
        }
    }
}

namespace {

// What the drawing ahead holds, taken as a drawing would take it.
struct Taken {
    QByteArray pixels;
    std::vector<float> light;
    std::vector<float> undo;
    float greatest;  // as the engine knows it from its rows' greatest values
};

Taken TakeFrom(DrawingAhead& ahead, QSize size) {
    LightEngine engine;
    engine.TakeLoaded(std::move(ahead.Light()));
    Taken taken;
    const std::span<const std::uint8_t> bytes = ahead.Pixels().Bytes();
    taken.pixels = QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            for (int c = 0; c < 3; ++c) {
                taken.light.push_back(engine.Light(x, y, c));
                taken.undo.push_back(engine.UndoCopy(x, y, c));
            }
    taken.greatest = engine.FindMaximum();
    return taken;
}

Taken Expected(const QImage& picture) {
    Taken expected{AllBytes(picture), {}, {}, 0.0f};
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = picture.pixel(x, y);
            for (const int value : {qRed(pixel), qGreen(pixel), qBlue(pixel)}) expected.light.push_back(float(value));
            expected.undo.insert(expected.undo.end(), 3, 0.0f);
        }
    expected.greatest = *std::max_element(expected.light.begin(), expected.light.end());
    return expected;
}

}  // namespace

// The drawing ahead takes bands in order, rows told again once, and a new picture from its first row; it is of use
// only when the rows of the very picture given at the end are all in. Rows of another width, a gap, or rows taken
// back leave it of no use.
TEST(DrawingAhead, IsOfUseOnlyWithEveryRowOfThePictureItIsGiven) {
    const QSize size(7, 5);
    const QImage first = DistinctPicture(7, 5).convertToFormat(QImage::Format_RGB32), second = first.mirrored();
    const auto rows = [](const QImage& p, int from, int end, int width = 7) {
        return DecodedRows{p.constBits(), width, from, end};
    };
    const struct { const char* name; std::vector<DecodedRows> told; const QImage* given; bool ofUse; } cases[] = {
        {"in bands", {rows(first, 0, 2), rows(first, 2, 5)}, &first, true},
        {"told again", {rows(first, 0, 3), rows(first, 0, 5), rows(first, 1, 4)}, &first, true},
        {"another picture", {rows(first, 0, 3), rows(second, 0, 5)}, &second, true},
        {"not every row", {rows(first, 0, 4)}, &first, false},
        {"another picture given", {rows(first, 0, 5)}, &second, false},
        {"a gap", {rows(first, 0, 2), rows(first, 3, 5)}, &first, false},
        {"another width", {rows(first, 0, 2), rows(first, 2, 5, 6)}, &first, false},
        {"taken back", {rows(first, 0, 5), {nullptr, 0, 0, 0}}, &first, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DrawingAhead ahead(size.width(), size.height());
        const RowsDecoded receiver = ahead.Receiver();
        for (const DecodedRows& told : c.told) receiver(told);
        ASSERT_EQ(ahead.Finish(*c.given), c.ofUse);
        if (!c.ofUse) continue;
        const Taken taken = TakeFrom(ahead, size), expected = Expected(*c.given);
        EXPECT_EQ(std::tie(taken.pixels, taken.light, taken.undo, taken.greatest),
                  std::tie(expected.pixels, expected.light, expected.undo, expected.greatest));
        EXPECT_EQ(ahead.Picture().constBits(), c.given->constBits());
    }
}
