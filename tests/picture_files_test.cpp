#include "core/common/PeakMemory.h"
#include "core/files/QtPictureFiles.h"
#include "support/TestSupport.h"

#include <map>

namespace {

const MessageRequest kSizeQuestion{
    "The size of the selected picture is different from the current size.\r\n\r\n"
    "Do you want to adjust the current size to the size of the picture?",
    "Change Current Picture Size?", MessageIcon::Question, MessageButtons::YesNo};
const MessageRequest kNotSaved{"The picture was NOT saved.", "Operation Aborted", MessageIcon::Information,
                               MessageButtons::Ok};

QByteArray Encoded(const QImage& picture, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, format);
    return bytes;
}

// 256 colours, each pixel's index worked out from its place.
QImage IndexedPicture(QSize size) {
    QImage picture(size, QImage::Format_Indexed8);
    for (int i = 0; i < 256; ++i) picture.setColor(i, qRgb(i, 255 - i, (i * 7) & 255));
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) picture.setPixel(x, y, uint(x * 3 + y * 5) & 255);
    return picture;
}

// The JPEG with the EXIF orientation 6 (a quarter turn clockwise to show), which Qt never writes.
QByteArray Turned(QByteArray jpeg) {
    return jpeg.insert(2, QByteArray::fromHex("ffe10022457869660000"  // APP1, "Exif"
                                              "4d4d002a00000008000101120003000000010006000000000000"));
}

// A started window with one orange light on the canvas, which a load must clear.
struct WithALight : Running {
    WithALight() {
        Child<PictureBox>("LightColor1")->SetBackColor(PackColor(255, 120, 0));
        ClickWith(Canvas(), {100, 100});
        EXPECT_EQ(Doc().LightsCount, 1);
    }
};

}  // namespace

// A picture claiming a huge size is refused in our own words before it is read, and no drawing is begun ahead at
// the size it claims: the random walk once found one begun at 60000 x 60000 (a request the sanitizers' allocator
// stops the program at; elsewhere it fails quietly). One within our limit loads, though Qt's readers refuse it by
// default.
TEST(HugePictures, APictureClaimingAHugeSizeIsRefusedBeforeItIsRead) {
    QTemporaryDir dir;
    WriteBytes(dir.filePath("huge.png"), ClaimingHugeSize(Encoded(FilledImage({1, 1}, Qt::black), "png")));
    const std::int64_t peakBefore = PeakMemoryKiB();
    Running s;
    s.Run("mnuLoad", dir.filePath("huge.png"));
    EXPECT_EQ(s.platform.messages.shown,
              Boxes{ErrorBox("The picture \"huge.png\" is too large to open: 60000 x 60000 pixels.")});
    EXPECT_LT(PeakMemoryKiB() - peakBefore, 64 * 1024);
    QImage big(6000, 6000, QImage::Format_Indexed8);
    big.setColorTable({qRgb(20, 180, 90)});
    big.fill(0);
    ASSERT_TRUE(big.save(dir.filePath("big.png")));
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(128);  // Qt's default
    ASSERT_TRUE(QImageReader(dir.filePath("big.png")).read().isNull());
    EXPECT_EQ(QtPictureFiles().Load(dir.filePath("big.png")).size(), QSize(6000, 6000));
    QImageReader::setAllocationLimit(limit);
}

// Whole, a file of each format loads as written, or for the lossy JPEG and WebP as Qt's reader decodes it (the JPEG
// goes through our own row decoder). Cut short or damaged where its format would notice, it gives one "Error" box,
// in our own words where the file's end or a size is wrong and in the decoder's where its contents are, and leaves
// the drawing cleared.
TEST(DamagedPictures, EachCutOrDamagedFileGivesExactlyOneErrorBox) {
    std::map<QByteArray, QByteArray> whole{{"gif", Gif(IndexedPicture({640, 480}))}};
    for (const char* format : {"png", "bmp", "webp", "jpg"}) whole[format] = Encoded(DistinctPicture(640, 480), format);
    QTemporaryDir dir;
    for (const auto& [format, bytes] : whole) {
        WriteBytes(dir.filePath("whole." + format), bytes);
        const QImage written = format == "jpg" || format == "webp" ? QImage::fromData(bytes)
                               : format == "gif"                   ? IndexedPicture({640, 480})
                                                                   : DistinctPicture(640, 480);
        ASSERT_EQ(QtPictureFiles().Load(dir.filePath("whole." + format)).convertToFormat(QImage::Format_RGB32),
                  written.convertToFormat(QImage::Format_RGB32)) << format.data();
    }
    const auto half = [&](const char* f) { return whole[f].left(whole[f].size() / 2); };
    const auto last = [&](const char* f) { return whole[f].chopped(1); };
    const auto spoil = [&](const char* f, qsizetype at) { QByteArray b = whole[f]; b[at] = char(~b[at]); return b; };
    const auto middle = [&](const char* f) { return spoil(f, whole[f].size() / 2); };
    const QString damaged = "The picture \"%1\" is damaged or incomplete.";
    const QString undecodable = "Cannot open the picture \"%1\": Unable to read image data.";
    const struct { const char* name; QByteArray bytes; QString text; } cases[] = {
        {"half.gif", half("gif"), damaged}, {"trailer.gif", last("gif"), damaged},
        {"codesize.gif", spoil("gif", 13 + 256 * 3 + 10), undecodable},  // after the colours and the image's place
        {"half.png", half("png"), damaged}, {"end.png", last("png"), damaged},
        {"chunktype.png", spoil("png", 12), undecodable}, {"checksum.png", middle("png"), undecodable},
        {"half.bmp", half("bmp"), damaged}, {"last.bmp", last("bmp"), damaged},
        {"offset.bmp", spoil("bmp", 10), damaged}, {"depth.bmp", spoil("bmp", 28), undecodable},
        {"half.webp", half("webp"), undecodable}, {"last.webp", last("webp"), undecodable},
        {"chunk.webp", spoil("webp", 12), undecodable}, {"middle.webp", middle("webp"), undecodable},
        {"half.jpg", half("jpg"), damaged},
        {"turned.jpg", Turned(half("jpg")), damaged}};  // decoded whole, not row by row, to be turned
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(dir.filePath(c.name), c.bytes);
        WithALight s;
        s.Run("mnuLoad", dir.filePath(c.name));
        EXPECT_EQ(std::pair(s.platform.messages.shown, s.platform.busy.events),
                  std::pair(Boxes{ErrorBox(c.text.arg(c.name))}, kBusyOnce));
        ExpectDrawing(s, FilledImage({640, 480}, Qt::black));
    }
}

// A picture named at start waits for the About window to close, then opens like one chosen with "Load...".
TEST(PictureLoading, APictureNamedAtStartOpensOnceTheAboutWindowIsClosed) {
    QTemporaryDir dir;
    const QString path = dir.filePath("start.bmp");
    ASSERT_TRUE(FilledImage({800, 600}, Qt::red).save(path));
    StartedWindow s;
    s.StartKeepingAbout();
    s.platform.messages.answers = {MessageAnswer::Yes};
    s.window->LoadPictureAtStart(path);
    QApplication::processEvents();
    EXPECT_EQ(s.platform.pictures.loaded, std::vector<QString>{});
    VisibleTopLevel("frmAbout")->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
    EXPECT_EQ(std::tuple(s.platform.messages.shown, s.platform.busy.events, s.platform.pictures.loaded),
              std::tuple(Boxes{kSizeQuestion}, kBusyOnce, std::vector{path}));
    ExpectDrawing(s, FilledImage({800, 600}, Qt::red));
    s.platform.messages.shown.clear();
    s.window->LoadPictureAtStart(dir.filePath("gone.jpg"));  // no About window open now: at once
    EXPECT_EQ(s.platform.messages.shown,
              Boxes{ErrorBox("Cannot open \"" + dir.filePath("gone.jpg") + "\": No such file or directory.")});
}

// A name gets ".bmp" unless it ends in it already, in small letters; an existing file is replaced only after Yes.
TEST(PictureSaving, TheNameEndsInBmpAndAnExistingFileIsReplacedOnlyAfterYes) {
    QTemporaryDir dir;
    Running s;
    const auto saved = [&](const char* name) {
        return QImage(dir.filePath(name)).convertToFormat(QImage::Format_RGB32) == s.Canvas()->Image();
    };
    for (const auto& [typed, name] : {std::pair("out", "out.bmp"), {"out.BMP", "out.BMP.bmp"}, {"a.bmp", "a.bmp"}}) {
        s.Run("mnuSave", dir.filePath(typed));
        EXPECT_EQ(std::pair(s.platform.messages.shown, saved(name)), std::pair(Boxes{}, true)) << typed;
    }
    // The folder must exist (0x800), read-only is not offered (0x4); not that the file must exist (0x1000).
    EXPECT_EQ(s.platform.files.requests.back().flags, 0x800u | 0x4u);
    WriteBytes(dir.filePath("a.bmp"), "old");
    s.Run("mnuSave", dir.filePath("a.bmp"), {MessageAnswer::No});
    EXPECT_EQ(std::pair(s.platform.messages.shown, ReadBytes(dir.filePath("a.bmp"))),
              std::pair(Boxes{kOverwrite, kNotSaved}, QByteArray("old")));
    s.Run("mnuSave", dir.filePath("a.bmp"), {MessageAnswer::Yes});
    EXPECT_EQ(std::pair(s.platform.messages.shown, saved("a.bmp")), std::pair(Boxes{kOverwrite}, true));
}

TEST(PictureSaving, TheFileHoldsTheSameBytesAsQtsOwnBmpWriter) {
    // Widths cover every row padding and every leftover after groups of four pixels; the
    // tall picture spans several of the writer's blocks.
    const QSize sizes[] = {{1, 1}, {2, 3}, {3, 2}, {4, 1}, {5, 7}, {6, 2}, {7, 5}, {9, 4}, {13, 1}, {1001, 1500}};
    QTemporaryDir dir;
    QRandomGenerator random(7);
    for (const QSize size : sizes) {
        SCOPED_TRACE(size.width());
        QImage picture(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y)  // the fourth byte too
            random.fillRange(reinterpret_cast<quint32*>(picture.scanLine(y)), size.width());
        picture.setDotsPerMeterX(random.bounded(1, 20000));
        picture.setDotsPerMeterY(random.bounded(1, 20000));
        QtPictureFiles().SaveBmp(picture, dir.filePath("ours.bmp"));
        ASSERT_TRUE(picture.save(dir.filePath("qt.bmp"), "bmp"));
        EXPECT_TRUE(ReadBytes(dir.filePath("ours.bmp")) == ReadBytes(dir.filePath("qt.bmp")));
    }
}
